// The work-curve charts filled from sample protocols: what each series holds, the minute axis
// after layout, and the legend that names the marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/cp1251.h"
#include "plots/curve_plots.h"
#include "protocol/load.h"
#include "stats/stats_text.h"
#include "tests/charts/chart_math_fixture.h"

namespace orvix {
namespace {

TLoadedProtocol Sample(const char* name) {
    return LoadAndAnalyse(std::filesystem::path(ORVIX_SOURCE_DIR) / "Data" / name);
}

double End(const stats::TWorkCurve& curve) {
    return curve.Minutes.back().Start + curve.Minutes.back().Seconds / 60;
}

bool HasEntry(const std::vector<TLegendEntry>& legend, std::string_view text, TColor color) {
    return std::any_of(legend.begin(), legend.end(),
                       [&](const TLegendEntry& e) { return e.Text == text && e.Color == color; });
}

TEST(WorkCurvePlot, SeriesHoldEachMinuteAndTheTrendWithItsBand) {
    const TLoadedProtocol load = Sample("protocol-001.klp");
    ASSERT_EQ(load.Analysis.Stopped, TAnalysisStep::Done);
    const stats::TWorkCurve curve = stats::ComputeWorkCurve(load.Analysis.Result);
    ASSERT_GE(curve.Minutes.size(), 3u);
    ASSERT_TRUE(curve.Trend.Defined);

    testing::CountingChart chart;
    chart.DecimalSeparator = ',';
    TWorkCurvePlot plot(chart);
    plot.Fill(curve, load.Subject);
    plot.Fill(curve, load.Subject);  // a second fill replaces the first
    const std::vector<const TChartSeries*> order{plot.WrongBars, plot.OmissionBars, plot.Selections,
                                                 plot.Trend,     plot.BandHigh,     plot.BandLow};
    ASSERT_EQ(chart.SeriesCount(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(chart.Series(i), order[static_cast<std::size_t>(i)]);

    const int minutes = static_cast<int>(curve.Minutes.size());
    for (const TChartSeries* s : {order[0], order[1], order[2]})
        ASSERT_EQ(s->PointCount(), minutes);
    for (int i = 0; i < minutes; ++i) {
        const stats::TMinute& m = curve.Minutes[static_cast<std::size_t>(i)];
        SCOPED_TRACE(i);
        // Each minute's marks stand at its middle.
        EXPECT_DOUBLE_EQ(plot.Selections->PointX(i), m.Start + m.Seconds / 120);
        EXPECT_DOUBLE_EQ(plot.WrongBars->PointX(i), plot.Selections->PointX(i));
        EXPECT_EQ(plot.WrongBars->PointY(i), m.Wrong);
        EXPECT_EQ(plot.OmissionBars->PointY(i), m.Omissions);
        EXPECT_DOUBLE_EQ(plot.Selections->PointY(i), m.SelectionsPerMinute);
    }
    // The bars of a minute stand side by side, not over each other.
    EXPECT_EQ(plot.WrongBars->OffsetPercent, -plot.OmissionBars->OffsetPercent);
    EXPECT_NE(plot.WrongBars->OffsetPercent, 0);

    // The trend from the start to the end of the test, the band around it on both sides.
    const double end = End(curve);
    ASSERT_EQ(plot.Trend->PointCount(), kTrendSamples + 1);
    EXPECT_EQ(plot.Trend->PointX(0), 0);
    EXPECT_DOUBLE_EQ(plot.Trend->PointX(kTrendSamples), end);
    for (int i = 0; i <= kTrendSamples; i += 8) {
        const double x = plot.Trend->PointX(i);
        EXPECT_NEAR(plot.Trend->PointY(i), curve.Trend.Intercept + curve.Trend.Slope * x, 1e-9);
        const double half = curve.Trend.BandHalfWidth(x);
        EXPECT_GT(half, 0);
        EXPECT_NEAR(plot.BandHigh->PointY(i) - plot.Trend->PointY(i), half, 1e-9);
        EXPECT_NEAR(plot.Trend->PointY(i) - plot.BandLow->PointY(i), half, 1e-9);
    }

    // Laid out: the whole test along the bottom in whole minutes, every minute shown.
    chart.Lay(kCurveChartWidth, kCurveChartHeight);
    EXPECT_EQ(chart.BottomAxis.Minimum(), 0);
    EXPECT_DOUBLE_EQ(chart.BottomAxis.Maximum(), end);
    for (const TAxisLabel& label : chart.BottomAxis.LabelList())
        EXPECT_EQ(label.Value, std::round(label.Value)) << label.Text;
    EXPECT_EQ(chart.LeftAxis.Minimum(), 0);
    EXPECT_GE(chart.LeftAxis.Maximum(), plot.Selections->HighestY());
    EXPECT_EQ(plot.Selections->FirstVisible(), 0);
    EXPECT_EQ(plot.Selections->LastVisible(), minutes - 1);
    EXPECT_EQ(plot.WrongBars->LastVisible(), minutes - 1);

    // The title gives the slope with the chart's separator; the foot names the examinee.
    ASSERT_EQ(chart.Title.Text().size(), 2u);
    EXPECT_NE(
        chart.Title.Text()[1].find(Utf8ToCp1251(stats::NumberText(curve.Trend.Slope, 2, ','))),
        std::string::npos)
        << Cp1251ToUtf8(chart.Title.Text()[1]);
    EXPECT_EQ(chart.Foot.Text(), std::vector<std::string>{load.Subject});

    const std::vector<TLegendEntry> legend = plot.Legend();
    EXPECT_EQ(legend.size(), 5u);
    EXPECT_TRUE(HasEntry(legend, "выборов в минуту", plot.Selections->SeriesColor));
    EXPECT_TRUE(HasEntry(legend, "ошибочные выборы", plot.WrongBars->SeriesColor));
    EXPECT_TRUE(HasEntry(legend, "пропуски", plot.OmissionBars->SeriesColor));
    EXPECT_TRUE(HasEntry(legend, "тренд темпа", plot.Trend->SeriesColor));
    EXPECT_NE(plot.WrongBars->SeriesColor, plot.OmissionBars->SeriesColor);

    // A curve too short for a trend: its minutes, no trend, and the legend says nothing of one.
    stats::TWorkCurve shortCurve;
    shortCurve.Minutes.push_back({1, 10, 0, 2, 1, 0, 12});
    plot.Fill(shortCurve, load.Subject);
    EXPECT_EQ(plot.Selections->PointCount(), 1);
    for (const TChartSeries* s : {order[3], order[4], order[5]}) EXPECT_EQ(s->PointCount(), 0);
    EXPECT_EQ(plot.Legend().size(), 3u);
    chart.Lay(kCurveChartWidth, kCurveChartHeight);
    EXPECT_DOUBLE_EQ(chart.BottomAxis.Maximum(), 10.0 / 60);
}

// Wrong selections and omissions, a few a minute, are drawn on a scale of their own on the
// right, whole numbers from 0 to twice the highest count: the highest bar reaches half the
// plot's height instead of a few pixels of the tempo's scale. The chart's words are Russian.
TEST(WorkCurvePlot, WrongSelectionsAndOmissionsHaveAnAxisOfTheirOwn) {
    for (const char* name : {"protocol-001.klp", "protocol-003.klp", "protocol-005.klp"}) {
        SCOPED_TRACE(name);
        const TLoadedProtocol load = Sample(name);
        ASSERT_EQ(load.Analysis.Stopped, TAnalysisStep::Done);
        const stats::TWorkCurve curve = stats::ComputeWorkCurve(load.Analysis.Result);
        testing::CountingChart chart;
        TWorkCurvePlot plot(chart);
        plot.Fill(curve, load.Subject);
        chart.Lay(kCurveChartWidth, kCurveChartHeight);

        for (const TChartSeries* s : {static_cast<const TChartSeries*>(plot.WrongBars),
                                      static_cast<const TChartSeries*>(plot.OmissionBars)})
            EXPECT_EQ(s->VertAxis(), aRightAxis);
        for (const TChartSeries* s : {plot.Selections, plot.Trend, plot.BandHigh, plot.BandLow})
            EXPECT_EQ(s->VertAxis(), aLeftAxis);
        const TChartAxis& right = chart.RightAxis;
        ASSERT_TRUE(right.Shown());
        // The highest bar of either kind.
        const TBarSeries* tallSeries = plot.WrongBars;
        int tall = 0;
        for (const TBarSeries* s : {plot.WrongBars, plot.OmissionBars})
            for (int i = 0; i < s->PointCount(); ++i)
                if (s->PointY(i) > tallSeries->PointY(tall)) {
                    tallSeries = s;
                    tall = i;
                }
        const double highest = tallSeries->PointY(tall);
        ASSERT_GT(highest, 0);
        EXPECT_EQ(right.Minimum(), 0);
        EXPECT_EQ(right.Maximum(), std::max(2.0, 2 * highest));
        ASSERT_GE(right.LabelList().size(), 3u);
        for (const TAxisLabel& label : right.LabelList())
            EXPECT_EQ(label.Text, std::to_string(static_cast<int>(label.Value)));
        // It stands on the bottom edge, half as high as the plot.
        const auto bar = tallSeries->BarBounds(tall);
        const TRect r = chart.PlotRect();
        EXPECT_EQ(bar.Origin, r.Bottom);
        EXPECT_NEAR(bar.Origin - bar.Top, r.Height() / 2.0, 2);
        // The tempo keeps the left axis, its range from the selections alone.
        EXPECT_GE(chart.LeftAxis.Maximum(), plot.Selections->HighestY());

        std::vector<std::string> texts = chart.Title.Text();
        texts.push_back(chart.LeftAxis.Title.Caption());
        texts.push_back(right.Title.Caption());
        texts.push_back(chart.BottomAxis.Title.Caption());
        for (std::string& t : texts) t = Cp1251ToUtf8(t);
        for (const TLegendEntry& e : plot.Legend()) texts.push_back(e.Text);
        for (const std::string& text : texts)
            for (const char c : text)
                EXPECT_FALSE((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) << text;
    }
}

TEST(CurveOverlayPlot, BothTestsInTheirOwnColoursWithTheirNames) {
    const TLoadedProtocol earlierLoad = Sample("protocol-001.klp");
    const TLoadedProtocol laterLoad = Sample("protocol-002.klp");
    const stats::TWorkCurve earlier = stats::ComputeWorkCurve(earlierLoad.Analysis.Result);
    const stats::TWorkCurve later = stats::ComputeWorkCurve(laterLoad.Analysis.Result);
    ASSERT_TRUE(earlier.Trend.Defined && later.Trend.Defined);

    testing::CountingChart chart;
    TCurveOverlayPlot plot(chart);
    plot.Fill(earlier, later, earlierLoad.Subject, laterLoad.Subject);
    ASSERT_EQ(chart.SeriesCount(), 4);
    // The data lines are drawn over the trend lines.
    EXPECT_EQ(chart.Series(2), plot.EarlierSelections);
    EXPECT_EQ(chart.Series(3), plot.LaterSelections);
    ASSERT_EQ(plot.EarlierSelections->PointCount(), static_cast<int>(earlier.Minutes.size()));
    ASSERT_EQ(plot.LaterSelections->PointCount(), static_cast<int>(later.Minutes.size()));
    for (std::size_t i = 0; i < later.Minutes.size(); ++i)
        EXPECT_DOUBLE_EQ(plot.LaterSelections->PointY(static_cast<int>(i)),
                         later.Minutes[i].SelectionsPerMinute);
    EXPECT_DOUBLE_EQ(plot.EarlierTrend->PointY(0), earlier.Trend.Intercept);
    EXPECT_DOUBLE_EQ(plot.LaterTrend->PointY(0), later.Trend.Intercept);
    EXPECT_DOUBLE_EQ(plot.LaterTrend->PointX(kTrendSamples), End(later));

    // Told apart by colour, and in grey print by the markers.
    EXPECT_NE(plot.EarlierSelections->SeriesColor, plot.LaterSelections->SeriesColor);
    EXPECT_EQ(plot.EarlierTrend->SeriesColor, plot.EarlierSelections->SeriesColor);
    EXPECT_EQ(plot.LaterTrend->SeriesColor, plot.LaterSelections->SeriesColor);
    EXPECT_NE(plot.EarlierSelections->Pointer.Brush.Style,
              plot.LaterSelections->Pointer.Brush.Style);
    const std::vector<TLegendEntry> legend = plot.Legend();
    EXPECT_TRUE(HasEntry(legend, "Первое обследование", plot.EarlierSelections->SeriesColor));
    EXPECT_TRUE(HasEntry(legend, "Повторное обследование", plot.LaterSelections->SeriesColor));
    EXPECT_EQ(legend.size(), 4u);

    chart.Lay(kCurveChartWidth, kCurveChartHeight);
    EXPECT_DOUBLE_EQ(chart.BottomAxis.Maximum(), std::max(End(earlier), End(later)));
    EXPECT_EQ(chart.Foot.Text(),
              std::vector<std::string>{earlierLoad.Subject + " / " + laterLoad.Subject});
}

}  // namespace
}  // namespace orvix
