// The chart component without a display: label steps, values and patterns, the layout of a
// paint, the visible range and the hit test.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/numbers.h"
#include "chart_data.h"
#include "chart_math_fixture.h"
#include "charts/axis_labels.h"
#include "charts/chart_errors.h"
#include "charts/custom_chart.h"

namespace orvix {
namespace {
using namespace orvix::testing;

// ---- labels ------------------------------------------------------------------------------

TEST(LabelSteps, RunThroughOneTwoFive) {
    const std::vector<double> expected{1e-12, 2e-12, 5e-12, 1e-11};
    double s = 1e-12;
    for (std::size_t i = 1; i < expected.size(); ++i) {
        s = NextLabelStep(s);
        EXPECT_NEAR(s / expected[i], 1, 1e-9);
    }
    EXPECT_NEAR(NextLabelStep(0.2), 0.5, 1e-15);
    EXPECT_NEAR(NextLabelStep(0.5), 1, 1e-15);
    EXPECT_EQ(NextLabelStep(1), 2);
    EXPECT_EQ(NextLabelStep(2), 5);
    EXPECT_EQ(NextLabelStep(5), 10);
    EXPECT_EQ(NextLabelStep(50), 100);
    EXPECT_EQ(NextLabelStep(1000), 2000);
}

struct StepCase {
    const char* name;
    double width;
    int length;
    int size;
    double increment;
    int separation;
    double step;
};

class LabelStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(LabelStep, Computed) {
    const StepCase& c = GetParam();
    EXPECT_NEAR(AxisLabelStep(c.width, c.length, c.size, c.increment, c.separation) / c.step, 1,
                1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LabelStep,
    ::testing::Values(StepCase{"width100", 100, 300, 20, 0, 10, 10},  // N = nearest(300/22) = 14
                      StepCase{"width05", 0.5, 300, 20, 0, 10, 0.05},
                      StepCase{"wideRange", 1e6, 300, 20, 0, 10, 1e5},
                      StepCase{"increment", 100, 300, 20, 25, 10, 25},
                      StepCase{"smallIncrementGrows", 100, 300, 20, 3, 10, 10},
                      StepCase{"noSeparation", 100, 300, 20, 0, 0, 1},
                      StepCase{"noRoom", 100, 5, 20, 0, 10, 1e-12},
                      StepCase{"zeroWidth", 0, 300, 20, 0, 10, 1e-12},
                      StepCase{"widthOneNeverBelowOne", 1, 3000, 10, 0, 10, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelValues, FromTheTopDownAtMultiplesOfTheStep) {
    const std::vector<double> left = AxisLabelValues(0, 504, 50, true);
    ASSERT_EQ(left.size(), 11u);
    EXPECT_EQ(left.front(), 500);
    EXPECT_EQ(left.back(), 0);
    const std::vector<double> bottom = AxisLabelValues(1.5, 137.2, 10, true);
    ASSERT_EQ(bottom.size(), 13u);
    EXPECT_EQ(bottom.front(), 130);
    EXPECT_EQ(bottom.back(), 10);
    const std::vector<double> unrounded = AxisLabelValues(1.5, 137.2, 10, false);
    EXPECT_EQ(unrounded.front(), 137.2);
    const std::vector<double> negative = AxisLabelValues(-1.5, 5, 1, true);
    EXPECT_EQ(negative.front(), 5);
    EXPECT_EQ(negative.back(), -1);
    EXPECT_TRUE(AxisLabelValues(0, 10000, 1, true).empty());
    EXPECT_EQ(AxisLabelValues(0, 9999, 1, true).size(), 10000u);
}

TEST(LabelValues, ZeroWidthRangeShowsItsValueAndEnds) {
    EXPECT_EQ(AxisLabelValues(0, 0, 1e-12, true), std::vector<double>{0});
    EXPECT_EQ(AxisLabelValues(1e20, 1e20, 1e-12, true), std::vector<double>{1e20});
    const std::vector<double> five = AxisLabelValues(5, 5, 1e-12, true);
    ASSERT_FALSE(five.empty());
    EXPECT_LT(five.size(), 10u);
    EXPECT_EQ(five.front(), 5);
    // Every value of a zero-width range maps to the axis centre.
    const TAxisMap map{5, 5, 100, 301, false};
    EXPECT_EQ(map.ToPixel(5), 200);
    EXPECT_EQ(map.ToPixel(-1e9), 200);
}

TEST(LabelValues, MinorTicksBetweenAndBeyondTheMajorOnes) {
    // Horizontal: values fall to the left. Majors at 100, 60, 20 (40 pixels apart).
    EXPECT_EQ(MinorTickPixels({100, 60, 20}, 3, 0, 130),
              (std::vector<int>{70, 80, 90, 30, 40, 50, 110, 10, 120}));
    // Vertical: values fall downwards; the span cuts the ones beyond it.
    EXPECT_EQ(MinorTickPixels({10, 50}, 3, 0, 65), (std::vector<int>{40, 30, 20, 60}));
    EXPECT_TRUE(MinorTickPixels({10}, 3, 0, 100).empty());
}

struct PatternCase {
    const char* pattern;
    double value;
    char separator;
    const char* text;
};

class NumberPattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(NumberPattern, Formats) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(FormatAxisValue(c.value, c.pattern, c.separator), c.text)
        << c.pattern << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, NumberPattern,
    ::testing::Values(
        PatternCase{"##0.", 12.5, '.', "13"}, PatternCase{"##0.", 0.4, '.', "0"},
        PatternCase{"##0.", 0, '.', "0"}, PatternCase{"##0.", -2.5, '.', "-3"},
        PatternCase{"#0.", 504, ',', "504"}, PatternCase{"#0.", 1e20, '.', "100000000000000000000"},
        PatternCase{"#0.00", 2, ',', "2,00"}, PatternCase{"#0.00", 0.125, '.', "0.13"},
        PatternCase{"#0.00", 1.005, '.', "1.00"},  // 1.00499999... in binary
        PatternCase{"#0.00", -0.001, '.', "0.00"}, PatternCase{"#0.00", 0.096, '.', "0.10"},
        PatternCase{"#0.00", 3.2, '.', "3.20"}, PatternCase{"##0.0", 99.96, ',', "100,0"},
        PatternCase{"##0.0", 2.25, '.', "2.3"}, PatternCase{"##0.0", -0.04, '.', "0.0"},
        PatternCase{"##0.0", -7.25, '.', "-7.3"}, PatternCase{"##0.0", 0.0000001, '.', "0.0"},
        PatternCase{"#,##0.###", 1234.5678, '.', "1234.568"},
        PatternCase{"#,##0.###", 2.5, '.', "2.5"}, PatternCase{"#,##0.###", 3, '.', "3"}));

// ---- layout ------------------------------------------------------------------------------

TEST(Layout, InitialPlotTitlesFootAndAxisBands) {
    CountingChart chart;
    testing::ConfigureSearchChart(chart);
    for (int i = 0; i < chart.SeriesCount(); ++i) chart.Series(i)->SetActive(false);
    chart.Lay(1023, 369);
    // No active series: no axis takes room.
    EXPECT_EQ(chart.PlotRect(), (TRect{10, 7, 1013, 362}));

    chart.Title.Add("first");
    chart.Title.Add("second");
    chart.Foot.Add("foot");
    chart.Lay(1023, 369);
    const int h = 13 + 2;
    EXPECT_EQ(chart.PlotRect(), (TRect{10, 7 + 2 * h + 5, 1013, 362 - h - 5}));
    const TChartLayout& layout = chart.Layout();
    ASSERT_EQ(layout.TitleLines.size(), 2u);
    EXPECT_EQ(layout.TitleLines[1].Top, 7 + h);
    EXPECT_EQ(layout.TitleLines[1].X, (10 + 1013) / 2 - 7 * 6 / 2);
    ASSERT_EQ(layout.FootLines.size(), 1u);
    EXPECT_EQ(layout.FootLines[0].Top, 362 - h);

    chart.Series(0)->SetActive(true);
    chart.Lay(1023, 369);
    const TRect r = chart.PlotRect();
    // Bottom: title band, labels band (the labels font is 11 pixels), line and ticks.
    EXPECT_EQ(chart.BottomAxis.PosTitle(), 362 - h - 5 - h);
    EXPECT_EQ(chart.BottomAxis.PosLabels(), chart.BottomAxis.PosTitle() - 13);
    EXPECT_EQ(r.Bottom, chart.BottomAxis.PosLabels() - 6);
    // Left, range 0..504 in steps of 50: "500.00" is the wider end label, plus a space.
    EXPECT_EQ(chart.LeftAxis.LabelStep(), 50);
    EXPECT_EQ(chart.LeftAxis.PosTitle(), 10 + h);
    EXPECT_EQ(chart.LeftAxis.PosLabels(), 10 + h + 6 * 7 + 7);
    EXPECT_EQ(r.Left, chart.LeftAxis.PosLabels() + 6);
    EXPECT_EQ(chart.LeftAxis.PosAxis(), r.Left);
    EXPECT_EQ(chart.BottomAxis.PosAxis(), r.Bottom);
    EXPECT_EQ(chart.BottomAxis.Map().Start, r.Left);
    EXPECT_EQ(chart.BottomAxis.Map().End, r.Right);
    EXPECT_EQ(chart.LeftAxis.Map().Start, r.Top);
    EXPECT_EQ(chart.LeftAxis.Map().End, r.Bottom);

    const auto& labels = chart.LeftAxis.LabelList();
    ASSERT_EQ(labels.size(), 11u);
    EXPECT_EQ(labels.front().Text, "500.00");
    EXPECT_EQ(labels.back().Text, "0.00");
    EXPECT_EQ(labels.back().Pixel, r.Bottom);
}

TEST(Layout, LabelsUseTheDecimalSeparator) {
    CountingChart chart;
    const auto s = testing::ConfigureFiveSecChart(chart);
    testing::FillFiveSecChart(s, 3);
    chart.LeftAxis.AxisValuesFormat = "#0.00";
    chart.DecimalSeparator = ',';
    chart.Lay(1023, 369);
    EXPECT_EQ(chart.LeftAxis.LabelList().back().Text, "0,00");
}

TEST(Layout, NeverPaintedChartHasEmptyPlotAndFindsNothing) {
    CountingChart chart;
    const auto s = testing::ConfigureSearchChart(chart);
    testing::FillSearchChart(chart, s, 10);
    EXPECT_EQ(chart.PlotRect(), TRect{});
    EXPECT_EQ(s.Sel->FirstVisible(), -1);
    EXPECT_EQ(s.Sel->HitTest(0, 0), -1);
}

// ---- the right axis ----------------------------------------------------------------------

// Series drawn against the right axis take its range, its bands right of the plot and its
// pixel map, for painting and the hit test; the left axis keeps the others. With no series on
// it the right axis takes no room, and the chart is laid out as one that never had it.
TEST(RightAxis, ItsSeriesTakeItsRangeBandsAndMap) {
    CountingChart chart;
    TLineSeries* line = chart.AddSeries<TLineSeries>();
    TBarSeries* bars = chart.AddSeries<TBarSeries>();
    TLineSeries* marks = chart.AddSeries<TLineSeries>();
    marks->Pointer.Visible = true;  // asks for pixel margins at both ends of its axis
    for (int i = 0; i < 10; ++i) {
        line->AddPoint(i, 40 + 3 * i);
        bars->AddPoint(i, i % 5);
        marks->AddPoint(i, 1);
    }
    chart.RightAxis.Title.SetCaption("right");
    chart.RightAxis.LabelStyle = talValue;
    chart.Lay(800, 400);
    const TRect alone = chart.PlotRect();
    const double leftLow = chart.LeftAxis.Map().Low;
    EXPECT_FALSE(chart.RightAxis.Shown());
    EXPECT_TRUE(chart.RightAxis.LabelList().empty());
    EXPECT_EQ(chart.LeftAxis.Minimum(), 0);

    bars->SetVertAxis(aRightAxis);
    marks->SetVertAxis(aRightAxis);
    EXPECT_TRUE(chart.NeedsRepaint());
    chart.Lay(800, 400);
    ASSERT_TRUE(chart.RightAxis.Shown());
    const TRect r = chart.PlotRect();
    // Each axis's range from its own series; the markers' margins go to the right axis only.
    EXPECT_EQ(chart.LeftAxis.Minimum(), 40);
    EXPECT_EQ(chart.LeftAxis.Maximum(), 67);
    EXPECT_EQ(chart.LeftAxis.Map().Low, 40);
    EXPECT_EQ(chart.RightAxis.Minimum(), 0);
    EXPECT_EQ(chart.RightAxis.Maximum(), 4);
    EXPECT_LT(chart.RightAxis.Map().Low, 0);
    EXPECT_GT(chart.RightAxis.Map().High, 4);
    EXPECT_NE(leftLow, 40);

    // From the plot's first right edge inwards: the title, the labels with a space, the ticks.
    const TChartAxis& right = chart.RightAxis;
    const FixedMeasure measure;
    int widest = 0;
    for (const TAxisLabel& l : right.LabelList())
        widest = std::max(widest, measure.TextWidth(right.LabelsFont, l.Text));
    EXPECT_EQ(right.PosTitle(),
              chart.Layout().InitialPlot.Right - measure.TextHeight(right.Title.Font));
    EXPECT_EQ(right.PosLabels(), right.PosTitle() - widest - 7);
    EXPECT_EQ(right.PosAxis(), right.PosLabels() - right.TickBand());
    EXPECT_EQ(right.PosAxis(), r.Right);
    EXPECT_EQ(r.Left, alone.Left);
    EXPECT_LT(r.Right, alone.Right);
    // Along the same span as the left axis, labels from its own range.
    EXPECT_EQ(right.Map().Start, chart.LeftAxis.Map().Start);
    EXPECT_EQ(right.Map().End, chart.LeftAxis.Map().End);
    ASSERT_GE(right.LabelList().size(), 3u);
    for (const TAxisLabel& l : right.LabelList()) {
        EXPECT_GE(l.Value, 0);
        EXPECT_LE(l.Value, 4);
        EXPECT_EQ(l.Pixel, right.Map().ToPixel(l.Value));
    }

    // Bars stand on the right axis's zero and reach its height of their value; the hit test
    // finds them there, not where the left axis would put them.
    const auto b = bars->BarBounds(4);
    EXPECT_EQ(b.Top, right.CalcPosValue(4));
    EXPECT_EQ(b.Origin, right.CalcPosValue(0));
    EXPECT_EQ(bars->CalcYPos(4), b.Top);
    EXPECT_EQ(bars->HitTest(b.Left + 1, b.Top + 1), 4);
    EXPECT_EQ(bars->HitTest(b.Left + 1, chart.LeftAxis.CalcPosValue(4)), -1);
    EXPECT_EQ(marks->HitTest(marks->CalcXPos(3), right.CalcPosValue(1)), 3);
    EXPECT_EQ(line->CalcYPos(2), chart.LeftAxis.CalcPosValue(46));

    // Back on the left axis: laid out as before.
    bars->SetVertAxis(aLeftAxis);
    marks->SetVertAxis(aLeftAxis);
    chart.Lay(800, 400);
    EXPECT_FALSE(chart.RightAxis.Shown());
    EXPECT_EQ(chart.PlotRect(), alone);
    EXPECT_EQ(chart.LeftAxis.Map().Low, leftLow);
    EXPECT_TRUE(chart.RightAxis.LabelList().empty());

    // An inactive series leaves the right axis out; a hidden right axis takes no room.
    bars->SetVertAxis(aRightAxis);
    bars->SetActive(false);
    chart.Lay(800, 400);
    EXPECT_FALSE(chart.RightAxis.Shown());
    bars->SetActive(true);
    chart.RightAxis.Visible = false;
    chart.Lay(800, 400);
    EXPECT_FALSE(chart.RightAxis.Shown());
    EXPECT_EQ(chart.PlotRect().Right, alone.Right);
}

// ---- visible range and hit test ----------------------------------------------------------

TEST(VisibleRange, LinesKeepThePointPastTheRightEdgeBarsDropIt) {
    CountingChart chart;
    TBarSeries* bars = chart.AddSeries<TBarSeries>();
    TLineSeries* line = chart.AddSeries<TLineSeries>();
    for (int i = 1; i <= 30; ++i) {
        bars->AddPoint(i, i);
        line->AddPoint(i, i);
    }
    chart.SetMaxPointsPerPage(10);
    chart.Lay(800, 400);
    EXPECT_EQ(bars->FirstVisible(), 0);
    EXPECT_EQ(bars->LastVisible(), 9);
    EXPECT_EQ(line->FirstVisible(), 0);
    EXPECT_EQ(line->LastVisible(), 10);
    chart.BottomAxis.ShiftRange(12.5, false);  // 13.5 .. 22.5 from 1..10 with bar margins
    EXPECT_EQ(line->FirstVisible(), 13);
    EXPECT_EQ(line->LastVisible(), 22);
    EXPECT_EQ(bars->LastVisible(), 21);
    chart.BottomAxis.ShiftRange(100, false);  // past all data
    EXPECT_EQ(line->FirstVisible(), -1);
    EXPECT_EQ(line->LastVisible(), -1);
}

TEST(HitTest, MarkerToleranceAndSegmentsReturnTheLeftPoint) {
    CountingChart chart;
    const auto s = testing::ConfigureSearchChart(chart);
    // Flat pairs: points 2k and 2k + 1 share their height, so segment 4 -> 5 is horizontal
    // and segment 5 -> 6 slopes.
    for (int i = 0; i < 12; ++i) s.Sel->AddPoint(10.0 * i, 50.0 + 100 * ((i / 2) % 2), "", clGreen);
    chart.LeftAxis.SetMaximum(300);
    chart.Lay(1023, 369);
    const TChartSeries& sel = *s.Sel;
    const int x4 = sel.CalcXPos(4);
    const int y4 = sel.CalcYPos(4);
    struct Probe {
        int dx;
        int dy;
        int expected;
    };
    // Around point 4, whose right-hand segment runs flat to the right.
    for (const Probe& p :
         {Probe{0, 0, 4}, Probe{2, 2, 4}, Probe{-2, -2, 4}, Probe{2, -2, 4}, Probe{-3, 0, -1},
          Probe{0, 3, -1}, Probe{-3, 3, -1}, Probe{3, 3, -1}, Probe{3, 0, 4}})
        EXPECT_EQ(sel.HitTest(x4 + p.dx, y4 + p.dy), p.expected) << p.dx << "," << p.dy;
    // On the flat segment 4 -> 5, away from both markers.
    const int half45 = (x4 + sel.CalcXPos(5)) / 2;
    ASSERT_GT(half45 - x4, 3);
    EXPECT_EQ(sel.HitTest(half45, y4), 4);
    EXPECT_EQ(sel.HitTest(half45, y4 + 1), -1);

    // Halfway along the sloping segment 5 -> 6.
    const int x5 = sel.CalcXPos(5);
    const int y5 = sel.CalcYPos(5);
    const int x6 = sel.CalcXPos(6);
    const int y6 = sel.CalcYPos(6);
    const int mx = (x5 + x6) / 2;
    const int my = y5 + NearestInt(double(y6 - y5) * (mx - x5) / (x6 - x5));
    EXPECT_EQ(sel.HitTest(mx, my), 5);
    EXPECT_EQ(sel.HitTest(mx, my - 10), -1);
    // Point 6's marker wins over the segment that ends in it.
    EXPECT_EQ(sel.HitTest(x6 - 1, y6), 6);
    // Outside every point and line.
    EXPECT_EQ(sel.HitTest(chart.PlotRect().Left + 1, chart.PlotRect().Top + 1), -1);
}

TEST(HitTest, WithoutMarkersOnlyThePixelAndTheLinesCount) {
    CountingChart chart;
    TLineSeries* line = chart.AddSeries<TLineSeries>();
    for (int i = 0; i < 5; ++i) line->AddPoint(i, 1);
    chart.Lay(600, 300);
    const int x = line->CalcXPos(2);
    const int y = line->CalcYPos(2);
    EXPECT_EQ(line->HitTest(x, y), 2);  // its own pixel is tested before the segment 1 -> 2
    EXPECT_EQ(line->HitTest(x - 1, y), 1);
    EXPECT_EQ(line->HitTest(x - 1, y + 1), -1);
    EXPECT_EQ(line->HitTest(line->CalcXPos(0), y), 0);
}

TEST(HitTest, BarsIncludeTheirEdgesAndStaleRangesFindNothing) {
    CountingChart chart;
    const auto s = testing::ConfigureFiveSecChart(chart);
    testing::FillFiveSecChart(s, 12);
    for (int i = 1; i < chart.SeriesCount(); ++i) chart.Series(i)->SetActive(false);
    chart.Lay(1023, 369);
    const TBarSeries& bars = *s.Npl;
    const int k = 4;  // interval 5: 3 omissions
    const auto b = bars.BarBounds(k);
    ASSERT_EQ(b.Right - b.Left, bars.BarWidth());
    EXPECT_EQ(bars.HitTest(b.Left, b.Top), k);
    EXPECT_EQ(bars.HitTest(b.Left + bars.BarWidth(), b.Origin), k);
    EXPECT_EQ(bars.HitTest(b.Left - 1, b.Top + 1), -1);
    EXPECT_EQ(bars.HitTest(b.Left, b.Top - 1), -1);
    EXPECT_EQ(bars.HitTest(b.Left + 1, b.Origin + 1), -1);
    // A bar of 0 is hit only on its line.
    const auto zero = bars.BarBounds(3);
    EXPECT_EQ(zero.Top, zero.Origin);
    EXPECT_EQ(bars.HitTest(zero.Left + 1, zero.Origin), 3);

    // Between a change and the next paint, the old range reaches past the points.
    s.Npl->ClearPoints();
    EXPECT_EQ(bars.HitTest(b.Left, b.Top), -1);
    s.Npl->AddPoint(1, 3);
    EXPECT_EQ(bars.HitTest(b.Left, b.Top), -1);
}

}  // namespace
}  // namespace orvix
