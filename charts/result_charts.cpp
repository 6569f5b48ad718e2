#include "result_charts.h"

#include "base/checked_math.h"
#include "base/cp1251.h"
#include "base/format.h"

namespace orvix {

namespace {

TChartFont Arial13(TColor color) {
    return TChartFont{"Arial", 13, color, false};
}

// What both charts share: margins, white plot, blue title and foot, number labels on both
// axes with black titles, last page not stretched.
void SetUpCommon(TChart& chart) {
    chart.resize(kResultChartWidth, kResultChartHeight);
    chart.MarginTop = chart.MarginBottom = 2;
    chart.MarginLeft = chart.MarginRight = 1;
    chart.SetBackColor(clWhite);
    chart.BackWall.Brush = {bsSolid, clWhite};
    chart.Title.Font = Arial13(clBlue);
    chart.Foot.Font = Arial13(clBlue);
    chart.ScaleLastPage = false;
    for (TChartAxis* axis : {&chart.BottomAxis, &chart.LeftAxis}) {
        axis->LabelStyle = talValue;
        axis->Title.Font = Arial13(clBlack);
    }
}

TLineSeries* AddLineSeries(TChart& chart, TColor color, TPenStyle style) {
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

}  // namespace

// ---- TSearchTimeChart ------------------------------------------------------------------

const std::string& TSearchTimeChart::BottomTitle() {
    static const std::string title = W1251("Таймер выбора, сек");
    return title;
}

TSearchTimeChart::TSearchTimeChart(QWidget* parent) : TChart(parent) {
    setObjectName(QStringLiteral("ChartSel"));
    SetUpCommon(*this);
    SetMaxPointsPerPage(60);
    BottomAxis.AxisValuesFormat = "##0.0";
    BottomAxis.Title.SetCaption(BottomTitle());
    // A fixed range until the first load sets it.
    LeftAxis.SetAutomatic(false);
    LeftAxis.SetMaximum(504);
    LeftAxis.SetMinimum(0);
    LeftAxis.AxisValuesFormat = "#0.00";
    LeftAxis.Title.SetCaption(W1251("Время поиска, сек [Mean+/-2SD]"));

    SeriesSel = AddLineSeries(*this, clRed, psSolid);
    SeriesSel->Pointer.Visible = true;
    SeriesSel->Pointer.SetHorizSize(3);
    SeriesSel->Pointer.SetVertSize(3);
    SeriesSelAv = AddLineSeries(*this, clBlue, psSolid);
    SeriesSel2Dp = AddLineSeries(*this, clBandLine, psDashDot);
    SeriesSel2Dm = AddLineSeries(*this, clBandLine, psDashDot);

    sbLeftSel = new TSpeedButton(TArrowGlyph::Left, this);
    sbLeftSel->setObjectName(QStringLiteral("sbLeftSel"));
    sbLeftSel->setGeometry(958, 327, 25, 25);
    sbLeftSel->setEnabled(false);
    sbRightSel = new TSpeedButton(TArrowGlyph::Right, this);
    sbRightSel->setObjectName(QStringLiteral("sbRightSel"));
    sbRightSel->setGeometry(984, 327, 25, 25);

    connect(sbLeftSel, &QAbstractButton::clicked, this, [this] { sbLeftSelClick(); });
    connect(sbRightSel, &QAbstractButton::clicked, this, [this] { sbRightSelClick(); });
    connect(this, &TChart::MouseMoved, this, [this](int x, int y) { ChartSelMouseMove(x, y); });
}

void TSearchTimeChart::ClearSeries() {
    for (TLineSeries* s : {SeriesSel, SeriesSelAv, SeriesSel2Dp, SeriesSel2Dm}) s->ClearPoints();
}

void TSearchTimeChart::SetTexts(std::string_view heading, const TAnalysisResult& result,
                                std::string_view subject) {
    static const std::string kTo = W1251(", ориентированных на ");
    static const std::string kStats = W1251(" [Mean = %3.1f сек, SD = %4.2f сек, V = %1.0f%s]");
    std::string title(heading);
    title += kTo;
    title += result.Orientation;
    title += FormatText(kStats, {Extended{result.Search.Mean}, Extended{result.Search.SD},
                                 Extended{result.Search.V}, "%"});
    Title.SetText({std::move(title)});
    Foot.SetText({std::string(subject)});
}

void TSearchTimeChart::AddSelection(const TSelectionPoint& point, const TAnalysisResult& result) {
    const double mean = result.Search.Mean;
    const double sd = result.Search.SD;
    SeriesSel->AddPoint(point.X, point.Y, result.Caption(point), point.Correct ? clGreen : clRed);
    SeriesSelAv->AddPoint(point.X, mean, {}, clSeriesDefault);
    SeriesSel2Dp->AddPoint(point.X, Band(mean, sd, 2), {}, clSeriesDefault);
    SeriesSel2Dm->AddPoint(point.X, Band(mean, sd, -2), {}, clSeriesDefault);
}

void TSearchTimeChart::SetLeftRange(const TAnalysisResult& result) {
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
    if (minimum > LeftAxis.Maximum()) {
        LeftAxis.SetMaximum(maximum);
        LeftAxis.SetMinimum(minimum);
    } else {
        LeftAxis.SetMinimum(minimum);
        LeftAxis.SetMaximum(maximum);
    }
}

void TSearchTimeChart::sbLeftSelClick() {
    BottomAxis.ShiftRange(-60, false);
    // Reading the first point fails when there is none; the arrows then stay as they were.
    if (SeriesSel->PointX(0) >= BottomAxis.Minimum()) sbLeftSel->setEnabled(false);
    sbRightSel->setEnabled(true);
}

void TSearchTimeChart::sbRightSelClick() {
    BottomAxis.ShiftRange(60, false);
    if (SeriesSel->PointX(selectionCount_ - 1) <= BottomAxis.Maximum())
        sbRightSel->setEnabled(false);
    sbLeftSel->setEnabled(true);
}

void TSearchTimeChart::ChartSelMouseMove(int x, int y) {
    if (!PlotRect().Contains(x, y)) return;
    const int i = SeriesSel->PointAtCursor();
    if (i == -1)
        BottomAxis.Title.SetCaption(BottomTitle());
    else if (SeriesSel->PointX(i) != 0)
        BottomAxis.Title.SetCaption(SeriesSel->PointLabel(i));
}

// ---- TTempoChart -----------------------------------------------------------------------

const std::string& TTempoChart::BottomTitle() {
    static const std::string title = W1251("5-ти секундные интервалы");
    return title;
}

TTempoChart::TTempoChart(QWidget* parent) : TChart(parent) {
    setObjectName(QStringLiteral("Chart5sec"));
    SetUpCommon(*this);
    BottomAxis.AxisValuesFormat = "##0.";
    BottomAxis.Title.SetCaption(BottomTitle());
    // The minimum stays at 0, the maximum follows the data.
    LeftAxis.SetAutomaticMinimum(false);
    LeftAxis.SetMinimum(0);
    LeftAxis.AxisValuesFormat = "#0.";
    LeftAxis.Title.SetCaption(W1251("Число колец за 5 сек [Mean+/-2SD]"));

    Series5secNpl = AddSeries<TBarSeries>();
    Series5secNpl->SeriesColor = clRed;
    Series5secNpl->SetBarWidthPercent(40);
    Series5secNpl->MultiBar = mbNone;
    Series5secNpl->Marks.Visible = false;
    Series5sec = AddLineSeries(*this, clRed, psSolid);
    Series5sec->Pointer.Visible = true;
    Series5secAv = AddLineSeries(*this, clBlue, psSolid);
    Series5sec2Dp = AddLineSeries(*this, clBandLine, psDashDot);
    Series5sec2Dm = AddLineSeries(*this, clBandLine, psDashDot);

    connect(this, &TChart::MouseMoved, this, [this](int x, int y) { ChartTimeMouseMove(x, y); });
}

void TTempoChart::ClearSeries() {
    for (int i = 0; i < SeriesCount(); ++i) Series(i)->ClearPoints();
}

void TTempoChart::Fill(const TAnalysisResult& result, std::string_view subject) {
    static const std::string kNoErrors = W1251("Без ошибок");
    static const std::string kWrong = W1251("N ош.выбор = ");
    static const std::string kHeading = W1251(
        "Динамика поиска по 5-ти секундным интервалам [Ncp = %3.1f, SD = %4.2f, V = %1.0f%s, "
        "N+ = %d, Nо.в. = %d]");
    static const std::string kOmissions =
        W1251("Гистограмма частоты пропусков по 5-ти секундным итервалам [Nпр = ");

    const double mean = result.Tempo.Mean;
    const double sd = result.Tempo.SD;
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
    Title.SetText({FormatText(kHeading, {Extended{mean}, Extended{sd}, Extended{result.Tempo.V},
                                         "%", result.NPlus, result.NWrong}),
                   kOmissions + IntText(result.NOmit) + "]"});
    Foot.SetText({std::string(subject)});
}

void TTempoChart::ChartTimeMouseMove(int x, int y) {
    if (!PlotRect().Contains(x, y)) return;
    const int i = Series5sec->PointAtCursor();
    if (i == -1)
        BottomAxis.Title.SetCaption(BottomTitle());
    else if (Series5sec->PointX(i) != 0)
        BottomAxis.Title.SetCaption(Series5sec->PointLabel(i));
}

// ---- TResultChartViews -----------------------------------------------------------------

void TResultChartViews::ClearSeries() {
    chart5sec_.ClearSeries();
    chartSel_.ClearSeries();
    chartSel_.SetSelectionCount(0);
}

void TResultChartViews::SearchChartTexts(const TLineBuffer& protocol,
                                         const TAnalysisResult& result) {
    chartSel_.SetSelectionCount(result.SelectionCount);
    subject_ = std::string(protocol.LineAt(line::kSubject));
    chartSel_.SetTexts(protocol.LineAt(line::kChartTitle), result, subject_);
}

void TResultChartViews::SearchChartPoint(const TSelectionPoint& point,
                                         const TAnalysisResult& result) {
    chartSel_.AddSelection(point, result);
}

void TResultChartViews::SearchChartRange(const TAnalysisResult& result) {
    chartSel_.SetLeftRange(result);
}

void TResultChartViews::TempoChart(const TAnalysisResult& result) {
    chart5sec_.Fill(result, subject_);
}

}  // namespace orvix
