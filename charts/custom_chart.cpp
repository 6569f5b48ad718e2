#include "custom_chart.h"

#include <algorithm>

#include "axis_labels.h"
#include "base/numbers.h"
#include "chart_errors.h"

namespace orvix {

// ---- TChartTitle -----------------------------------------------------------------------

void TChartTitle::Clear() {
    lines_.clear();
    owner_->Invalidate();
}

void TChartTitle::Add(std::string line) {
    lines_.push_back(std::move(line));
    owner_->Invalidate();
}

void TChartTitle::SetText(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    owner_->Invalidate();
}

// ---- TCustomChart ----------------------------------------------------------------------

TCustomChart::TCustomChart() = default;
TCustomChart::~TCustomChart() = default;

TChartSeries* TCustomChart::Series(int index) const {
    if (index < 0 || index >= SeriesCount()) RaiseListIndex(index);
    return series_[static_cast<std::size_t>(index)].get();
}

void TCustomChart::Adopt(std::unique_ptr<TChartSeries> series) {
    series->chart_ = this;
    series_.push_back(std::move(series));
    Invalidate();
}

void TCustomChart::SetMaxPointsPerPage(int points) {
    if (points < 0) throw ChartException(msg::kMaxPointsPerPage);
    maxPointsPerPage_ = points;
    const int pages = NumPages();
    if (page_ > pages) page_ = pages;
    Invalidate();
}

void TCustomChart::SetPage(int page) {
    page = std::clamp(page, 1, NumPages());
    if (page == page_) return;
    page_ = page;
    Invalidate();
}

int TCustomChart::NumPages() const {
    if (maxPointsPerPage_ < 1 || series_.empty()) return 1;
    int most = 0;
    for (const auto& s : series_)
        if (s->Active()) most = std::max(most, s->PointCount());
    return std::max(1, (most + maxPointsPerPage_ - 1) / maxPointsPerPage_);
}

bool TCustomChart::HasActiveSeries() const {
    return std::any_of(series_.begin(), series_.end(), [](const auto& s) { return s->Active(); });
}

// The series that decide an axis's automatic range: the active ones, or all when none is.
// Every series is drawn against the bottom axis, and against the left or the right axis.
std::vector<const TChartSeries*> TCustomChart::CountingSeries() const {
    std::vector<const TChartSeries*> out;
    const bool anyActive = HasActiveSeries();
    for (const auto& s : series_)
        if (s->Active() || !anyActive) out.push_back(s.get());
    return out;
}

void TCustomChart::CalcDataRange(const TChartAxis& axis, double& low, double& high) const {
    low = high = 0;
    const auto counting = CountingSeries();
    if (axis.Horizontal() && maxPointsPerPage_ > 0) {
        if (counting.empty()) return;
        // One page of the first counting series.
        const TChartSeries& s = *counting.front();
        const int n = s.PointCount();
        if (n == 0) return;
        const int m = maxPointsPerPage_;
        int first = (page_ - 1) * m;
        if (first >= n) first = std::max(0, n / m - 1) * m;
        int last = first + m - 1;
        if (last >= n) last = first + n % m - 1;
        low = s.PointX(first);
        high = s.PointX(last);
        const int c = last - first + 1;
        if (!ScaleLastPage && c < m) high = low + (high - low) * m / c;
        return;
    }
    bool any = false;
    for (const TChartSeries* s : counting) {
        if (s->PointCount() == 0) continue;
        if (!axis.Horizontal() && &VertAxisOf(*s) != &axis) continue;
        const double lo = axis.Horizontal() ? s->LowestX() : s->LowestY();
        const double hi = axis.Horizontal() ? s->HighestX() : s->HighestY();
        low = any ? std::min(low, lo) : lo;
        high = any ? std::max(high, hi) : hi;
        any = true;
    }
}

void TCustomChart::CalcStoredRange(TChartAxis& axis) {
    const bool autoMin = axis.automatic_ || axis.automaticMinimum_;
    const bool autoMax = axis.automatic_ || axis.automaticMaximum_;
    if (autoMin || autoMax) {
        double low = 0;
        double high = 0;
        CalcDataRange(axis, low, high);
        if (autoMin) axis.minimum_ = low;
        if (autoMax) axis.maximum_ = high;
    }
    axis.map_.Low = axis.minimum_;
    axis.map_.High = axis.maximum_;
}

namespace {

// Keeps a rectangle inside the chart's top-left corner and never inside out.
void Normalise(TRect& r, int width, int height) {
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    if (r.Right < r.Left)
        r.Right = r.Left + 1;
    else if (r.Right == r.Left)
        r.Right = r.Left + width;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top + 1;
    else if (r.Bottom == r.Top)
        r.Bottom = r.Top + height;
}

std::string LabelText(const TChartAxis& axis, double value) {
    // Labels use the chart's decimal separator, set by its owner to the user's.
    return FormatAxisValue(value, axis.AxisValuesFormat, axis.ParentChart()->DecimalSeparator);
}

int LabelSize(const TChartAxis& axis, const TAxisMap& map, const TTextMeasure& measure) {
    if (!axis.Horizontal()) return measure.TextHeight(axis.LabelsFont);
    return std::max(measure.TextWidth(axis.LabelsFont, LabelText(axis, map.Low)),
                    measure.TextWidth(axis.LabelsFont, LabelText(axis, map.High)));
}

double StepFor(const TChartAxis& axis, const TAxisMap& map, const TTextMeasure& measure) {
    return AxisLabelStep(map.Range(), map.Length(), LabelSize(axis, map, measure), axis.Increment,
                         axis.LabelsSeparation);
}

}  // namespace

void TCustomChart::CalcAxisBands(TChartAxis& axis, TRect& r, const TTextMeasure& measure) {
    const bool horizontal = axis.Horizontal();
    // Each band is taken from the plot's edge on the axis's side.
    const auto take = [&](int pixels) {
        if (horizontal) {
            r.Bottom -= pixels;
            return r.Bottom;
        }
        if (axis.OtherSide()) {
            r.Right -= pixels;
            return r.Right;
        }
        r.Left += pixels;
        return r.Left;
    };
    if (!axis.Title.Caption().empty()) axis.posTitle_ = take(measure.TextHeight(axis.Title.Font));
    if (axis.Labels && axis.LabelStyle != talNone) {
        if (horizontal) {
            axis.posLabels_ = take(measure.TextHeight(axis.LabelsFont));
        } else {
            // The widest of the two end labels, with the span the plot has at this point.
            TAxisMap map = axis.map_;
            map.Start = r.Top;
            map.End = r.Bottom;
            const double step = StepFor(axis, map, measure);
            const auto width = [&](double v) {
                return measure.TextWidth(
                    axis.LabelsFont,
                    LabelText(axis, RoundedLabelValue(v, step, axis.RoundFirstLabel)));
            };
            const int widest = std::max(width(map.Low), width(map.High));
            axis.posLabels_ = take(widest + measure.TextWidth(axis.LabelsFont, " "));
        }
    }
    take(axis.TickBand());
}

void TCustomChart::ApplyPixelMargins(TChartAxis& axis) {
    int start = 0;
    int end = 0;
    for (const auto& s : series_) {
        if (!s->Active()) continue;
        if (!axis.Horizontal() && &VertAxisOf(*s) != &axis) continue;
        int a = 0;
        int b = 0;
        if (axis.Horizontal())
            s->CalcHorizMargins(a, b);
        else
            s->CalcVertMargins(a, b);
        start = std::max(start, a);
        end = std::max(end, b);
    }
    // Only automatic ends keep pixels free; a vertical axis starts at its top, its high end.
    const bool startAuto = axis.Horizontal() ? axis.automaticMinimum_ : axis.automaticMaximum_;
    const bool endAuto = axis.Horizontal() ? axis.automaticMaximum_ : axis.automaticMinimum_;
    if (!startAuto) start = 0;
    if (!endAuto) end = 0;
    if (start == 0 && end == 0) return;
    TAxisMap inner = axis.map_;
    inner.Start += start;
    inner.End -= end;
    double a = inner.ToValue(axis.map_.Start);
    double b = inner.ToValue(axis.map_.End);
    if (a > b) std::swap(a, b);
    axis.map_.Low = a;
    axis.map_.High = b;
}

void TCustomChart::CalcLabels(TChartAxis& axis, const TTextMeasure& measure) {
    axis.labels_.clear();
    axis.minorTicks_.clear();
    axis.labelStep_ = 0;
    if (axis.LabelStyle == talNone) return;
    const TAxisMap& map = axis.map_;
    axis.labelStep_ = StepFor(axis, map, measure);
    std::vector<int> majors;
    for (double v : AxisLabelValues(map.Low, map.High, axis.labelStep_, axis.RoundFirstLabel)) {
        const int p = map.ToPixel(v);
        if (!axis.LabelsOnAxis && !(p > map.Start && p < map.End)) continue;
        std::string text = LabelText(axis, v);
        // A range of zero width yields a few values a hair apart; they print as one label.
        if (!axis.labels_.empty() && axis.labels_.back().Pixel == p &&
            axis.labels_.back().Text == text)
            continue;
        axis.labels_.push_back({v, p, std::move(text)});
        majors.push_back(p);
    }
    if (axis.MinorTicks.Visible)
        axis.minorTicks_ = MinorTickPixels(majors, axis.MinorTickCount, map.Start, map.End);
}

void TCustomChart::CalcLayout(int width, int height, const TTextMeasure& measure) {
    layout_ = TChartLayout{};
    layout_.Width = width;
    layout_.Height = height;
    TRect r{MulDiv(MarginLeft, width, 100), MulDiv(MarginTop, height, 100),
            width - MulDiv(MarginRight, width, 100), height - MulDiv(MarginBottom, height, 100)};
    Normalise(r, width, height);
    layout_.InitialPlot = r;

    if (Title.Visible && !Title.Text().empty()) {
        const int h = measure.TextHeight(Title.Font);
        const int n = static_cast<int>(Title.Text().size());
        for (int k = 0; k < n; ++k) {
            const std::string& line = Title.Text()[static_cast<std::size_t>(k)];
            const int x = (r.Left + r.Right) / 2 - measure.TextWidth(Title.Font, line) / 2;
            layout_.TitleLines.push_back({x, r.Top + k * h, line});
        }
        r.Top += n * h + 5;
        Normalise(r, width, height);
    }
    if (Foot.Visible && !Foot.Text().empty()) {
        const int h = measure.TextHeight(Foot.Font);
        const int n = static_cast<int>(Foot.Text().size());
        for (int k = 0; k < n; ++k) {
            const std::string& line = Foot.Text()[static_cast<std::size_t>(k)];
            const int x = (r.Left + r.Right) / 2 - measure.TextWidth(Foot.Font, line) / 2;
            layout_.FootLines.push_back({x, r.Bottom - (n - k) * h, line});
        }
        r.Bottom -= n * h + 5;
        Normalise(r, width, height);
    }

    CalcStoredRange(BottomAxis);
    CalcStoredRange(LeftAxis);
    CalcStoredRange(RightAxis);

    const bool anyActive = HasActiveSeries();
    const bool anyRight = std::any_of(series_.begin(), series_.end(), [](const auto& s) {
        return s->Active() && s->VertAxis() == aRightAxis;
    });
    for (TChartAxis* axis : {&BottomAxis, &LeftAxis, &RightAxis}) {
        axis->shown_ = AxisVisible && axis->Visible && (axis->OtherSide() ? anyRight : anyActive);
        axis->posTitle_ = axis->posLabels_ = 0;
        if (axis->shown_) {
            CalcAxisBands(*axis, r, measure);
            Normalise(r, width, height);
        }
    }

    const auto span = [](int from, int size, int percent) {
        return from + NearestInt(size * percent / 100.0);
    };
    BottomAxis.map_.Start = span(r.Left, r.Width(), BottomAxis.StartPosition);
    BottomAxis.map_.End = span(r.Left, r.Width(), BottomAxis.EndPosition);
    LeftAxis.map_.Start = span(r.Top, r.Height(), LeftAxis.StartPosition);
    LeftAxis.map_.End = span(r.Top, r.Height(), LeftAxis.EndPosition);
    RightAxis.map_.Start = span(r.Top, r.Height(), RightAxis.StartPosition);
    RightAxis.map_.End = span(r.Top, r.Height(), RightAxis.EndPosition);
    BottomAxis.posAxis_ = r.Bottom;
    LeftAxis.posAxis_ = r.Left;
    RightAxis.posAxis_ = r.Right;
    plotRect_ = r;

    ApplyPixelMargins(LeftAxis);
    ApplyPixelMargins(RightAxis);
    ApplyPixelMargins(BottomAxis);

    for (TChartAxis* axis : {&BottomAxis, &LeftAxis, &RightAxis}) {
        if (axis->shown_) {
            CalcLabels(*axis, measure);
        } else {
            axis->labels_.clear();
            axis->minorTicks_.clear();
        }
    }

    for (const auto& s : series_) {
        if (s->Active())
            s->CalcVisibleRange(BottomAxis.map_, r);
        else
            s->ResetVisibleRange();
    }
}

}  // namespace orvix
