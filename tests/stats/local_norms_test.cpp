// Local norms from selected tests: the numbers worked by hand, the indices left out, and the
// table read back as a colleague would read it.
#include <gtest/gtest.h>

#include <cmath>

#include "stats/local_norms.h"
#include "stats/norm_table_csv.h"

namespace orvix::stats {
namespace {

TNormSample Sample(double plus, double omitted, std::optional<double> slope, const char* date) {
    TNormSample s;
    s.Figures.resize(kFigureColumns.size());
    s.Figures[*FigureColumn("N+")] = TCell::Whole(plus);
    s.Figures[*FigureColumn("Nomit")] = TCell::Whole(omitted);
    if (slope) s.Figures[*FigureColumn("trend slope")] = TCell::Real(*slope);
    s.Figures[*FigureColumn("work curve")] = TCell::Of("steady");
    if (date) s.TestDate = ParseDate(date);
    return s;
}

TEST(LocalNorms, HandWorkedRowsAndIndicesLeftOut) {
    const std::vector<TNormSample> samples = {
        Sample(3, 2, -1.5, "2024-03-02"), Sample(1, 2, std::nullopt, nullptr),
        Sample(4, 2, std::nullopt, "2023-12-20"), Sample(2, 2, std::nullopt, "2024-05-30")};
    TLocalNormGroup group;
    group.NormId = "школа 5";
    group.Version = "2024";
    group.Sex = TSex::Male;
    group.AgeFrom = 10;
    group.AgeTo = 10;
    group.Source = "собственные обследования";
    const TLocalNorms norms = BuildLocalNorms(samples, group);

    ASSERT_EQ(norms.Table.Rows.size(), 1u);  // N+ alone has two values and a spread
    const TNormRow& row = norms.Table.Rows[0];
    EXPECT_EQ(row.Index, "N+");
    EXPECT_EQ(row.N, 4);
    EXPECT_DOUBLE_EQ(*row.Mean, 2.5);
    EXPECT_DOUBLE_EQ(*row.SD, std::sqrt(5.0 / 3));
    // Sorted 1, 2, 3, 4, m = 3: p2 at 0.06 → 1.06, p50 at 1.5 → 2.5, p98 at 2.94 → 3.94,
    // p16 at 0.48 → 1.48.
    EXPECT_DOUBLE_EQ((*row.Percentiles)[0], 1.06);
    EXPECT_DOUBLE_EQ((*row.Percentiles)[3], 1.48);
    EXPECT_DOUBLE_EQ((*row.Percentiles)[5], 2.5);
    EXPECT_DOUBLE_EQ((*row.Percentiles)[10], 3.94);
    EXPECT_EQ(row.Direction, TDirection::Higher);
    EXPECT_FALSE(row.Reliability);
    EXPECT_EQ(row.Sex, TSex::Male);
    EXPECT_EQ(row.AgeFrom, 10);
    EXPECT_EQ(row.NormId, "школа 5");
    EXPECT_EQ(row.DateFrom, "2023-12-20");
    EXPECT_EQ(row.DateTo, "2024-05-30");
    // Nomit has no spread, the trend slope one value, the rest none at all.
    EXPECT_EQ(norms.Skipped.size(), kNormIndices.size() - 1);
    EXPECT_NE(std::find(norms.Skipped.begin(), norms.Skipped.end(), "Nomit"), norms.Skipped.end());

    // Two values are enough; equal percentiles (a whole-number index) are a valid table.
    const TLocalNorms two = BuildLocalNorms(
        {Sample(5, 0, 1, nullptr), Sample(5, 1, 3, nullptr), Sample(5, 0, 2, nullptr)}, group);
    ASSERT_EQ(two.Table.Rows.size(), 2u);
    EXPECT_EQ(two.Table.Rows[0].Index, "Nomit");
    EXPECT_EQ(two.Table.Rows[0].Direction, TDirection::Lower);
    EXPECT_EQ((*two.Table.Rows[0].Percentiles)[5], 0);  // p50 of 0, 0, 1
    EXPECT_EQ(two.Table.Rows[1].Index, "trend slope");
    EXPECT_TRUE(two.Table.Rows[0].DateFrom.empty());

    // Saved and read back, as a colleague would.
    for (const char separator : {',', ';'}) {
        const TNormRead read = ReadNormTable(WriteNormTable(two.Table, separator));
        ASSERT_FALSE(read.Error) << read.Error->Message;
        ASSERT_EQ(read.Table.Rows.size(), 2u);
        EXPECT_NEAR(*read.Table.Rows[0].SD, *two.Table.Rows[0].SD, 1e-10);
        EXPECT_EQ(*read.Table.Rows[1].Percentiles, *two.Table.Rows[1].Percentiles);
    }
}

TEST(LocalNorms, PercentilesOfMoreValues) {
    // 0 … 100: every percentile is its own rank; 11 values: the rank a tenth of the way.
    std::vector<double> hundred;
    for (int i = 0; i <= 100; ++i) hundred.push_back(i);
    const TPercentiles p = InclusivePercentiles(hundred);
    for (std::size_t k = 0; k < kPercentileRanks.size(); ++k) EXPECT_EQ(p[k], kPercentileRanks[k]);
    std::vector<double> eleven;
    for (int i = 0; i <= 10; ++i) eleven.push_back(i * 3.0);
    EXPECT_DOUBLE_EQ(InclusivePercentiles(eleven)[3], 4.8);  // 0.16 · 10 = 1.6 → 3 · 1.6
}

}  // namespace
}  // namespace orvix::stats
