#include "curve_plots.h"

#include <algorithm>

#include "base/cp1251.h"
#include "plots/result_plots.h"
#include "stats/stats_text.h"

namespace orvix {

namespace {

constexpr TColor clSelections = RGBColor(0, 70, 200);
constexpr TColor clTrend = RGBColor(0, 120, 0);
constexpr TColor clOmissions = RGBColor(240, 160, 0);
constexpr TColor clEarlier = RGBColor(0, 70, 200);
constexpr TColor clLater = RGBColor(220, 90, 0);
// The least top of the wrong selections' and omissions' scale.
constexpr double kLeastCountMaximum = 2;

// What both curve charts share, in the look of the result charts: margins, white plot, blue
// title and foot, black axis titles; whole minutes along the bottom, counts from 0 upwards.
void SetUpCurveChart(TCustomChart& chart) {
    SetUpResultChartLook(chart);
    chart.BottomAxis.AxisValuesFormat = "#0.#";
    chart.BottomAxis.Increment = 1;
    chart.BottomAxis.Title.SetCaption(W1251("Минута теста (время от начала, мин)"));
    chart.LeftAxis.AxisValuesFormat = "#0.#";
    chart.LeftAxis.LabelsSeparation = 80;  // labels a little apart: counts read at a glance
    chart.LeftAxis.SetAutomaticMinimum(false);
    chart.LeftAxis.SetMinimum(0);
}

TLineSeries* AddLine(TCustomChart& chart, TColor color, TPenStyle style, int width) {
    auto* series = chart.AddSeries<TLineSeries>();
    series->SeriesColor = color;
    series->LinePen.Style = style;
    series->LinePen.Width = width;
    series->Marks.Visible = false;
    return series;
}

TBarSeries* AddBars(TCustomChart& chart, TColor color, int offsetPercent) {
    auto* series = chart.AddSeries<TBarSeries>();
    series->SetVertAxis(aRightAxis);
    series->SeriesColor = color;
    series->MultiBar = mbSide;
    series->SetBarWidthPercent(70);
    series->OffsetPercent = offsetPercent;
    series->Marks.Visible = false;
    return series;
}

// The end of the last minute, in minutes from the start of the test (0 without minutes).
double CurveEnd(const stats::TWorkCurve& curve) {
    if (curve.Minutes.empty()) return 0;
    const stats::TMinute& last = curve.Minutes.back();
    return last.Start + last.Seconds / 60;
}

double MinuteMiddle(const stats::TMinute& minute) {
    return minute.Start + minute.Seconds / 120;
}

// The bottom axis over 0 .. `end` minutes; automatic when there is nothing to show.
void SetMinuteRange(TChartAxis& axis, double end) {
    if (!(end > 0)) {
        axis.SetAutomatic(true);
        return;
    }
    axis.SetAutomatic(false);
    // Each end is checked against the other's current value.
    if (0 > axis.Maximum()) {
        axis.SetMaximum(end);
        axis.SetMinimum(0);
    } else {
        axis.SetMinimum(0);
        axis.SetMaximum(end);
    }
}

// The trend line from 0 to `end`, sampled so that its band edges may curve.
void AddTrendPoints(TLineSeries& series, const stats::TTrend& trend, double end, int bandSign) {
    series.ReservePoints(kTrendSamples + 1);
    for (int i = 0; i <= kTrendSamples; ++i) {
        const double t = end * i / kTrendSamples;
        series.AddPoint(t, trend.At(t) + bandSign * trend.BandHalfWidth(t));
    }
}

std::string Number1251(double value, int decimals, char decimal) {
    return Utf8ToCp1251(stats::NumberText(value, decimals, decimal));
}

}  // namespace

// ---- TWorkCurvePlot --------------------------------------------------------------------

TWorkCurvePlot::TWorkCurvePlot(TCustomChart& chart) : chart_(chart) {
    SetUpCurveChart(chart);
    chart.LeftAxis.Title.SetCaption(W1251("Выборов в минуту"));
    // Wrong selections and omissions, a few a minute, have a scale of their own on the right:
    // on the tempo's scale they would hardly rise above the axis.
    TChartAxis& right = chart.RightAxis;
    right.LabelStyle = talValue;
    right.Title.Font = chart.LeftAxis.Title.Font;
    right.Title.SetCaption(W1251("Ошибочных выборов и пропусков за минуту"));
    right.AxisValuesFormat = "#0";
    right.Increment = 1;  // counts: whole numbers only
    right.LabelsSeparation = 80;
    right.Grid.Visible = false;  // the tempo's grid is the chart's
    right.SetAutomatic(false);
    right.SetMaximum(kLeastCountMaximum);
    right.SetMinimum(0);
    // The two bars of a minute stand side by side about its middle.
    WrongBars = AddBars(chart, clRed, -50);
    OmissionBars = AddBars(chart, clOmissions, 50);
    Selections = AddLine(chart, clSelections, psSolid, 2);
    Selections->Pointer.Visible = true;
    Selections->Pointer.SetHorizSize(3);
    Selections->Pointer.SetVertSize(3);
    Trend = AddLine(chart, clTrend, psSolid, 2);
    BandHigh = AddLine(chart, clTrend, psDash, 1);
    BandLow = AddLine(chart, clTrend, psDash, 1);
}

void TWorkCurvePlot::Fill(const stats::TWorkCurve& curve, std::string_view subject1251) {
    for (int i = 0; i < chart_.SeriesCount(); ++i) chart_.Series(i)->ClearPoints();
    for (TChartSeries* s :
         {static_cast<TChartSeries*>(WrongBars), static_cast<TChartSeries*>(OmissionBars),
          static_cast<TChartSeries*>(Selections)})
        s->ReservePoints(curve.Minutes.size());
    for (const stats::TMinute& m : curve.Minutes) {
        const double x = MinuteMiddle(m);
        WrongBars->AddPoint(x, m.Wrong);
        OmissionBars->AddPoint(x, m.Omissions);
        Selections->AddPoint(x, m.SelectionsPerMinute);
    }
    const double end = CurveEnd(curve);
    const stats::TTrend& trend = curve.Trend;
    if (trend.Defined) {
        AddTrendPoints(*Trend, trend, end, 0);
        AddTrendPoints(*BandHigh, trend, end, 1);
        AddTrendPoints(*BandLow, trend, end, -1);
    }
    SetMinuteRange(chart_.BottomAxis, end);
    // Twice the highest count: the bars keep to the lower half, under the tempo's line.
    const double highest =
        std::max({0.0, WrongBars->PointCount() > 0 ? WrongBars->YValues.MaxValue() : 0.0,
                  OmissionBars->PointCount() > 0 ? OmissionBars->YValues.MaxValue() : 0.0});
    chart_.RightAxis.SetMaximum(std::max(kLeastCountMaximum, 2 * highest));

    const char d = chart_.DecimalSeparator;
    std::string course;
    if (trend.Defined) {
        course = W1251("Тренд темпа: ") + Number1251(trend.Slope, 2, d) +
                 W1251(" выборов в минуту за минуту, 95 % ДИ [") + Number1251(trend.Low, 2, d) +
                 "; " + Number1251(trend.High, 2, d) + "]";
        const std::string_view verdict = stats::VerdictRussian(curve.Verdict);
        if (!verdict.empty()) course += W1251(" — ") + Utf8ToCp1251(verdict);
    } else {
        course = W1251("Тренд темпа не определён: меньше трёх 5-секундных интервалов");
    }
    chart_.Title.SetText(
        {W1251("Кривая работы по минутам: выборы, ошибочные выборы и пропуски"), course});
    chart_.Foot.SetText({std::string(subject1251)});
}

std::vector<TLegendEntry> TWorkCurvePlot::Legend() const {
    using M = TLegendEntry::TMark;
    std::vector<TLegendEntry> entries{
        {M::Line, Selections->SeriesColor, psSolid, 2, true, false, "выборов в минуту"},
        {M::Bar, WrongBars->SeriesColor, psSolid, 1, false, false, "ошибочные выборы"},
        {M::Bar, OmissionBars->SeriesColor, psSolid, 1, false, false, "пропуски"},
    };
    if (Trend->PointCount() > 0) {
        entries.push_back({M::Line, Trend->SeriesColor, psSolid, 2, false, false, "тренд темпа"});
        entries.push_back({M::Line, BandHigh->SeriesColor, psDash, 1, false, false,
                           "95 % доверительная полоса тренда"});
    }
    return entries;
}

// ---- TCurveOverlayPlot -----------------------------------------------------------------

TCurveOverlayPlot::TCurveOverlayPlot(TCustomChart& chart) : chart_(chart) {
    SetUpCurveChart(chart);
    chart.LeftAxis.Title.SetCaption(W1251("Выборов в минуту"));
    EarlierTrend = AddLine(chart, clEarlier, psDash, 1);
    LaterTrend = AddLine(chart, clLater, psDash, 1);
    EarlierSelections = AddLine(chart, clEarlier, psSolid, 2);
    LaterSelections = AddLine(chart, clLater, psSolid, 2);
    for (TLineSeries* s : {EarlierSelections, LaterSelections}) {
        s->Pointer.Visible = true;
        s->Pointer.SetHorizSize(3);
        s->Pointer.SetVertSize(3);
    }
    // Outlined markers: the later test's points stay apart from the earlier's in grey print.
    LaterSelections->Pointer.Brush.Style = bsClear;
    LaterSelections->Pointer.Pen.Color = clLater;
}

void TCurveOverlayPlot::Fill(const stats::TWorkCurve& earlier, const stats::TWorkCurve& later,
                             std::string_view earlierSubject1251,
                             std::string_view laterSubject1251) {
    for (int i = 0; i < chart_.SeriesCount(); ++i) chart_.Series(i)->ClearPoints();
    const auto fill = [](const stats::TWorkCurve& curve, TLineSeries& points, TLineSeries& trend) {
        points.ReservePoints(curve.Minutes.size());
        for (const stats::TMinute& m : curve.Minutes)
            points.AddPoint(MinuteMiddle(m), m.SelectionsPerMinute);
        if (curve.Trend.Defined) AddTrendPoints(trend, curve.Trend, CurveEnd(curve), 0);
    };
    fill(earlier, *EarlierSelections, *EarlierTrend);
    fill(later, *LaterSelections, *LaterTrend);
    SetMinuteRange(chart_.BottomAxis, std::max(CurveEnd(earlier), CurveEnd(later)));

    chart_.Title.SetText(
        {W1251("Кривые работы первого и повторного обследования: выборов в минуту")});
    std::string foot(earlierSubject1251);
    if (laterSubject1251 != earlierSubject1251) {
        foot += " / ";
        foot += laterSubject1251;
    }
    chart_.Foot.SetText({std::move(foot)});
}

std::vector<TLegendEntry> TCurveOverlayPlot::Legend() const {
    using M = TLegendEntry::TMark;
    std::vector<TLegendEntry> entries{
        {M::Line, EarlierSelections->SeriesColor, psSolid, 2, true, false, "Первое обследование"},
        {M::Line, LaterSelections->SeriesColor, psSolid, 2, true, true, "Повторное обследование"},
    };
    if (EarlierTrend->PointCount() > 0)
        entries.push_back(
            {M::Line, EarlierTrend->SeriesColor, psDash, 1, false, false, "тренд первого"});
    if (LaterTrend->PointCount() > 0)
        entries.push_back(
            {M::Line, LaterTrend->SeriesColor, psDash, 1, false, false, "тренд повторного"});
    return entries;
}

}  // namespace orvix
