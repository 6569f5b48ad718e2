#include "series.h"

#include <algorithm>
#include <cstdlib>

#include "chart_errors.h"
#include "custom_chart.h"

namespace orvix {

// ---- TChartSeries ----------------------------------------------------------------------

void TChartSeries::Changed() const {
    if (chart_) chart_->Invalidate();
}

void TChartSeries::SetVertAxis(TVertAxis axis) {
    if (vertAxis_ == axis) return;
    vertAxis_ = axis;
    Changed();
}

void TChartSeries::SetActive(bool active) {
    if (active_ == active) return;
    active_ = active;
    Changed();
}

int TChartSeries::AddPoint(double x, double y, std::string_view label, TColor color) {
    const int index = XValues.InsertPosition(x);
    XValues.Insert(index, x);
    YValues.Insert(index, y);
    // Colours and labels are stored only up to the last point that has one; points past the
    // stored ones have the default colour and no label, so series that never get any (the
    // mean and band lines) keep nothing per point.
    const auto at = static_cast<std::size_t>(index);
    if (color != clSeriesDefault || at < colors_.size()) {
        if (colors_.size() < at) colors_.resize(at, clSeriesDefault);
        colors_.insert(colors_.begin() + index, color);
    }
    if (!label.empty() || at < labels_.size()) {
        if (labels_.size() < at) labels_.resize(at);
        labels_.insert(labels_.begin() + index, std::string(label));
    }
    if (active_) Changed();
    return index;
}

void TChartSeries::ReservePoints(std::size_t count) {
    XValues.Reserve(count);
    YValues.Reserve(count);
}

void TChartSeries::ClearPoints() {
    XValues.Clear();
    YValues.Clear();
    colors_.clear();
    labels_.clear();
    Changed();
}

std::string TChartSeries::PointLabel(int index) const {
    if (index < 0 || index >= static_cast<int>(labels_.size())) return {};
    return labels_[static_cast<std::size_t>(index)];
}

TColor TChartSeries::PointColor(int index) const {
    if (index < 0 || index >= static_cast<int>(colors_.size())) return SeriesColor;
    const TColor stored = colors_[static_cast<std::size_t>(index)];
    if (stored != clSeriesDefault) return stored;
    // Each point would take a palette colour by its index here; no chart of the program asks
    // for that, so the series colour stands for it.
    return SeriesColor;
}

const TAxisMap& TChartSeries::HorizMap() const {
    static const TAxisMap none;
    return chart_ ? chart_->BottomAxis.Map() : none;
}

const TAxisMap& TChartSeries::VertMap() const {
    static const TAxisMap none;
    return chart_ ? chart_->VertAxisOf(*this).Map() : none;
}

int TChartSeries::CalcXPos(int index) const {
    return HorizMap().ToPixel(PointX(index));
}
int TChartSeries::CalcYPos(int index) const {
    return VertMap().ToPixel(PointY(index));
}

void TChartSeries::CalcVisibleRange(const TAxisMap& horiz, const TRect& plot) {
    const int n = PointCount();
    if (n == 0) {
        first_ = last_ = -1;
        return;
    }
    if (XValues.Order == loNone) {
        first_ = 0;
        last_ = n - 1;
        return;
    }
    const auto& xs = XValues.Raw();
    const double m = XValues.Multiplier;
    const double lowX = horiz.ToValue(plot.Left);
    const double highX = horiz.ToValue(plot.Right);
    // Points are kept in X order, so both ends are found by binary search.
    const auto firstIt =
        std::partition_point(xs.begin(), xs.end(), [&](double v) { return v * m < lowX; });
    if (firstIt == xs.end()) {
        first_ = last_ = -1;
        return;
    }
    first_ = static_cast<int>(firstIt - xs.begin());
    if (!(xs.back() * m > highX)) {
        last_ = n - 1;
        return;
    }
    const auto lastIt =
        std::partition_point(firstIt, xs.end(), [&](double v) { return v * m < highX; });
    last_ = lastIt == xs.end() ? n - 1 : static_cast<int>(lastIt - xs.begin());
    if (!KeepsPointBeyondRight() && xs[static_cast<std::size_t>(last_)] * m > highX) {
        --last_;
        if (last_ < first_) first_ = last_ = -1;
    }
}

int TChartSeries::HitTest(int x, int y) const {
    if (first_ < 0 || last_ < 0) return -1;
    // Between a change of the points and the next paint the old range may reach too far.
    const int last = std::min(last_, PointCount() - 1);
    if (first_ > last) return -1;
    return HitTestRange(x, y, first_, last);
}

// ---- TSeriesPointer --------------------------------------------------------------------

void TSeriesPointer::SetHorizSize(int size) {
    if (size < 1) throw ChartException(msg::kPointerSize);
    horizSize_ = size;
}

void TSeriesPointer::SetVertSize(int size) {
    if (size < 1) throw ChartException(msg::kPointerSize);
    vertSize_ = size;
}

// ---- TLineSeries -----------------------------------------------------------------------

void TLineSeries::CalcHorizMargins(int& start, int& end) {
    start = end = (Pointer.Visible && Pointer.InflateMargins) ? Pointer.HorizSize() + 1 : 0;
}

void TLineSeries::CalcVertMargins(int& start, int& end) {
    start = end = (Pointer.Visible && Pointer.InflateMargins) ? Pointer.VertSize() + 1 : 0;
}

double TLineSeries::InterpolatedY(int i, double x) const {
    const double x0 = PointX(i - 1);
    const double x1 = PointX(i);
    const double y0 = PointY(i - 1);
    const double y1 = PointY(i);
    if (x1 == x0) return y1;
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

namespace {

// Whether P lies on the segment A-B, to within the rounding of pixel lines.
bool OnSegment(long long x, long long y, long long ax, long long ay, long long bx, long long by) {
    const long long cross = (by - ay) * (x - ax) - (y - ay) * (bx - ax);
    if (std::llabs(cross) >= std::max(std::llabs(bx - ax), std::llabs(by - ay))) return false;
    if ((bx < ax && ax < x) || (by < ay && ay < y) || (x < ax && ax < bx) || (y < ay && ay < by))
        return false;
    if ((ax < bx && bx < x) || (ay < by && by < y) || (x < bx && bx < ax) || (y < by && by < ay))
        return false;
    return true;
}

}  // namespace

int TLineSeries::HitTestRange(int x, int y, int first, int last) const {
    const TAxisMap& hx = HorizMap();
    const TAxisMap& vy = VertMap();
    const double mx = XValues.Multiplier;
    const double my = YValues.Multiplier;
    const auto px = [&](int i) { return hx.ToPixel(RawX(i) * mx); };
    const auto py = [&](int i) { return vy.ToPixel(RawY(i) * my); };
    const bool pointer = Pointer.Visible;
    const int h = Pointer.HorizSize();
    const int v = Pointer.VertSize();

    // Pixels grow with X when the points are in ascending order: skip every point that lies
    // wholly left of the cursor and stop once nothing further right can reach it.
    const bool sorted = XValues.Order == loAscending && hx.Horizontal && mx > 0;
    int t = first;
    if (sorted) {
        const int threshold = pointer ? x - h + 1 : x;
        int lo = first;
        int hi = last + 1;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (px(mid) < threshold)
                lo = mid + 1;
            else
                hi = mid;
        }
        t = lo;
    }
    for (; t <= last; ++t) {
        const int tx = px(t);
        const int ty = py(t);
        if (PointColor(t) != clNone) {
            if (pointer && std::abs(tx - x) < h && std::abs(ty - y) < v) return t;
            if (tx == x && ty == y) return t;
        }
        if (t > first && OnSegment(x, y, px(t - 1), py(t - 1), tx, ty)) return t - 1;
        if (sorted && tx > x && (!pointer || tx >= x + h)) break;
    }
    return -1;
}

// ---- TBarSeries ------------------------------------------------------------------------

void TBarSeries::SetBarWidthPercent(int percent) {
    if (percent < 1 || percent > 100) throw BarException(msg::kBarWidthPercent);
    barWidthPercent_ = percent;
    Changed();
}

double TBarSeries::LowestY() const {
    const double lowest = TChartSeries::LowestY();
    return UseYOrigin && PointCount() > 0 ? std::min(lowest, YOrigin) : lowest;
}

double TBarSeries::HighestY() const {
    const double highest = TChartSeries::HighestY();
    return UseYOrigin && PointCount() > 0 ? std::max(highest, YOrigin) : highest;
}

int TBarSeries::GroupedBars() const {
    if (MultiBar != mbSide || !ParentChart()) return 1;
    int bars = 0;
    const TCustomChart& chart = *ParentChart();
    for (int i = 0; i < chart.SeriesCount(); ++i)
        if (chart.Series(i)->Active() && chart.Series(i)->Kind() == TSeriesKind::Bar) ++bars;
    return std::max(bars, 1);
}

void TBarSeries::CalcBarWidth(int axisLength) {
    if (CustomBarWidth != 0) {
        barWidth_ = CustomBarWidth;
        return;
    }
    int count = PointCount();
    if (MultiBar == mbSide && ParentChart()) {
        const TCustomChart& chart = *ParentChart();
        for (int i = 0; i < chart.SeriesCount(); ++i) {
            const TChartSeries& other = *chart.Series(i);
            if (other.Kind() == TSeriesKind::Bar && other.Active())
                count = std::max(count, other.PointCount());
        }
    }
    if (ParentChart() && ParentChart()->MaxPointsPerPage() > 0)
        count = ParentChart()->MaxPointsPerPage();
    if (count <= 0) {
        barWidth_ = 0;
        return;
    }
    const int space = SideMargins ? axisLength / (count + 1) : axisLength / count;
    int w = NearestInt(barWidthPercent_ * space / 100.0) / GroupedBars();
    if (w % 2 != 0) ++w;
    barWidth_ = w;
}

void TBarSeries::CalcHorizMargins(int& start, int& end) {
    CalcBarWidth(HorizMap().Length());
    const int grouped = barWidth_ * GroupedBars();
    start = end = SideMargins ? grouped : grouped / 2;
}

int TBarSeries::BarLeft(int i) const {
    const int w = barWidth_;
    return HorizMap().ToPixel(RawX(i) * XValues.Multiplier) - w / 2 +
           NearestInt(OffsetPercent * w / 100.0);
}

TBarSeries::TBarBounds TBarSeries::BarBounds(int i) const {
    const TAxisMap& vy = VertMap();
    TBarBounds b{};
    b.Left = BarLeft(i);
    b.Right = b.Left + barWidth_;
    b.Top = vy.ToPixel(RawY(i) * YValues.Multiplier);
    b.Origin = UseYOrigin ? vy.ToPixel(YOrigin) : vy.End;
    return b;
}

int TBarSeries::HitTestRange(int x, int y, int first, int last) const {
    const int w = barWidth_;
    const bool sorted = XValues.Order == loAscending && XValues.Multiplier > 0;
    int t = first;
    if (sorted) {
        int lo = first;
        int hi = last + 1;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (BarLeft(mid) + w < x)
                lo = mid + 1;
            else
                hi = mid;
        }
        t = lo;
    }
    for (; t <= last; ++t) {
        const TBarBounds b = BarBounds(t);
        if (sorted && b.Left > x) break;
        if (PointColor(t) == clNone) continue;
        const int top = std::min(b.Top, b.Origin);
        const int bottom = std::max(b.Top, b.Origin);
        if (b.Left <= x && x <= b.Left + w && top <= y && y <= bottom) return t;
    }
    return -1;
}

}  // namespace orvix
