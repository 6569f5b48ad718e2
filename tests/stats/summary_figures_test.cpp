#include <gtest/gtest.h>

#include "stats/summary_figures.h"
#include "stats/work_curve.h"

namespace orvix::stats {
namespace {

TEST(SummaryFigures, NumbersAreWrittenAsStatisticsProgramsReadThem) {
    // Whole numbers stay whole, however the shortest real text would write them.
    EXPECT_EQ(CsvText(TCell::Whole(100000)), "100000");
    EXPECT_EQ(CsvText(TCell::Whole(-3)), "-3");
    // The analysis' figures read back as the same double.
    EXPECT_EQ(CsvText(TCell::Real(46.83301343570057)), "46.83301343570057");
    // Ours have a fixed number of significant digits: the 15th digit of a platform's
    // mathematical library cannot reach the file.
    EXPECT_EQ(CsvText(TCell::Real(-12.385009410945582, kStatisticsDigits)), "-12.38500941");
    EXPECT_EQ(CsvText(TCell::Real(-12.385009410945598, kStatisticsDigits)), "-12.38500941");
    EXPECT_EQ(CsvText(TCell::Real(0.5, kStatisticsDigits)), "0.5");
    EXPECT_EQ(CsvText(TCell::Real(-1e-300 * 1e-300, kStatisticsDigits)), "0");
    EXPECT_EQ(CsvText(TCell{}), "");
    EXPECT_EQ(CsvText(TCell::Of("a, \"b\"")), "\"a, \"\"b\"\"\"");
    EXPECT_EQ(CsvField("line\nbreak"), "\"line\nbreak\"");
    EXPECT_EQ(CsvField("plain"), "plain");
}

TEST(SummaryFigures, ColumnsAndCellsOfAnAnalysis) {
    TAnalysisResult r;
    r.Orientation = "\xd7";  // "Ч" in Windows-1251
    r.T = 60;
    r.NPlus = 30;
    r.NOmit = 10;
    r.NWrong = 2;
    r.IntervalCount = 2;  // too short for a trend
    r.Intervals = {{10, 1, 5}, {22, 1, 5}};
    for (int i = 0; i < 32; ++i) r.Points.push_back({i < 10 ? 2.5 : 7.5, 1, 0, 0, true, false, 0});
    const std::vector<TCell> cells = FigureCells(r);
    ASSERT_EQ(cells.size(), kFigureColumns.size());
    EXPECT_EQ(cells[0].Text, "Ч");
    EXPECT_EQ(CsvText(cells[*FigureColumn("N+")]), "30");
    EXPECT_EQ(CsvText(cells[*FigureColumn("accuracy")]), "0.75");
    EXPECT_EQ(CsvText(cells[*FigureColumn("selections per minute")]), "192");
    for (const char* undefined : {"trend slope", "trend CI low", "trend CI high", "work curve"})
        EXPECT_EQ(cells[*FigureColumn(undefined)].Kind, TCell::TKind::Empty) << undefined;
    EXPECT_FALSE(FigureColumn("no such column"));
    EXPECT_EQ(FigureColumn("orientation"), 0u);
}

}  // namespace
}  // namespace orvix::stats
