// The two result charts: what a load puts into them, the search-time chart's left axis and
// arrows, hover captions, and pixel probes of the rendered charts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <functional>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/numbers.h"
#include "plots/result_charts.h"
#include "protocol/load.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix {
namespace {
using protogen::RecordLine;

std::string FailureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

// A protocol of BasicProtocol's head (mean 2.0, SD 1.0) with these records.
protogen::TProtocolText WithRecords(const std::vector<std::string>& records) {
    protogen::TProtocolText p = protogen::BasicProtocol();
    p.Head[24] = std::to_string(records.size());
    p.Records = records;
    return p;
}

struct Views {
    TTempoChart& chart5sec;
    TSearchTimeChart& chartSel;
};

// Shows a load as the Data command does: series emptied, then filled from the analysis.
std::string Load(const Views& views, const protogen::TProtocolText& p) {
    const TLoadedProtocol load = AnalyseText(p.Text());
    TTextLines report;
    return FailureOf(
        [&] { ShowLoad(load, report, views.chart5sec.Plot(), views.chartSel.Plot()); });
}

// Fills the search-time chart with one point per search time, 2.3 s apart from 1.5 s.
void Fill(TSearchTimeChart& chart, double mean, double sd, const std::vector<double>& times) {
    TAnalysisResult r;
    r.Search = {mean, sd, 0};
    chart.Plot().ClearSeries();
    chart.Plot().SetSelectionCount(static_cast<std::int32_t>(times.size()));
    for (std::size_t i = 0; i < times.size(); ++i)
        chart.Plot().AddSelection({1.5 + 2.3 * static_cast<double>(i), times[i], 0, 0, i % 2 == 0},
                                  r);
    chart.Plot().SetLeftRange(r);
}

class ResultCharts : public ::testing::Test {
  protected:
    // The mouse moving to (x, y) of `chart`.
    static void MoveTo(TChart& chart, int x, int y) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), chart.mapToGlobal(QPointF(x, y)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&chart, &move);
    }
    static TColor At(const QImage& image, int x, int y) {
        return FromQColor(image.pixelColor(x, y));
    }

    TTempoChart chart5sec;
    TSearchTimeChart chartSel;
    Views views{chart5sec, chartSel};
};

TEST_F(ResultCharts, LoadFillsTheSearchChart) {
    ASSERT_EQ(Load(views, WithRecords({"      17   12.5        1.250  +",
                                       RecordLine(18, "13.0", "2.5", " -")})),
              "");
    const TLineSeries& sel = *chartSel.Plot().SeriesSel;
    ASSERT_EQ(sel.PointCount(), 2);
    EXPECT_EQ(sel.PointX(0), 12.5);
    EXPECT_EQ(sel.PointY(0), 1.25);
    EXPECT_EQ(sel.PointColor(0), clGreen);
    EXPECT_EQ(sel.PointLabel(0), W1251("   12.5 секунда. N = 17. Выбор  +"));
    EXPECT_EQ(sel.PointColor(1), clRed);
    for (auto [series, y] : {std::pair{chartSel.Plot().SeriesSelAv, 2.0},
                             {chartSel.Plot().SeriesSel2Dp, 4.0},
                             {chartSel.Plot().SeriesSel2Dm, 0.0}}) {
        ASSERT_EQ(series->PointCount(), 2);
        EXPECT_EQ(series->PointX(1), 13.0);
        EXPECT_EQ(series->PointY(1), y);
        EXPECT_EQ(series->PointColor(1), series->SeriesColor);
    }
    EXPECT_EQ(chartSel.Title.Text().at(0), W1251("Время поиска колец, ориентированных на 5 часов "
                                                 "[Mean = 2.0 сек, SD = 1.00 сек, V = 50%]"));
    EXPECT_EQ(chartSel.Foot.Text().at(0), W1251("Испытуемый: Тестовый И.И."));
    EXPECT_EQ(chartSel.Plot().SelectionCount(), 2);
    // A new load replaces the points; titles take the program's decimal separator.
    ASSERT_EQ(Load(views, WithRecords({RecordLine(1, "1.0", "1.0", " +"),
                                       RecordLine(2, "6.0", "1.0", " +")})),
              "");
    EXPECT_EQ(chartSel.Plot().SeriesSel2Dm->PointCount(), 2);
    EXPECT_EQ(chartSel.Plot().SeriesSel->PointX(0), 1.0);
    SetDecimalChar(',');
    chartSel.Plot().SetTexts("T", TAnalysisResult{}, "");
    SetDecimalChar('.');
    EXPECT_EQ(chartSel.Title.Text().at(0), W1251("T, ориентированных на  [Mean = 0,0 сек, "
                                                 "SD = 0,00 сек, V = 0%]"));
}

TEST_F(ResultCharts, SearchChartLeftAxisRange) {
    struct Case {
        const char* name;
        double earlierMean;  // an earlier load's mean (SD 1, one point at the mean); 0: none
        double mean, sd;
        std::vector<double> times;
        double minimum, maximum;
        const char* failure;
    };
    const Case cases[] = {
        {"all inside +/-3 SD", 0, 2, 1, {0.5, 4.8}, -1, 5, ""},
        {"a point above lifts the top", 0, 2, 1, {0.5, 4.8, 9.0}, -1, 9.1, ""},
        {"a point below drops the bottom to 0", 0, 10, 1, {6.5, 11}, 0, 13, ""},
        {"wholly above the previous range", 1, 100, 1, {99.5, 100.5}, 97, 103, ""},
        {"wholly below the previous range", 500, 2, 0.1, {1.9, 2.1}, 1.7, 2.3, ""},
        {"negative SD", 0, 2, -1, {-0.5, -0.7}, 0, 504, "Axis Maximum Value must be >= Minimum"},
        {"band beyond the double range", 0, 1e308, 1e308, {1}, 0, 504, "Floating point overflow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSearchTimeChart chart;
        if (c.earlierMean != 0) Fill(chart, c.earlierMean, 1, {c.earlierMean});
        EXPECT_EQ(FailureOf([&] { Fill(chart, c.mean, c.sd, c.times); }), c.failure);
        EXPECT_NEAR(chart.LeftAxis.Minimum(), c.minimum, 1e-12);
        EXPECT_NEAR(chart.LeftAxis.Maximum(), c.maximum, 1e-12);
    }
}

TEST_F(ResultCharts, ArrowsShiftByOneMinuteAndStopAtTheEnds) {
    Fill(chartSel, 2, 0.5, std::vector<double>(150, 2.0));  // X(59) = 137.2, X(149) = 344.2
    chartSel.RenderImage();
    const TChartAxis& bottom = chartSel.BottomAxis;
    EXPECT_DOUBLE_EQ(bottom.Maximum(), chartSel.Plot().SeriesSel->PointX(59));
    for (int click = 1; click <= 5; ++click) {  // the fifth click meets a disabled arrow
        chartSel.sbRightSel->click();
        EXPECT_DOUBLE_EQ(bottom.Maximum(), 137.2 + 60 * std::min(click, 4)) << click;
        EXPECT_EQ(chartSel.sbRightSel->isEnabled(), click < 4) << click;
        EXPECT_TRUE(chartSel.sbLeftSel->isEnabled()) << click;
    }
    // The shifted range and the arrows outlive a new load; back left to its first timer.
    ASSERT_EQ(Load(views, WithRecords({RecordLine(1, "2.0", "1.0", " +"),
                                       RecordLine(2, "9.0", "1.0", " +")})),
              "");
    EXPECT_DOUBLE_EQ(bottom.Minimum(), 241.5);
    for (int click = 1; click <= 4; ++click) {
        chartSel.sbLeftSel->click();
        EXPECT_EQ(chartSel.sbLeftSel->isEnabled(), click < 4) << click;
        EXPECT_TRUE(chartSel.sbRightSel->isEnabled()) << click;
    }
    EXPECT_DOUBLE_EQ(bottom.Minimum(), 1.5);

    // Without the point an arrow reads, the axis moves and the click fails; arrows stay.
    for (auto [right, count, failure] : {std::tuple{true, 0, "List index out of bounds (-1)"},
                                         {false, 0, "List index out of bounds (0)"},
                                         {true, 5, "List index out of bounds (4)"}}) {
        TSearchTimeChart chart;
        chart.Plot().SetSelectionCount(count);
        EXPECT_EQ(FailureOf([&] { right ? chart.sbRightSelClick() : chart.sbLeftSelClick(); }),
                  failure);
        EXPECT_EQ(chart.BottomAxis.Minimum(), right ? 60 : -60);
        EXPECT_FALSE(chart.sbLeftSel->isEnabled());
        EXPECT_TRUE(chart.sbRightSel->isEnabled());
    }
}

TEST_F(ResultCharts, TempoChartPointsBandAndTitles) {
    TAnalysisResult r;
    r.Intervals = {{3, 1, 2}, {0, 0, 0}, {6, 0, 2}};
    r.Tempo = {3, std::sqrt(2.0), 100 * std::sqrt(2.0) / 3};
    r.NPlus = 8;
    r.NWrong = 1;
    r.NOmit = 4;
    chart5sec.Plot().Fill(r, "subject");
    const TLineSeries& sec = *chart5sec.Plot().Series5sec;
    ASSERT_EQ(sec.PointCount(), 3);
    const std::tuple<double, TColor, const char*> expected[] = {
        {3, clRed, "N ош.выбор = 1"}, {0, clGreen, "Без ошибок"}, {6, clGreen, "Без ошибок"}};
    for (int i = 0; i < 3; ++i) {
        const auto [y, colour, label] = expected[i];
        EXPECT_EQ(sec.PointX(i), i + 1);
        EXPECT_EQ(sec.PointY(i), y);
        EXPECT_EQ(sec.PointColor(i), colour);
        EXPECT_EQ(sec.PointLabel(i), W1251(label));
        EXPECT_EQ(chart5sec.Plot().Series5secAv->PointY(i), 3);
        EXPECT_NEAR(chart5sec.Plot().Series5sec2Dp->PointY(i), 5.83, 0.005);
        EXPECT_NEAR(chart5sec.Plot().Series5sec2Dm->PointY(i), 0.17, 0.005);
        EXPECT_EQ(chart5sec.Plot().Series5secNpl->PointY(i), r.Intervals[i].Omissions);
    }
    EXPECT_EQ(chart5sec.Title.Text(),
              (std::vector<std::string>{
                  W1251("Динамика поиска по 5-ти секундным интервалам [Ncp = 3.0, SD = 1.41, "
                        "V = 47%, N+ = 8, Nо.в. = 1]"),
                  W1251("Гистограмма частоты пропусков по 5-ти секундным итервалам [Nпр = 4]")}));
    EXPECT_EQ(chart5sec.Foot.Text(), std::vector<std::string>{"subject"});
    chart5sec.RenderImage();  // the left axis starts at 0 and follows the data upwards
    EXPECT_EQ(chart5sec.LeftAxis.Minimum(), 0);
    EXPECT_EQ(chart5sec.LeftAxis.Maximum(), 6);
    r.Tempo = {1e308, -1e308, 0};
    EXPECT_EQ(FailureOf([&] { chart5sec.Plot().Fill(r, ""); }), "Floating point overflow");
}

TEST_F(ResultCharts, HoverShowsThePointCaptionInPlaceOfTheBottomTitle) {
    ASSERT_EQ(Load(views, WithRecords({RecordLine(3, "0.0", "1.0", " +"),
                                       RecordLine(17, "12.5", "1.25", " +"),
                                       RecordLine(18, "30.0", "3.5", " -")})),
              "");
    chartSel.RenderImage();
    const TLineSeries& sel = *chartSel.Plot().SeriesSel;
    const TRect plot = chartSel.PlotRect();
    const std::string& title = chartSel.BottomAxis.Title.Caption();
    MoveTo(chartSel, sel.CalcXPos(1) + 2, sel.CalcYPos(1) - 2);  // on the marker's edge
    EXPECT_EQ(title, W1251("   12.5 секунда. N = 17. Выбор  +"));
    MoveTo(chartSel, plot.Left - 3, plot.Top + 20);  // outside the plot: unchanged
    EXPECT_EQ(title, sel.PointLabel(1));
    MoveTo(chartSel, plot.Left + 3, plot.Top + 3);  // over no point
    EXPECT_EQ(title, TSearchTimePlot::BottomTitle());
    MoveTo(chartSel, sel.CalcXPos(2), sel.CalcYPos(2));
    EXPECT_EQ(title, W1251("   30.0 секунда. N = 18. Выбор  -"));
    MoveTo(chartSel, sel.CalcXPos(0), sel.CalcYPos(0));  // timer 0 leaves the title alone
    EXPECT_EQ(title, sel.PointLabel(2));

    TAnalysisResult r;
    r.Intervals = {{3, 1, 0}, {4, 0, 1}, {2, 0, 0}};
    r.Tempo = {3, 1, 33};
    chart5sec.Plot().ClearSeries();
    chart5sec.Plot().Fill(r, "");
    chart5sec.RenderImage();
    const TLineSeries& sec = *chart5sec.Plot().Series5sec;
    MoveTo(chart5sec, sec.CalcXPos(0) - 3, sec.CalcYPos(0) + 3);
    EXPECT_EQ(chart5sec.BottomAxis.Title.Caption(), W1251("N ош.выбор = 1"));
    MoveTo(chart5sec, chart5sec.PlotRect().Right - 2, chart5sec.PlotRect().Top + 2);
    EXPECT_EQ(chart5sec.BottomAxis.Title.Caption(), TTempoPlot::BottomTitle());
}

TEST_F(ResultCharts, RenderedMarkersLinesBarsAndArrows) {
    protogen::TGenerateOptions o;
    o.Seed = 16;  // 347 selections, four of the first 60 wrong
    ASSERT_EQ(Load(views, protogen::GenerateProtocol(o)), "");
    // Markers clear of the band lines and of their neighbours: the point's colour inside a
    // black outline (7 x 7 and 9 x 9).
    int colours[2] = {0, 0};
    for (auto [chart, series, h] :
         {std::tuple<TChart*, const TLineSeries*, int>{&chartSel, chartSel.Plot().SeriesSel, 3},
          {&chart5sec, chart5sec.Plot().Series5sec, 4}}) {
        const QImage image = chart->RenderImage();
        const int limit = std::min(series->PointCount() - 1, series->LastVisible());
        for (int i = 1; i < limit; ++i) {
            const int x = series->CalcXPos(i), y = series->CalcYPos(i);
            bool clear = series->CalcXPos(i + 1) - x > 2 * h + 1 &&
                         x - series->CalcXPos(i - 1) > 2 * h + 1 &&
                         y < chart->PlotRect().Bottom - h;
            for (int s = 1; s < 4; ++s)
                clear = clear && std::abs(chart->LeftAxis.CalcPosValue(
                                              chart->Series(chart->SeriesCount() - s)->PointY(0)) -
                                          y) > h + 1;
            if (!clear) continue;
            EXPECT_EQ(At(image, x + h - 1, y - h + 1), series->PointColor(i)) << i;
            EXPECT_EQ(At(image, x - h, y + h), clBlack) << i;
            ++colours[series->PointColor(i) == clGreen];
        }
    }
    EXPECT_GT(colours[0], 1);
    EXPECT_GT(colours[1], 10);

    // Omission bars: red inside a black outline, standing on the bottom edge.
    const QImage tempo = chart5sec.RenderImage();
    const TBarSeries& bars = *chart5sec.Plot().Series5secNpl;
    int tall = 0;
    for (int i = 0; i < bars.PointCount(); ++i) {
        const auto b = bars.BarBounds(i);
        if (bars.PointY(i) < 1 || b.Right - b.Left < 4) continue;
        EXPECT_EQ(At(tempo, b.Left + 1, b.Origin - 2), clRed) << i;
        EXPECT_EQ(At(tempo, b.Left, b.Origin - 2), clBlack) << i;
        ++tall;
    }
    EXPECT_GT(tall, 0);

    // The mean line over the points' line; the left arrow disabled (engraved grey), the right
    // one enabled (black), on a raised face; after the last minute the other way round.
    const QImage search = chartSel.RenderImage();
    const int mean = chartSel.LeftAxis.CalcPosValue(chartSel.Plot().SeriesSelAv->PointY(0));
    for (int x = chartSel.Plot().SeriesSel->CalcXPos(0) + 1; x < chartSel.PlotRect().Right - 1;
         x += 37)
        EXPECT_EQ(At(search, x, mean), clBlue) << x;
    EXPECT_EQ(At(search, 971, 339), RGBColor(128, 128, 128));
    EXPECT_EQ(At(search, 972, 340), clWhite);
    EXPECT_EQ(At(search, 994, 339), clBlack);
    EXPECT_EQ(At(search, 958, 327), clWhite);
    EXPECT_EQ(At(search, 1008, 351), RGBColor(105, 105, 105));
    while (chartSel.sbRightSel->isEnabled()) chartSel.sbRightSel->click();
    const QImage last = chartSel.RenderImage();
    EXPECT_EQ(At(last, 971, 339), clBlack);
    EXPECT_EQ(At(last, 994, 339), RGBColor(128, 128, 128));
}

}  // namespace
}  // namespace orvix
