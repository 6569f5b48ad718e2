// The history chart: tests in date order whatever order they come in, gaps where a figure is
// unknown, dates along the bottom axis after layout, and the calendar arithmetic under it.
#include <gtest/gtest.h>

#include "base/cp1251.h"
#include "plots/history_plot.h"
#include "tests/charts/chart_math_fixture.h"

namespace orvix {
namespace {

TEST(HistoryDays, CountFromNineteenSeventyAcrossLeapYearsAndBack) {
    EXPECT_EQ(DayNumber(1970, 1, 1), 0);
    EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 28), 2);  // 2000 is a leap year
    EXPECT_EQ(DayNumber(2100, 3, 1) - DayNumber(2100, 2, 28), 1);  // 2100 is not
    EXPECT_EQ(DayNumber(2026, 1, 1) - DayNumber(2025, 1, 1), 365);
    EXPECT_EQ(DayText(DayNumber(2026, 3, 10)), "10.03.2026");
    EXPECT_EQ(DayText(DayNumber(1999, 12, 31) + 1), "01.01.2000");
    EXPECT_EQ(DayText(-1), "31.12.1969");
}

TEST(HistoryPlot, TestsInDateOrderWithGapsAndDatesAlongTheBottom) {
    testing::CountingChart chart;
    THistoryPlot plot(chart);
    const std::vector<THistoryTest> tests{
        {2026, 5, 20, 48.5, 0.9},
        {2025, 11, 3, 40.0, 0.75},
        {2026, 1, 15, std::nullopt, std::nullopt},  // a failed test: no point at all
        {2026, 3, 10, 44.0, std::nullopt},          // accuracy unknown only
    };
    plot.Fill(tests, W1251("Кузнецов Е.В."));
    plot.Fill(tests, W1251("Кузнецов Е.В."));  // a second fill replaces the first

    ASSERT_EQ(plot.Selections->PointCount(), 3);
    ASSERT_EQ(plot.Accuracy->PointCount(), 2);
    const int days[] = {DayNumber(2025, 11, 3), DayNumber(2026, 3, 10), DayNumber(2026, 5, 20)};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(plot.Selections->PointX(i), days[i]) << i;
    EXPECT_EQ(plot.Selections->PointY(0), 40.0);
    EXPECT_EQ(plot.Selections->PointY(2), 48.5);
    EXPECT_EQ(plot.Accuracy->PointX(1), days[2]);
    EXPECT_DOUBLE_EQ(plot.Accuracy->PointY(0), 75.0);  // in percent
    EXPECT_DOUBLE_EQ(plot.Accuracy->PointY(1), 90.0);
    EXPECT_EQ(chart.Foot.Text(), std::vector<std::string>{W1251("Кузнецов Е.В.")});

    chart.Lay(kHistoryChartWidth, kHistoryChartHeight);
    // Both ends have room, so the first and last markers stay inside the plot.
    EXPECT_LT(chart.BottomAxis.Minimum(), days[0]);
    EXPECT_GT(chart.BottomAxis.Maximum(), days[2]);
    const auto& labels = chart.BottomAxis.LabelList();
    ASSERT_GE(labels.size(), 2u);
    for (const TAxisLabel& label : labels) {
        SCOPED_TRACE(label.Text);
        EXPECT_EQ(label.Value, std::round(label.Value));  // whole days
        EXPECT_EQ(label.Text, DayText(static_cast<int>(label.Value)));
        EXPECT_GE(label.Value, chart.BottomAxis.Minimum());
        EXPECT_LE(label.Value, chart.BottomAxis.Maximum());
    }
    // Labels do not overlap: neighbours lie further apart than a date is wide (10 characters).
    for (std::size_t i = 1; i < labels.size(); ++i)
        EXPECT_GT(std::abs(labels[i].Pixel - labels[i - 1].Pixel), 10 * 7);
    EXPECT_EQ(chart.LeftAxis.Minimum(), 0);
    EXPECT_GE(chart.LeftAxis.Maximum(), 48.5);
    // Accuracy on its own axis: 75 % and 90 % between a floor below 75 and 100.
    EXPECT_EQ(plot.Accuracy->VertAxis(), aRightAxis);
    EXPECT_EQ(plot.Selections->VertAxis(), aLeftAxis);
    EXPECT_TRUE(chart.RightAxis.Shown());
    EXPECT_EQ(chart.RightAxis.Maximum(), 100);
    EXPECT_EQ(chart.RightAxis.Minimum(), 70);
    for (const TAxisLabel& label : chart.RightAxis.LabelList()) {
        EXPECT_GE(label.Value, 70);
        EXPECT_LE(label.Value, 100);
    }

    const std::vector<TLegendEntry> legend = plot.Legend();
    ASSERT_EQ(legend.size(), 2u);
    EXPECT_EQ(legend[0].Color, plot.Selections->SeriesColor);
    EXPECT_EQ(legend[1].Color, plot.Accuracy->SeriesColor);
    EXPECT_NE(legend[0].Color, legend[1].Color);
}

TEST(HistoryPlot, OneDateAloneAndAnEarlierHistoryAfterALaterOne) {
    testing::CountingChart chart;
    THistoryPlot plot(chart);
    // A far later history first, then one much earlier: the axis must move down past its old
    // minimum without a failure of the range check.
    plot.Fill({{2030, 1, 1, 50.0, 1.0}, {2031, 1, 1, 52.0, 1.0}}, "A");
    chart.Lay(kHistoryChartWidth, kHistoryChartHeight);
    plot.Fill({{2001, 6, 1, 30.0, 0.5}}, "B");
    chart.Lay(kHistoryChartWidth, kHistoryChartHeight);
    const int day = DayNumber(2001, 6, 1);
    EXPECT_LT(chart.BottomAxis.Minimum(), day);
    EXPECT_GT(chart.BottomAxis.Maximum(), day);
    EXPECT_DOUBLE_EQ(chart.BottomAxis.Maximum() - day, day - chart.BottomAxis.Minimum());
    ASSERT_FALSE(chart.BottomAxis.LabelList().empty());
    EXPECT_EQ(chart.RightAxis.Minimum(), 40);  // 50 % less some room, to the ten below
    plot.Fill({{2001, 6, 1, 30.0, 1.0}, {2001, 7, 1, 30.0, 0.96}}, "B");
    EXPECT_EQ(chart.RightAxis.Minimum(), 90);
    plot.Fill({{2001, 6, 1, 30.0, 0.03}}, "B");
    EXPECT_EQ(chart.RightAxis.Minimum(), 0);
    plot.Fill({}, "C");  // nobody's tests: empty series, no failure
    chart.Lay(kHistoryChartWidth, kHistoryChartHeight);
    EXPECT_EQ(plot.Selections->PointCount(), 0);
}

}  // namespace
}  // namespace orvix
