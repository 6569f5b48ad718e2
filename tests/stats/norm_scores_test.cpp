// Scores against norms worked by hand, the normal distribution against published values,
// which row an examinee gets, and the reliable change.
#include <gtest/gtest.h>

#include <cmath>

#include "stats/examinee.h"
#include "stats/norm_scores.h"
#include "stats/norm_table_csv.h"
#include "stats/normal_distribution.h"

namespace orvix::stats {
namespace {

TNormRow MeanRow(double mean, double sd, TDirection direction,
                 std::optional<double> reliability = std::nullopt, long long n = 100) {
    TNormRow row;
    row.Index = "N+";
    row.Mean = mean;
    row.SD = sd;
    row.Direction = direction;
    row.Reliability = reliability;
    row.N = n;
    return row;
}

TEST(NormalDistribution, PublishedValuesAndInversion) {
    EXPECT_NEAR(NormalCdf(1.96), 0.9750021048517795, 1e-15);
    EXPECT_NEAR(NormalCdf(-1), 0.15865525393145707, 1e-15);
    EXPECT_NEAR(NormalCdf(-8), 6.22096057427178e-16, 1e-28);  // the far tail keeps its digits
    EXPECT_DOUBLE_EQ(NormalCdf(0), 0.5);
    EXPECT_NEAR(NormalQuantile(0.975), 1.959963984540054, 1e-14);
    EXPECT_NEAR(NormalQuantile(0.02), -2.053748910631823, 1e-14);
    EXPECT_NEAR(NormalQuantile(0.5), 0, 1e-15);
    for (const double p : {1e-300, 1e-12, 0.01, 0.02425, 0.3, 0.8, 0.97575, 0.999999})
        EXPECT_NEAR(NormalCdf(NormalQuantile(p)), p, p * 1e-13) << p;
    EXPECT_TRUE(std::isnan(NormalQuantile(0)));
    EXPECT_TRUE(std::isnan(NormalQuantile(1)));
}

TEST(NormScores, HandWorkedMeanAndSD) {
    // Mean 40, SD 8, r 0.84: 52 is z 1.5, T 65, percentile 100 Φ(1.5) = 93.319, stanine 8
    // (1.25 ≤ z < 1.75), sten 9 (1.5 ≤ z < 2), band 65 ± 1.96 · 10 · 0.4 = 65 ± 7.84.
    const TNormRow higher = MeanRow(40, 8, TDirection::Higher, 0.84);
    const TNormScore s = ScoreAgainst(higher, 52);
    EXPECT_DOUBLE_EQ(*s.Z, 1.5);
    EXPECT_DOUBLE_EQ(*s.T, 65);
    EXPECT_NEAR(*s.Percentile, 93.31927987311419, 1e-12);
    EXPECT_EQ(s.Stanine, 8);
    EXPECT_EQ(s.Sten, 9);
    EXPECT_NEAR(*s.BandLow, 65 - 7.84, 1e-12);
    EXPECT_NEAR(*s.BandHigh, 65 + 7.84, 1e-12);
    EXPECT_TRUE(s.Warnings.empty());

    // "lower": fewer is better, so the same 52 is z -1.5, T 35, stanine 2, sten 3.
    const TNormScore l = ScoreAgainst(MeanRow(40, 8, TDirection::Lower, std::nullopt, 29), 52);
    EXPECT_DOUBLE_EQ(*l.Z, -1.5);
    EXPECT_DOUBLE_EQ(*l.T, 35);
    EXPECT_NEAR(*l.Percentile, 100 - 93.31927987311419, 1e-12);
    EXPECT_EQ(l.Stanine, 2);
    EXPECT_EQ(l.Sten, 3);
    EXPECT_FALSE(l.BandLow);  // no reliability, no band
    EXPECT_EQ(l.Warnings, std::vector{TNormWarning::SmallGroup});

    // Cut points go up; the ends are open.
    const std::pair<double, std::pair<int, int>> cuts[] = {
        {-0.25, {5, 5}},      {-0.2500001, {4, 5}}, {0.25, {6, 6}}, {0, {5, 6}},     {-0.5, {4, 5}},
        {-0.5000001, {4, 4}}, {1.75, {9, 9}},       {2, {9, 10}},   {-1.75, {2, 2}}, {-2, {1, 2}},
        {-2.0000001, {1, 1}}, {-40, {1, 1}},        {40, {9, 10}}};
    for (const auto& [z, want] : cuts) {
        EXPECT_EQ(Stanine(z), want.first) << z;
        EXPECT_EQ(Sten(z), want.second) << z;
    }
}

TEST(NormScores, PercentileTableAtBetweenAndBeyondItsPoints) {
    TNormRow row;
    row.Index = "tempo mean";
    row.N = 200;
    row.Percentiles = TPercentiles{10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30};
    TTableSide side = TTableSide::Inside;
    EXPECT_EQ(TablePercentile(*row.Percentiles, 20, side), 50);  // at a point
    EXPECT_EQ(TablePercentile(*row.Percentiles, 10, side), 2);   // at the ends
    EXPECT_EQ(TablePercentile(*row.Percentiles, 30, side), 98);
    EXPECT_EQ(side, TTableSide::Inside);
    EXPECT_DOUBLE_EQ(TablePercentile(*row.Percentiles, 21, side), 62.5);     // 50 + 25 · 1/2
    EXPECT_DOUBLE_EQ(TablePercentile(*row.Percentiles, 10.5, side), 2.75);   // 2 + 3 · 1/4
    EXPECT_DOUBLE_EQ(TablePercentile(*row.Percentiles, 29.5, side), 97.25);  // 95 + 3 · 3/4
    EXPECT_EQ(TablePercentile(*row.Percentiles, 9.99, side), 1);
    EXPECT_EQ(side, TTableSide::BelowFirst);
    EXPECT_EQ(TablePercentile(*row.Percentiles, 1e9, side), 99);
    EXPECT_EQ(side, TTableSide::AboveLast);
    // Equal points (a whole-number index): the middle of their ranks.
    const TPercentiles ties{0, 0, 0, 1, 1, 2, 3, 3, 3, 3, 5};
    EXPECT_EQ(TablePercentile(ties, 0, side), 6);     // p2 … p10
    EXPECT_EQ(TablePercentile(ties, 3, side), 85);    // p75 … p95
    EXPECT_EQ(TablePercentile(ties, 0.5, side), 13);  // 10 + (16 − 10) / 2 between runs
    EXPECT_EQ(TablePercentile(ties, 4, side), 96.5);

    // Without a mean and SD, z is the normal deviate of the percentile.
    const TNormScore s = ScoreAgainst(row, 21);
    EXPECT_DOUBLE_EQ(*s.Percentile, 62.5);
    EXPECT_NEAR(*s.Z, NormalQuantile(0.625), 1e-15);
    EXPECT_NEAR(*s.T, 50 + 10 * 0.31863936396437515, 1e-12);
    // "lower" reverses the ranks and the ends.
    row.Direction = TDirection::Lower;
    const TNormScore l = ScoreAgainst(row, 21);
    EXPECT_DOUBLE_EQ(*l.Percentile, 37.5);
    EXPECT_NEAR(*l.Z, -0.31863936396437515, 1e-12);
    const TNormScore best = ScoreAgainst(row, 5);
    EXPECT_EQ(*best.Percentile, 99);
    EXPECT_EQ(best.Side, TTableSide::AboveLast);
    EXPECT_NEAR(*best.Z, 2.3263478740408408, 1e-12);
    // With mean and SD as well, z comes from them and the percentile from the table.
    row.Mean = 20;
    row.SD = 4;
    const TNormScore both = ScoreAgainst(row, 22);
    EXPECT_DOUBLE_EQ(*both.Z, -0.5);
    EXPECT_DOUBLE_EQ(*both.Percentile, 25);
}

TEST(NormScores, TheMostSpecificRowThatFits) {
    const TNormRead read = ReadNormTable(
        "norm_id;version;index;sex;age_from;age_to;group;n;mean;sd;direction;reliability;source\n"
        "a;1;N+;any;;;;500;40;10;higher;;\n"            // 2
        "a;1;N+;male;;;;250;41;10;higher;;\n"           // 3
        "a;1;N+;any;10;12;;120;30;8;higher;;\n"         // 4
        "a;1;N+;male;10;12;;60;31;8;higher;;\n"         // 5
        "a;1;N+;male;10;12;4 класс;20;32;8;higher;;\n"  // 6
        "a;1;N+;any;;;4 класс;90;33;8;higher;;\n"       // 7
        "a;1;Nomit;any;7;9;;50;3;2;lower;;\n"           // 8
        "a;1;Nomit;female;13;15;;50;2;1;lower;;\n"      // 9
        "a;1;accuracy;male;;;;50;0.9;0.05;higher;;\n"   // 10
        "b;1;accuracy;any;;;;50;0.9;0.05;higher;;\n");  // 11
    ASSERT_FALSE(read.Error) << read.Error->Message;
    const TNormLookup lookup(read.Table, "a");
    EXPECT_EQ(lookup.Indices(), (std::vector<std::string_view>{"N+", "Nomit", "accuracy"}));
    struct Case {
        const char* name;
        TExaminee who;
        const char* index;
        int line;  // 0: none
        bool ageOutside;
    };
    const Case cases[] = {
        {"nothing known: the row for anyone", {}, "N+", 2, false},
        {"sex only", {TSex::Male, {}, ""}, "N+", 3, false},
        {"age before sex", {TSex::Female, 11, ""}, "N+", 4, false},
        {"age and sex", {TSex::Male, 11, "5 класс"}, "N+", 5, false},
        {"all three", {TSex::Male, 12, "4 класс"}, "N+", 6, false},
        {"group only, out of the ages", {TSex::Female, 14, "4 класс"}, "N+", 7, false},
        {"nearest age: 11 is two years past 7-9", {TSex::Male, 11, ""}, "Nomit", 8, true},
        {"nearest age, the closer one", {TSex::Female, 12, ""}, "Nomit", 9, true},
        {"no age known: age groups do not fit", {TSex::Female, {}, ""}, "Nomit", 0, false},
        {"another sex only", {TSex::Female, 11, ""}, "accuracy", 0, false},
        {"another norm id is not looked at", {}, "accuracy", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool outside = false;
        const TNormRow* row = lookup.Match(c.index, c.who, outside);
        EXPECT_EQ(row ? row->Line : 0, c.line);
        EXPECT_EQ(outside, c.ageOutside);
    }

    // Scores of one test's figures, with their warnings.
    std::vector<TCell> figures(kFigureColumns.size());
    figures[*FigureColumn("N+")] = TCell::Whole(44);
    figures[*FigureColumn("Nomit")] = TCell::Whole(4);
    const TExaminee girl{TSex::Female, 12, ""};
    const std::vector<TNormScore> scores = lookup.Score(girl, figures);
    ASSERT_EQ(scores.size(), 3u);
    EXPECT_EQ(scores[0].Index, "N+");
    EXPECT_DOUBLE_EQ(*scores[0].T, 50 + 10 * (44 - 30) / 8.0);
    EXPECT_TRUE(scores[0].Warnings.empty());
    EXPECT_DOUBLE_EQ(*scores[1].Z, -2);  // (2 - 4) / 1
    EXPECT_EQ(scores[1].Warnings, std::vector{TNormWarning::AgeOutsideGroup});
    EXPECT_EQ(NormWarningText(scores[1].Warnings[0], scores[1], girl),
              "возраст 12 вне возраста нормативной группы (13–15); взята ближайшая по возрасту");
    EXPECT_FALSE(scores[2].Row);
    EXPECT_FALSE(scores[2].T);
    EXPECT_EQ(scores[2].Warnings, std::vector{TNormWarning::NoNorm});
    EXPECT_EQ(NormWarningText(scores[2].Warnings[0], scores[2], girl),
              "нет нормы, подходящей обследуемому (показатель «accuracy»: пол, возраст, группа)");
    // A figure the test does not have (an empty cell) gets no score, but still its row.
    figures[*FigureColumn("N+")] = TCell{};
    const TNormScore none = lookup.Score(girl, figures)[0];
    EXPECT_TRUE(none.Row);
    EXPECT_FALSE(none.Z);
    TNormScore small;
    small.Row = &read.Table.Rows[4];
    EXPECT_EQ(NormWarningText(TNormWarning::SmallGroup, small, girl),
              "нормативная группа мала: n = 20 (меньше 30)");
}

TEST(NormScores, ReliableChangeAndAgeInYears) {
    // SD 10, r 0.8: the difference's standard error is √2 · 10 · √0.2 = 6.3246.
    const TNormRow row = MeanRow(50, 10, TDirection::Higher, 0.8);
    const auto up = ReliableChange(row, 40, 55);
    ASSERT_TRUE(up);
    EXPECT_NEAR(up->Index, 15 / std::sqrt(40.0), 1e-12);
    EXPECT_TRUE(up->Reliable);
    EXPECT_FALSE(ReliableChange(row, 40, 52)->Reliable);  // 1.90
    const auto down = ReliableChange(MeanRow(50, 10, TDirection::Lower, 0.8), 40, 55);
    EXPECT_NEAR(down->Index, -15 / std::sqrt(40.0), 1e-12);
    EXPECT_TRUE(down->Reliable);
    EXPECT_FALSE(ReliableChange(MeanRow(50, 10, TDirection::Higher), 40, 55));

    const TDate birth = *ParseDate("2012-02-29");
    EXPECT_EQ(AgeInYears(birth, *ParseDate("2022-02-28")), 9);
    EXPECT_EQ(AgeInYears(birth, *ParseDate("2022-03-01")), 10);
    EXPECT_EQ(AgeInYears(birth, *ParseDate("2024-02-29")), 12);
    EXPECT_EQ(AgeInYears(birth, birth), 0);
    EXPECT_FALSE(AgeInYears(birth, *ParseDate("2012-02-28")));
    EXPECT_FALSE(ParseDate("2023-02-29"));
    EXPECT_FALSE(ParseDate("2023-13-01"));
    EXPECT_FALSE(ParseDate("23-01-01"));
    EXPECT_EQ(DateText(*ParseDate("2000-02-29")), "2000-02-29");
}

}  // namespace
}  // namespace orvix::stats
