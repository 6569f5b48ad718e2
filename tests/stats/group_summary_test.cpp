// The summary of a group of tests: the figures against values worked out by hand, what is
// passed over, and the table it is exported as.
#include <gtest/gtest.h>

#include <cmath>

#include "stats/group_summary.h"

namespace orvix::stats {
namespace {

std::vector<TCell> Numbers(std::initializer_list<double> values) {
    std::vector<TCell> cells;
    for (const double v : values) cells.push_back(TCell::Real(v));
    return cells;
}

TEST(GroupSummary, FiguresOfOddAndEvenGroups) {
    // 1 2 3 4 10: mean 4, squared deviations 9+4+1+0+36 = 50 over 4.
    const TIndexSummary odd = SummariseIndex("x", Numbers({10, 3, 1, 4, 2}));
    EXPECT_EQ(odd.Index, "x");
    EXPECT_EQ(odd.N, 5u);
    EXPECT_DOUBLE_EQ(*odd.Mean, 4);
    EXPECT_DOUBLE_EQ(*odd.SD, std::sqrt(12.5));
    EXPECT_DOUBLE_EQ(*odd.Median, 3);
    EXPECT_DOUBLE_EQ(*odd.Q1, 2);
    EXPECT_DOUBLE_EQ(*odd.Q3, 4);
    EXPECT_DOUBLE_EQ(*odd.Min, 1);
    EXPECT_DOUBLE_EQ(*odd.Max, 10);
    // 1 2 3 4: quartiles between the order statistics, as a spreadsheet's QUARTILE.INC.
    const TIndexSummary even = SummariseIndex("y", Numbers({4, 1, 3, 2}));
    EXPECT_DOUBLE_EQ(*even.Median, 2.5);
    EXPECT_DOUBLE_EQ(*even.Q1, 1.75);
    EXPECT_DOUBLE_EQ(*even.Q3, 3.25);
    // Large values with a small spread keep their SD (no cancellation).
    const TIndexSummary close = SummariseIndex("z", Numbers({1e9 + 1, 1e9 + 2, 1e9 + 3}));
    EXPECT_DOUBLE_EQ(*close.SD, 1);
}

TEST(GroupSummary, OnlyNumbersCountAndSmallGroupsLeaveWhatTheyCannotGive) {
    std::vector<TCell> cells{TCell{}, TCell::Of("slowing"), TCell::Whole(7),
                             TCell::Real(std::nan(""))};
    const TIndexSummary one = SummariseIndex("w", cells);
    EXPECT_EQ(one.N, 1u);
    EXPECT_DOUBLE_EQ(*one.Mean, 7);
    EXPECT_FALSE(one.SD);  // one value has no spread
    EXPECT_DOUBLE_EQ(*one.Q1, 7);
    EXPECT_DOUBLE_EQ(*one.Q3, 7);
    const TIndexSummary none = SummariseIndex("v", std::vector<TCell>{TCell{}});
    EXPECT_EQ(none.N, 0u);
    EXPECT_FALSE(none.Mean || none.Median || none.Min || none.Max);
}

TEST(GroupSummary, ColumnsOfRowsAndTheTableOfTheSummary) {
    const std::vector<std::string> names{"name", "a", "b"};
    const std::vector<std::vector<TCell>> rows{
        {TCell::Of("p"), TCell::Whole(1), TCell::Real(0.5)},
        {TCell::Of("q"), TCell::Whole(3), TCell{}},
        {TCell::Of("r"), TCell::Whole(2), TCell::Real(1.0 / 3)},
    };
    const std::vector<TIndexSummary> s = SummariseColumns(names, rows, {1, 2});
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].Index, "a");
    EXPECT_EQ(s[0].N, 3u);
    EXPECT_DOUBLE_EQ(*s[0].Median, 2);
    EXPECT_EQ(s[1].Index, "b");
    EXPECT_EQ(s[1].N, 2u);

    const std::vector<std::vector<TCell>> table = SummaryCells(s);
    ASSERT_EQ(table.size(), 2u);
    ASSERT_EQ(table[1].size(), SummaryHeader().size());
    EXPECT_EQ(CsvText(table[1][0]), "b");
    EXPECT_EQ(CsvText(table[1][1]), "2");
    EXPECT_EQ(CsvText(table[1][2]), "0.4166666667");  // the mean, 10 significant digits
    const TIndexSummary none = SummariseIndex("c", std::vector<TCell>{});
    const std::vector<TCell> empty = SummaryCells({none})[0];
    EXPECT_EQ(CsvText(empty[1]), "0");
    for (std::size_t c = 2; c < empty.size(); ++c) EXPECT_EQ(empty[c].Kind, TCell::TKind::Empty);

    EXPECT_EQ(CsvTable({"index", "a, b"},
                       {{TCell::Of("x"), TCell::Real(0.25)}, {TCell{}, TCell::Whole(3)}}),
              "index,\"a, b\"\nx,0.25\n,3\n");

    // The numeric figure columns leave out exactly the two texts.
    const std::vector<std::size_t> numeric = NumericFigureColumns();
    EXPECT_EQ(numeric.size(), kFigureColumns.size() - 2);
    for (const std::size_t c : numeric) {
        EXPECT_NE(kFigureColumns[c], "orientation");
        EXPECT_NE(kFigureColumns[c], "work curve");
    }
}

}  // namespace
}  // namespace orvix::stats
