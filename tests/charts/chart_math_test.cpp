// The chart component without a display: storage, property checks, axis ranges, paging and
// pixel margins.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orvix
