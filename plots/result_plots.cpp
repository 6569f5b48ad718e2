#include "plots/result_plots.h"

#include "base/checked_math.h"
#include "base/cp1251.h"
#include "base/format.h"

namespace orvix {

namespace {

TChartFont Arial13(TColor color) {
    return TChartFont{"Arial", 13, color, false};
}

// What both charts share: the look of the result charts, last page not stretched.
void SetUpCommon(TCustomChart& chart) {
    SetUpResultChartLook(chart);
    chart.ScaleLastPage = false;
}

TLineSeries* AddLineSeries(TCustomChart& chart, TColor color, TPenStyle style) {
    auto* series = chart.AddSeries<TLineSeries>();
    series->SeriesColor = color;
    series->LinePen.Style = style;
    series->Marks.Visible = false;
    return series;
}

// mean + factor * sd (factor may be negative), computed in extended precision and stored as a
// double: a result beyond the double range fails as an overflow.
double Band(double mean, double sd, int factor) {
    return checked::ToDouble(checked::Add(mean, checked::Mul(factor, sd)));
}

// Over a point of `series` inside the plot: its caption in place of the bottom axis title
// (a point at X = 0 leaves the title alone); over no point, the default title.
void ShowCaptionAt(TCustomChart& chart, const TChartSeries& series, const std::string& title, int x,
                   int y) {
    if (!chart.PlotRect().Contains(x, y)) return;
    const int i = series.HitTest(x, y);
    if (i == -1)
        chart.BottomAxis.Title.SetCaption(title);
    else if (series.PointX(i) != 0)
        chart.BottomAxis.Title.SetCaption(series.PointLabel(i));
}

}  // namespace

void SetUpResultChartLook(TCustomChart& chart) {
    chart.MarginTop = chart.MarginBottom = 2;
    chart.MarginLeft = chart.MarginRight = 1;
    chart.SetBackColor(clWhite);
    chart.BackWall.Brush = {bsSolid, clWhite};
    chart.Title.Font = Arial13(clBlue);
    chart.Foot.Font = Arial13(clBlue);
    for (TChartAxis* axis : {&chart.BottomAxis, &chart.LeftAxis}) {
        axis->LabelStyle = talValue;
        axis->Title.Font = Arial13(clBlack);
    }
}

// ---- TSearchTimePlot -------------------------------------------------------------------

const std::string& TSearchTimePlot::BottomTitle() {
    static const std::string title = W1251("Таймер выбора, сек");
    return title;
}

TSearchTimePlot::TSearchTimePlot(TCustomChart& chart) : chart_(chart) {
    SetUpCommon(chart);
    chart.SetMaxPointsPerPage(60);
    chart.BottomAxis.AxisValuesFormat = "##0.0";
    chart.BottomAxis.Title.SetCaption(BottomTitle());
    // A fixed range until the first load sets it.
    chart.LeftAxis.SetAutomatic(false);
    chart.LeftAxis.SetMaximum(504);
    chart.LeftAxis.SetMinimum(0);
    chart.LeftAxis.AxisValuesFormat = "#0.00";
    chart.LeftAxis.Title.SetCaption(W1251("Время поиска, сек [Mean+/-2SD]"));

    SeriesSel = AddLineSeries(chart, clRed, psSolid);
    SeriesSel->Pointer.Visible = true;
    SeriesSel->Pointer.SetHorizSize(3);
    SeriesSel->Pointer.SetVertSize(3);
    SeriesSelAv = AddLineSeries(chart, clBlue, psSolid);
    SeriesSel2Dp = AddLineSeries(chart, clBandLine, psDashDot);
    SeriesSel2Dm = AddLineSeries(chart, clBandLine, psDashDot);
}

void TSearchTimePlot::ClearSeries() {
    for (TLineSeries* s : {SeriesSel, SeriesSelAv, SeriesSel2Dp, SeriesSel2Dm}) s->ClearPoints();
}

void TSearchTimePlot::SetTexts(std::string_view heading, const TAnalysisResult& result,
                               std::string_view subject) {
    static const std::string kTo = W1251(", ориентированных на ");
    static const std::string kStats = W1251(" [Mean = %3.1f сек, SD = %4.2f сек, V = %1.0f%s]");
    std::string title(heading);
    title += kTo;
    title += result.Orientation;
    title += FormatText(kStats, {Extended{result.Search.Mean}, Extended{result.Search.SD},
                                 Extended{result.Search.V}, "%"});
    chart_.Title.SetText({std::move(title)});
    chart_.Foot.SetText({std::string(subject)});
}

void TSearchTimePlot::AddSelection(const TSelectionPoint& point, const TAnalysisResult& result) {
    const double mean = result.Search.Mean;
    const double sd = result.Search.SD;
    SeriesSel->AddPoint(point.X, point.Y, result.Caption(point), point.Correct ? clGreen : clRed);
    SeriesSelAv->AddPoint(point.X, mean, {}, clSeriesDefault);
    SeriesSel2Dp->AddPoint(point.X, Band(mean, sd, 2), {}, clSeriesDefault);
    SeriesSel2Dm->AddPoint(point.X, Band(mean, sd, -2), {}, clSeriesDefault);
}

void TSearchTimePlot::SetLeftRange(const TAnalysisResult& result) {
    const Extended mean = result.Search.Mean;
    const Extended spread = checked::Mul(3, result.Search.SD);
    const Extended low = checked::Sub(mean, spread);
    const Extended high = checked::Add(mean, spread);
    const double lowest = SeriesSel->LowestY();
    const double highest = SeriesSel->HighestY();
    const double minimum = lowest <= low ? 0.0 : checked::ToDouble(low);
    const double maximum =
        highest < high ? checked::ToDouble(high) : checked::ToDouble(checked::Add(highest, 0.1L));
    // Each end is checked against the other's current value, so a range lying wholly above
    // the present one must move its maximum first.
    TChartAxis& left = chart_.LeftAxis;
    if (minimum > left.Maximum()) {
        left.SetMaximum(maximum);
        left.SetMinimum(minimum);
    } else {
        left.SetMinimum(minimum);
        left.SetMaximum(maximum);
    }
}

void TSearchTimePlot::HoverAt(int x, int y) {
    ShowCaptionAt(chart_, *SeriesSel, BottomTitle(), x, y);
}

// ---- TTempoPlot ------------------------------------------------------------------------

const std::string& TTempoPlot::BottomTitle() {
    static const std::string title = W1251("5-ти секундные интервалы");
    return title;
}

TTempoPlot::TTempoPlot(TCustomChart& chart) : chart_(chart) {
    SetUpCommon(chart);
    chart.BottomAxis.AxisValuesFormat = "##0.";
    chart.BottomAxis.Title.SetCaption(BottomTitle());
    // The minimum stays at 0, the maximum follows the data.
    chart.LeftAxis.SetAutomaticMinimum(false);
    chart.LeftAxis.SetMinimum(0);
    chart.LeftAxis.AxisValuesFormat = "#0.";
    chart.LeftAxis.Title.SetCaption(W1251("Число колец за 5 сек [Mean+/-2SD]"));

    Series5secNpl = chart.AddSeries<TBarSeries>();
    Series5secNpl->SeriesColor = clRed;
    Series5secNpl->SetBarWidthPercent(40);
    Series5secNpl->MultiBar = mbNone;
    Series5secNpl->Marks.Visible = false;
    Series5sec = AddLineSeries(chart, clRed, psSolid);
    Series5sec->Pointer.Visible = true;
    Series5secAv = AddLineSeries(chart, clBlue, psSolid);
    Series5sec2Dp = AddLineSeries(chart, clBandLine, psDashDot);
    Series5sec2Dm = AddLineSeries(chart, clBandLine, psDashDot);
}

void TTempoPlot::ClearSeries() {
    for (int i = 0; i < chart_.SeriesCount(); ++i) chart_.Series(i)->ClearPoints();
}

void TTempoPlot::Fill(const TAnalysisResult& result, std::string_view subject) {
    static const std::string kNoErrors = W1251("Без ошибок");
    static const std::string kWrong = W1251("N ош.выбор = ");
    static const std::string kHeading = W1251(
        "Динамика поиска по 5-ти секундным интервалам [Ncp = %3.1f, SD = %4.2f, V = %1.0f%s, "
        "N+ = %d, Nо.в. = %d]");
    static const std::string kOmissions =
        W1251("Гистограмма частоты пропусков по 5-ти секундным итервалам [Nпр = ");

    const double mean = result.Tempo.Mean;
    const double sd = result.Tempo.SD;
    for (int i = 0; i < chart_.SeriesCount(); ++i)
        chart_.Series(i)->ReservePoints(result.Intervals.size());
    double k = 0;
    for (const TIntervalCounts& counts : result.Intervals) {
        k += 1;
        if (counts.Wrong == 0)
            Series5sec->AddPoint(k, counts.Selections, kNoErrors, clGreen);
        else
            Series5sec->AddPoint(k, counts.Selections,
                                 kWrong + IntText(static_cast<std::int32_t>(counts.Wrong)), clRed);
        Series5secAv->AddPoint(k, mean, {}, clSeriesDefault);
        Series5sec2Dp->AddPoint(k, Band(mean, sd, 2), {}, clSeriesDefault);
        Series5sec2Dm->AddPoint(k, Band(mean, sd, -2), {}, clSeriesDefault);
        Series5secNpl->AddPoint(k, counts.Omissions, {}, clSeriesDefault);
    }
    chart_.Title.SetText(
        {FormatText(kHeading, {Extended{mean}, Extended{sd}, Extended{result.Tempo.V}, "%",
                               result.NPlus, result.NWrong}),
         kOmissions + IntText(result.NOmit) + "]"});
    chart_.Foot.SetText({std::string(subject)});
}

void TTempoPlot::HoverAt(int x, int y) {
    ShowCaptionAt(chart_, *Series5sec, BottomTitle(), x, y);
}

// ---- ShowLoad --------------------------------------------------------------------------

void ShowLoad(const TLoadedProtocol& load, TLineList& report, TTempoPlot& tempo,
              TSearchTimePlot& search) {
    const TAnalysis& analysis = load.Analysis;
    const TAnalysisResult& result = analysis.Result;
    tempo.ClearSeries();
    search.ClearSeries();
    search.SetSelectionCount(0);
    // A caption left by the mouse belongs to the previous protocol's points.
    search.Chart().BottomAxis.Title.SetCaption(TSearchTimePlot::BottomTitle());

    // The chart steps run after the analysis steps they follow in the Data command; a chart
    // that fails ends the load in the step it belongs to.
    TAnalysisStep stopped = analysis.Stopped;
    std::exception_ptr failure = analysis.Failure;
    TAnalysisStep at = TAnalysisStep::SelectionCount;
    try {
        if (analysis.Completed(TAnalysisStep::SelectionCount)) {
            search.SetSelectionCount(result.SelectionCount);
            search.SetTexts(load.Protocol.LineAt(line::kChartTitle), result, load.Subject);
        }
        at = TAnalysisStep::Records;
        if (analysis.Completed(TAnalysisStep::Intervals)) {
            // The points the pass made, up to a failure of the pass.
            for (TLineSeries* s :
                 {search.SeriesSel, search.SeriesSelAv, search.SeriesSel2Dp, search.SeriesSel2Dm})
                s->ReservePoints(result.Points.size());
            for (const TSelectionPoint& point : result.Points) search.AddSelection(point, result);
            if (analysis.Completed(TAnalysisStep::Records)) search.SetLeftRange(result);
        }
        at = TAnalysisStep::Tempo;
        if (analysis.Completed(TAnalysisStep::Tempo)) tempo.Fill(result, load.Subject);
    } catch (...) {
        // A chart only runs on what the analysis completed, so its failure comes first.
        stopped = at;
        failure = std::current_exception();
    }
    FillReport(report, load.Protocol, result, stopped);
    if (failure) std::rethrow_exception(failure);
}

TLoadedProtocol LoadAsDataCommand(const std::filesystem::path& path, char decimal) {
    TLoadedProtocol load = LoadAndAnalyse(path);
    TDetachedCharts charts;
    charts.TempoChart.DecimalSeparator = decimal;
    charts.SearchChart.DecimalSeparator = decimal;
    TTextLines report;
    ShowLoad(load, report, charts.Tempo, charts.Search);
    return load;
}

}  // namespace orvix
