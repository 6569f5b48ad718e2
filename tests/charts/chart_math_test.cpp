// The chart component without a display: storage, ranges, paging, margins, labels, layout and
// the hit test, with a fixed-width text measure standing in for the fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/numbers.h"
#include "chart_data.h"
#include "charts/axis_labels.h"
#include "charts/chart_errors.h"
#include "charts/custom_chart.h"

namespace orvix {
namespace {

// Every character 7 pixels wide; a line is the font height plus 2.
class FixedMeasure : public TTextMeasure {
  public:
    int TextWidth(const TChartFont&, std::string_view text) const override {
        return 7 * static_cast<int>(text.size());
    }
    int TextHeight(const TChartFont& font) const override { return font.Height + 2; }
};

// A chart that lays itself out instead of painting, and counts immediate repaints.
class CountingChart : public TCustomChart {
  public:
    void RepaintNow() override {
        ++repaints;
        Lay(1023, 369);
    }
    void Lay(int w, int h) { CalcLayout(w, h, FixedMeasure{}); }
    int repaints = 0;
};

// The message of the failure `action` raises, or "no failure".
template <class Action>
std::string FailureMessage(Action&& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no failure";
}

// ---- points ------------------------------------------------------------------------------

TEST(ChartPoints, EqualXLandsAfterExistingOnesAndCarriesItsYColourAndLabel) {
    TLineSeries s;
    for (double x : {1.0, 3.0, 5.0}) s.AddPoint(x, x * 10, "p" + std::to_string(int(x)), clGreen);
    EXPECT_EQ(s.AddPoint(3, 99, "new", clRed), 2);
    const std::vector<double> xs{1, 3, 3, 5};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.PointX(i), xs[i]) << i;
    EXPECT_EQ(s.PointY(2), 99);
    EXPECT_EQ(s.PointColor(2), clRed);
    EXPECT_EQ(s.PointLabel(2), "new");
    EXPECT_EQ(s.PointY(1), 30);
    EXPECT_EQ(s.PointLabel(3), "p5");
    // Smaller than everything: index 0.
    EXPECT_EQ(s.AddPoint(0, 0), 0);
    // In order: appended.
    EXPECT_EQ(s.AddPoint(7, 0), 5);
}

TEST(ChartPoints, ColoursLabelsAndIndexErrors) {
    TLineSeries s;
    s.SeriesColor = clBlue;
    s.AddPoint(1, 1, "", clSeriesDefault);
    s.AddPoint(2, 2, "two", clGreen);
    EXPECT_EQ(s.PointColor(0), clBlue);
    EXPECT_EQ(s.PointColor(1), clGreen);
    EXPECT_EQ(s.PointColor(2), clBlue);  // past the end of the colour list
    EXPECT_EQ(s.PointLabel(0), "");
    EXPECT_EQ(s.PointLabel(7), "");
    EXPECT_EQ(FailureMessage([&] { s.PointX(5); }), "List index out of bounds (5)");
    EXPECT_THROW(s.PointY(-1), EListError);
}

TEST(ChartPoints, ExtremesFollowEveryChangeAndBarsIncludeTheirOrigin) {
    TLineSeries line;
    EXPECT_EQ(line.LowestY(), 0);
    EXPECT_EQ(line.HighestY(), 0);
    line.AddPoint(1, 5);
    line.AddPoint(2, 3);
    EXPECT_EQ(line.LowestY(), 3);
    line.AddPoint(3, -2);
    EXPECT_EQ(line.LowestY(), -2);
    EXPECT_EQ(line.HighestY(), 5);
    EXPECT_EQ(line.YValues.Total(), 6);
    EXPECT_EQ(line.YValues.TotalAbs(), 10);
    line.ClearPoints();
    EXPECT_EQ(line.HighestY(), 0);

    TBarSeries bars;
    bars.AddPoint(1, 4);
    bars.AddPoint(2, 6);
    EXPECT_EQ(bars.LowestY(), 0);  // widened to the origin 0
    EXPECT_EQ(bars.HighestY(), 6);
    bars.YOrigin = 10;
    EXPECT_EQ(bars.HighestY(), 10);
    bars.UseYOrigin = false;
    EXPECT_EQ(bars.LowestY(), 4);
}

// ---- property checks ---------------------------------------------------------------------

TEST(ChartProperties, ChecksFailWithTheirMessagesAndChangeNothing) {
    TCustomChart chart;
    TBarSeries* bars = chart.AddSeries<TBarSeries>();
    TLineSeries* line = chart.AddSeries<TLineSeries>();
    const auto message = [](auto&& action) { return FailureMessage(action); };
    EXPECT_EQ(message([&] { chart.SetMaxPointsPerPage(-1); }), "MaxPointsPerPage must be >= 0");
    EXPECT_EQ(chart.MaxPointsPerPage(), 0);
    for (int bad : {0, 101}) {
        EXPECT_EQ(message([&] { bars->SetBarWidthPercent(bad); }),
                  "Bar Width Percent must be between 1 and 100");
    }
    EXPECT_EQ(bars->BarWidthPercent(), 70);
    EXPECT_EQ(message([&] { line->Pointer.SetHorizSize(0); }),
              "Pointer size must be greater than zero");
    EXPECT_EQ(message([&] { line->Pointer.SetVertSize(-3); }),
              "Pointer size must be greater than zero");
    EXPECT_EQ(line->Pointer.HorizSize(), 4);
    EXPECT_THROW(bars->SetBarWidthPercent(0), BarException);
    EXPECT_THROW(chart.SetMaxPointsPerPage(-5), ChartException);
    EXPECT_NO_THROW(bars->SetBarWidthPercent(100));
    EXPECT_NO_THROW(bars->SetBarWidthPercent(1));
}

TEST(AxisRange, AssignmentOrderMattersAndFailuresLeaveTheRange) {
    CountingChart chart;
    TChartAxis& axis = chart.LeftAxis;
    axis.SetAutomatic(false);
    axis.SetMaximum(5);
    EXPECT_EQ(FailureMessage([&] { axis.SetMinimum(10); }),
              "Axis Minimum Value must be <= Maximum");
    EXPECT_THROW(axis.SetMinimum(10), AxisException);
    EXPECT_EQ(axis.Minimum(), 0);
    EXPECT_EQ(axis.Maximum(), 5);
    EXPECT_EQ(FailureMessage([&] { axis.SetMaximum(-1); }),
              "Axis Maximum Value must be >= Minimum");
    EXPECT_EQ(axis.Maximum(), 5);
    axis.SetMaximum(20);
    axis.SetMinimum(10);
    EXPECT_EQ(axis.Minimum(), 10);
    EXPECT_EQ(axis.Maximum(), 20);
    // Equal ends are allowed, and no assignment touches the automatic flags.
    axis.SetMinimum(20);
    EXPECT_FALSE(axis.Automatic());
    EXPECT_FALSE(axis.AutomaticMinimum());
}

TEST(AxisRange, AutomaticEndsAreRecomputedAtEveryLayoutAndManualOnesKept) {
    CountingChart chart;
    TLineSeries* s = chart.AddSeries<TLineSeries>();
    TLineSeries* hidden = chart.AddSeries<TLineSeries>();
    s->AddPoint(2, 7);
    s->AddPoint(9, -3);
    hidden->AddPoint(100, 100);
    hidden->SetActive(false);
    chart.LeftAxis.SetAutomaticMinimum(false);
    chart.LeftAxis.SetMinimum(-10);
    chart.Lay(600, 300);
    EXPECT_EQ(chart.BottomAxis.Minimum(), 2);
    EXPECT_EQ(chart.BottomAxis.Maximum(), 9);  // the inactive series does not count
    EXPECT_EQ(chart.LeftAxis.Minimum(), -10);
    EXPECT_EQ(chart.LeftAxis.Maximum(), 7);
    // A value assigned to an automatic end is overwritten by the next layout.
    chart.BottomAxis.SetMaximum(50);
    chart.Lay(600, 300);
    EXPECT_EQ(chart.BottomAxis.Maximum(), 9);
}

// ---- paging and pixel margins ------------------------------------------------------------

struct PagingCase {
    const char* name;
    int points;
    double firstX;
    double stepX;
    bool scaleLastPage;
    double low;
    double high;
};

class Paging : public ::testing::TestWithParam<PagingCase> {};

TEST_P(Paging, BottomRangeOfPageOne) {
    const PagingCase& c = GetParam();
    CountingChart chart;
    const auto s = testing::ConfigureSearchChart(chart);
    chart.ScaleLastPage = c.scaleLastPage;
    for (int i = 0; i < c.points; ++i) {
        const double x = c.firstX + c.stepX * i;
        s.Sel->AddPoint(x, 1, "", clGreen);
        s.Av->AddPoint(x, 1);
    }
    double low = -1;
    double high = -1;
    chart.CalcDataRange(chart.BottomAxis, low, high);
    EXPECT_DOUBLE_EQ(low, c.low);
    EXPECT_DOUBLE_EQ(high, c.high);
}

INSTANTIATE_TEST_SUITE_P(SearchChart, Paging,
                         ::testing::Values(PagingCase{"150points", 150, 1.5, 2.3, false, 1.5,
                                                      1.5 + 2.3 * 59},
                                           PagingCase{"60points", 60, 0, 1, false, 0, 59},
                                           PagingCase{"30pointsStretched", 30, 2, 1, false, 2, 60},
                                           PagingCase{"30pointsScaled", 30, 2, 1, true, 2, 31},
                                           PagingCase{"onePoint", 1, 4, 1, false, 4, 4},
                                           PagingCase{"noPoints", 0, 0, 1, false, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PixelMargins, SearchChartKeepsFourPixelsUntilShiftedAndStaysShifted) {
    CountingChart chart;
    const auto s = testing::ConfigureSearchChart(chart);
    testing::FillSearchChart(chart, s, 150);
    chart.Lay(1023, 369);
    const TRect plot = chart.PlotRect();
    EXPECT_EQ(chart.BottomAxis.Minimum(), s.Sel->PointX(0));
    EXPECT_EQ(chart.BottomAxis.Maximum(), s.Sel->PointX(59));
    EXPECT_EQ(s.Sel->CalcXPos(0), plot.Left + 4);
    EXPECT_EQ(s.Sel->CalcXPos(59), plot.Right - 4);
    // The left axis is manual: no margins there.
    EXPECT_EQ(chart.LeftAxis.CalcPosValue(0), plot.Bottom);
    EXPECT_EQ(chart.LeftAxis.CalcPosValue(chart.LeftAxis.Maximum()), plot.Top);

    const double low = chart.BottomAxis.Minimum();
    const double high = chart.BottomAxis.Maximum();
    const int repaintsBefore = chart.repaints;
    chart.BottomAxis.ShiftRange(60, false);
    EXPECT_EQ(chart.repaints, repaintsBefore + 1);
    EXPECT_FALSE(chart.BottomAxis.Automatic());
    EXPECT_FALSE(chart.BottomAxis.AutomaticMinimum());
    EXPECT_FALSE(chart.BottomAxis.AutomaticMaximum());
    EXPECT_EQ(chart.BottomAxis.Minimum(), low + 60);
    EXPECT_EQ(chart.BottomAxis.Maximum(), high + 60);
    EXPECT_EQ(chart.BottomAxis.Map().Low, low + 60);  // no pixel margins any more
    EXPECT_EQ(chart.BottomAxis.CalcPosValue(low + 60), plot.Left);
    EXPECT_EQ(chart.BottomAxis.CalcPosValue(high + 60), plot.Right);

    // A new load neither moves it nor brings paging back.
    for (int i = 0; i < chart.SeriesCount(); ++i) chart.Series(i)->ClearPoints();
    testing::FillSearchChart(chart, s, 20);
    chart.Lay(1023, 369);
    EXPECT_EQ(chart.BottomAxis.Minimum(), low + 60);
    EXPECT_EQ(chart.BottomAxis.Maximum(), high + 60);
}

TEST(PixelMargins, ShiftWithLimitsMovesOnlyTowardsData) {
    CountingChart chart;
    TLineSeries* s = chart.AddSeries<TLineSeries>();
    for (int i = 0; i <= 100; ++i) s->AddPoint(i, 0);
    chart.BottomAxis.SetAutomatic(false);
    chart.BottomAxis.SetMaximum(40);
    chart.BottomAxis.SetMinimum(0);
    chart.BottomAxis.ShiftRange(-10, true);  // nothing below 0
    EXPECT_EQ(chart.BottomAxis.Minimum(), 0);
    chart.BottomAxis.ShiftRange(0, true);
    EXPECT_EQ(chart.repaints, 0);
    chart.BottomAxis.ShiftRange(30, true);  // data up to 100
    EXPECT_EQ(chart.BottomAxis.Minimum(), 30);
    EXPECT_EQ(chart.BottomAxis.Maximum(), 70);
    chart.BottomAxis.ShiftRange(-50, false);  // unchecked: may leave the data
    EXPECT_EQ(chart.BottomAxis.Minimum(), -20);
}

class FiveSecMargins : public ::testing::TestWithParam<int> {};

// Bottom axis: the larger of the marker's 5 pixels and the bar width at both ends; left axis:
// 5 pixels at the automatic top, none at the fixed bottom.
TEST_P(FiveSecMargins, BottomTakesLargerOfMarkerAndBarLeftOnlyAtTheTop) {
    CountingChart chart;
    const auto s = testing::ConfigureFiveSecChart(chart);
    testing::FillFiveSecChart(s, GetParam());
    chart.Lay(1023, 369);
    const TRect plot = chart.PlotRect();
    const int w = s.Npl->BarWidth();
    EXPECT_EQ(w % 2, 0);
    const int margin = std::max(5, w);
    EXPECT_EQ(s.Sec->CalcXPos(0), plot.Left + margin);
    EXPECT_EQ(s.Sec->CalcXPos(GetParam() - 1), plot.Right - margin);
    EXPECT_EQ(chart.LeftAxis.Map().Low, 0);
    EXPECT_EQ(chart.LeftAxis.CalcPosValue(0), plot.Bottom);
    EXPECT_EQ(chart.LeftAxis.CalcPosValue(chart.LeftAxis.Maximum()), plot.Top + 5);
    EXPECT_EQ(chart.LeftAxis.Maximum(), 8);  // the +2 SD line, the highest value
}

INSTANTIATE_TEST_SUITE_P(Intervals, FiveSecMargins, ::testing::Values(10, 80, 400));

struct BarWidthCase {
    int axisLength;
    int points;
    int percent;
    bool sideMargins;
    int expected;
};

class BarWidth : public ::testing::TestWithParam<BarWidthCase> {};

TEST_P(BarWidth, PercentOfTheSpacePerPointMadeEven) {
    const BarWidthCase& c = GetParam();
    TBarSeries bars;
    for (int i = 0; i < c.points; ++i) bars.AddPoint(i, 1);
    bars.SetBarWidthPercent(c.percent);
    bars.SideMargins = c.sideMargins;
    bars.CalcBarWidth(c.axisLength);
    EXPECT_EQ(bars.BarWidth(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, BarWidth,
    ::testing::Values(BarWidthCase{1000, 100, 40, true, 4},  // 1000 div 101 = 9, 3.6 -> 4
                      BarWidthCase{1000, 10, 40, true, 36},  // 90 -> 36
                      BarWidthCase{1000, 9, 75, true, 76},   // 100 -> 75, odd -> 76
                      BarWidthCase{100, 4, 50, false, 12},   // 25 -> 12.5 -> 12 (half to even)
                      BarWidthCase{100, 4, 54, false, 14},   // 13.5 -> 14
                      BarWidthCase{1000, 0, 40, true, 0}));

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
