#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <string>

#include "stats/retest.h"
#include "stats/stats_text.h"
#include "stats/student_t.h"
#include "stats/timed_intervals.h"
#include "stats/work_curve.h"

namespace orvix::stats {
namespace {

// A complete analysis with these selections per five-second interval: correct selections
// whose timers lie inside their intervals, so that either attribution counts them the same.
TAnalysisResult WithIntervals(const std::vector<std::uint32_t>& selections) {
    TAnalysisResult r;
    r.IntervalCount = static_cast<std::int32_t>(selections.size());
    for (std::size_t i = 0; i < selections.size(); ++i) {
        r.Intervals.push_back({selections[i], 0, 0});
        for (std::uint32_t k = 0; k < selections[i]; ++k)
            r.Points.push_back({5.0 * static_cast<double>(i) + 2.5, 1, 0, 0, true, false,
                                static_cast<std::int32_t>(i + 1)});
    }
    return r;
}

// The points counted in 1-based interval `interval`.
std::vector<TSelectionPoint*> PointsIn(TAnalysisResult& r, std::int32_t interval) {
    std::vector<TSelectionPoint*> in;
    for (TSelectionPoint& p : r.Points)
        if (p.Interval == interval) in.push_back(&p);
    return in;
}

TEST(StudentT, QuantilesAndDistributionFunctionMatchTablesAndClosedForms) {
    // t(0.975, df) from printed tables.
    const std::pair<double, double> table[] = {{1, 12.7062047}, {2, 4.30265273}, {3, 3.18244631},
                                               {4, 2.77644511}, {5, 2.57058184}, {10, 2.22813885},
                                               {30, 2.04227246}};
    for (const auto& [df, t] : table) {
        EXPECT_NEAR(StudentTQuantile(0.975, df), t, 1e-7) << df;
        EXPECT_NEAR(StudentTQuantile(0.025, df), -t, 1e-7) << df;
        EXPECT_NEAR(StudentTTwoSidedP(t, df), 0.05, 1e-9) << df;
    }
    EXPECT_NEAR(StudentTQuantile(0.975, 1e7), 1.959964, 1e-6);  // the normal's
    EXPECT_DOUBLE_EQ(StudentTCdf(0, 3.5), 0.5);
    EXPECT_NEAR(StudentTCdf(1, 1), 0.75, 1e-14);  // Cauchy: 1/2 + atan(t)/pi
    EXPECT_NEAR(StudentTCdf(-3, 1), 0.5 + std::atan(-3.0) / std::numbers::pi, 1e-14);
    for (const double t : {-40.0, -2.5, 0.3, 7.0})  // df 2: 1/2 + t / (2 sqrt(2 + t^2))
        EXPECT_NEAR(StudentTCdf(t, 2), 0.5 + t / (2 * std::sqrt(2 + t * t)), 1e-13) << t;
    // Fractional degrees of freedom (Welch) and far tails invert.
    for (const double p : {1e-9, 0.01, 0.3, 0.9, 0.999999})
        EXPECT_NEAR(StudentTCdf(StudentTQuantile(p, 4.41176), 4.41176), p, p * 1e-9) << p;
    EXPECT_TRUE(std::isnan(StudentTQuantile(1, 3)));
    EXPECT_TRUE(std::isnan(StudentTCdf(1, 0)));
}

TEST(WorkCurve, HandWorkedTrendMinutesAndThirds) {
    // y = 0, 24, 12, 36 selections per minute at 2.5, 7.5, 12.5, 17.5 s: slope 115.2 per
    // minute, intercept -1.2, residuals -3.6, 10.8, -10.8, 3.6. (The last interval cannot be
    // empty: there are as many intervals as that of the latest timer.)
    const TWorkCurve c = ComputeWorkCurve(WithIntervals({0, 2, 1, 3}));
    ASSERT_TRUE(c.Trend.Defined);
    EXPECT_NEAR(c.Trend.Slope, 115.2, 1e-9);
    EXPECT_NEAR(c.Trend.Intercept, -1.2, 1e-9);
    EXPECT_NEAR(c.Trend.ResidualSD, std::sqrt(259.2 / 2), 1e-9);
    const double half = 4.30265273 * std::sqrt(129.6) / std::sqrt(20.0 / 576);
    EXPECT_NEAR(c.Trend.Low, 115.2 - half, 1e-5);
    EXPECT_NEAR(c.Trend.High, 115.2 + half, 1e-5);
    // The band is narrowest at the mean time, where it is the mean's interval.
    EXPECT_NEAR(c.Trend.BandHalfWidth(1.0 / 6), 4.30265273 * std::sqrt(129.6 / 4), 1e-5);
    EXPECT_GT(c.Trend.BandHalfWidth(0), c.Trend.BandHalfWidth(1.0 / 6));
    // The interval holds 0; the counts' own V, 100 · √(5/3) / 1.5 = 86 %, is above 50 %.
    EXPECT_NEAR(c.TempoV, 100 * std::sqrt(5.0 / 3) / 1.5, 1e-12);
    EXPECT_DOUBLE_EQ(c.MeanTempo, 18);
    EXPECT_EQ(c.Verdict, TVerdict::Unstable);
    EXPECT_FALSE(c.ThirdsRatio);      // one interval per third: 3 against 0
    ASSERT_EQ(c.Minutes.size(), 1u);  // a test under one minute
    EXPECT_EQ(c.Minutes[0].Seconds, 20);
    EXPECT_EQ(c.Minutes[0].Selections, 6u);
    EXPECT_NEAR(c.Minutes[0].SelectionsPerMinute, 18, 1e-12);

    // 30 intervals: two whole minutes and a half one weighted by its length.
    std::vector<std::uint32_t> counts(30);
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = static_cast<std::uint32_t>(i % 4);
    TAnalysisResult r = WithIntervals(counts);
    ASSERT_EQ(PointsIn(r, 28).size(), 3u);
    PointsIn(r, 28)[0]->Correct = false;
    PointsIn(r, 28)[2]->Correct = false;
    PointsIn(r, 30)[0]->OmissionAttributed = true;
    const TWorkCurve m = ComputeWorkCurve(r);
    ASSERT_EQ(m.Minutes.size(), 3u);
    EXPECT_EQ(m.Minutes[1].Selections, 18u);
    EXPECT_EQ(m.Minutes[2].Seconds, 30);
    EXPECT_EQ(m.Minutes[2].Selections, 0u + 1 + 2 + 3 + 0 + 1);
    EXPECT_EQ(m.Minutes[2].SelectionsPerMinute, 14);
    EXPECT_EQ(m.Minutes[2].Wrong, 2u);
    EXPECT_EQ(m.Minutes[2].Omissions, 1u);
    EXPECT_DOUBLE_EQ(m.Minutes[2].Start, 2);
}

TEST(WorkCurve, VerdictRuleAndDegenerateCurves) {
    std::vector<std::uint32_t> falling;
    std::vector<std::uint32_t> rising;
    std::vector<std::uint32_t> jagged;
    std::vector<std::uint32_t> even;
    for (std::uint32_t i = 0; i < 36; ++i) {
        falling.push_back(10 - i / 4 + i % 2);
        rising.push_back(1 + i / 4 + i % 2);
        jagged.push_back(i % 2 ? 6 : 0);  // V 101 %
        even.push_back(i % 2 ? 4 : 2);    // V 34 %
    }
    EXPECT_EQ(ComputeWorkCurve(WithIntervals(falling)).Verdict, TVerdict::Slowing);
    EXPECT_EQ(ComputeWorkCurve(WithIntervals(rising)).Verdict, TVerdict::SpeedingUp);
    const TWorkCurve unstable = ComputeWorkCurve(WithIntervals(jagged));
    EXPECT_NEAR(unstable.TempoV, 100 * std::sqrt(9.0 * 36 / 35) / 3, 1e-9);
    EXPECT_EQ(unstable.Verdict, TVerdict::Unstable);
    EXPECT_EQ(ComputeWorkCurve(WithIntervals(even)).Verdict, TVerdict::Steady);

    // No spread at all: a flat line with an interval of zero width holds 0.
    const TWorkCurve flat = ComputeWorkCurve(WithIntervals(std::vector<std::uint32_t>(10, 2)));
    EXPECT_EQ(flat.Trend.Slope, 0);
    EXPECT_EQ(flat.Trend.Low, 0);
    EXPECT_EQ(flat.Trend.High, 0);
    EXPECT_EQ(flat.Verdict, TVerdict::Steady);
    EXPECT_EQ(flat.ThirdsRatio, 1.0);

    // Two intervals: no trend, no thirds, no verdict; the text says so instead of numbers.
    const TAnalysisResult shortTest = WithIntervals({0, 1});
    const TWorkCurve none = ComputeWorkCurve(shortTest);
    EXPECT_FALSE(none.Trend.Defined);
    EXPECT_EQ(none.Verdict, TVerdict::None);
    EXPECT_FALSE(none.ThirdsRatio);
    EXPECT_EQ(VerdictName(none.Verdict), "");
    const std::string text = WorkCurveText(none, ComputeAccuracy(shortTest), ',');
    EXPECT_NE(text.find("Кривая работы: не определена"), std::string::npos) << text;
    EXPECT_NE(text.find("Наклон тренда темпа, выб./мин за минуту: —\n"), std::string::npos);
    EXPECT_NE(text.find("Доля найденных целей N+ / (N+ + Nпр): —\n"), std::string::npos);
    EXPECT_NE(text.find("Выборов в минуту: 6,00\n"), std::string::npos);
}

TEST(Accuracy, HeaderCountsAndEmptyDenominators) {
    TAnalysisResult r = WithIntervals(std::vector<std::uint32_t>(24, 2));  // two minutes
    r.NPlus = 45;
    r.NOmit = 5;
    r.NWrong = 5;
    const TAccuracy a = ComputeAccuracy(r);
    EXPECT_DOUBLE_EQ(*a.Accuracy, 0.9);
    EXPECT_DOUBLE_EQ(*a.WrongShare, 0.1);
    // The selections counted by their timers, not the header's N+ + Nwrong.
    EXPECT_DOUBLE_EQ(*a.SelectionsPerMinute, 24);
    r.NPlus = r.NOmit = r.NWrong = 0;
    r.Points.clear();  // no timer: no interval to count in
    const TAccuracy none = ComputeAccuracy(r);
    EXPECT_FALSE(none.Accuracy);
    EXPECT_FALSE(none.WrongShare);
    EXPECT_FALSE(none.SelectionsPerMinute);
    EXPECT_EQ(NumberText(-0.001, 2, ','), "0,00");
    EXPECT_EQ(NumberText(-0.006, 2, ','), "-0,01");
    EXPECT_EQ(NumberText(std::nullopt, 2, ','), "—");
    EXPECT_EQ(NumberText(HUGE_VAL, 2, ','), "—");
}

TEST(Retest, WelchHandWorkedAndDegenerateSamples) {
    const std::vector<double> a{1, 2, 3, 4};
    const std::vector<double> b{2, 4, 6, 8};
    const TWelch w = WelchTest(a, b);
    EXPECT_DOUBLE_EQ(w.Difference, 2.5);
    ASSERT_TRUE(w.Df && w.Low && w.High && w.PValue);
    EXPECT_NEAR(*w.Df, 75.0 / 17, 1e-12);  // (25/12)^2 / (25/432 + 400/432)
    const double se = std::sqrt(25.0 / 12);
    EXPECT_NEAR(*w.PValue, StudentTTwoSidedP(2.5 / se, 75.0 / 17), 1e-15);
    EXPECT_NEAR(*w.High - *w.Low, 2 * StudentTQuantile(0.975, 75.0 / 17) * se, 1e-12);

    const std::vector<double> one{3};
    const std::vector<double> flat1{2, 2, 2};
    const std::vector<double> flat2{5, 5};
    EXPECT_FALSE(WelchTest(one, b).PValue);     // a side with one value
    EXPECT_FALSE(WelchTest(flat1, flat2).Low);  // no spread on either side
    EXPECT_DOUBLE_EQ(WelchTest(flat1, flat2).Difference, 3);
    EXPECT_TRUE(WelchTest(flat1, b).PValue);  // one side's spread is enough
}

TEST(Retest, TestsOfDifferentLengthsAndUnattributedSelections) {
    TAnalysisResult earlier = WithIntervals(std::vector<std::uint32_t>(24, 3));
    TAnalysisResult later = WithIntervals(std::vector<std::uint32_t>(40, 4));
    earlier.NPlus = 60;
    earlier.NWrong = 12;
    later.NPlus = 150;
    later.NWrong = 10;
    later.Tempo.V = 12;  // the report's, from its own attribution
    // Search times 1, 2, 3, … (mean 2) and 2, 4, … (mean 3); those of every selection count,
    // also of one whose timer did not convert and so counts in no interval.
    for (std::size_t i = 0; i < earlier.Points.size(); ++i) earlier.Points[i].Y = 1.0 + i % 3;
    for (std::size_t i = 0; i < later.Points.size(); ++i) later.Points[i].Y = 2.0 + 2 * (i % 2);
    earlier.Points.push_back({kUnconvertedTimer, 2, 0, 0, true, false, 24});
    later.Points.push_back({kUnconvertedTimer, 3, 0, 0, true, false, 40});
    const TRetest r = CompareTests(earlier, later);
    EXPECT_EQ(r.Search.EarlierCount, 73u);
    EXPECT_EQ(r.Search.LaterCount, 161u);
    EXPECT_DOUBLE_EQ(r.Search.Difference, 1);
    EXPECT_EQ(r.Tempo.EarlierCount, 24u);
    EXPECT_DOUBLE_EQ(r.Tempo.Difference, 1);
    EXPECT_FALSE(r.Tempo.PValue);  // both tempos without spread

    const auto row = [&r](std::string_view key) {
        for (const TIndexRow& x : r.Rows)
            if (x.Key == key) return x;
        ADD_FAILURE() << key;
        return TIndexRow{};
    };
    EXPECT_DOUBLE_EQ(*row("selections per minute").Difference, 160.0 / (40 / 12.0) - 36);
    EXPECT_DOUBLE_EQ(*row("tempo V").Later, 0);  // the curve's own, not the report's
    EXPECT_DOUBLE_EQ(*row("wrong share").Earlier, 12.0 / 72);
    EXPECT_DOUBLE_EQ(*row("accuracy").Difference, 0);  // no omissions on either side

    const std::string text = RetestText(r, "a.klp", "b.klp", '.');
    EXPECT_NE(text.find("Первое: a.klp\nПовторное: b.klp\n"), std::string::npos) << text;
    // Minutes 3 and 4 exist only in the later test.
    for (const char* minute : {"\n3", "\n4"})
        EXPECT_NE(text.find(minute + std::string(24, ' ') + "—" + std::string(18, ' ') + "48.0\n"),
                  std::string::npos)
            << text;
    EXPECT_EQ(text.find("\n5 "), std::string::npos);
    EXPECT_NE(text.find("Время поиска, с: 2.000 → 3.000, разность 1.000, 95 % ДИ от "),
              std::string::npos);
}

// Runs of Latin letters in a text.
std::set<std::string> LatinWords(std::string_view text) {
    std::set<std::string> words;
    std::string word;
    for (const char c : std::string(text) + " ") {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            word.push_back(c);
        } else if (!word.empty()) {
            words.insert(word);
            word.clear();
        }
    }
    return words;
}

// The texts the windows, the pages and the batch tool show are Russian: no English word, only
// the symbols of the method (N+, Nпр, Nо.в.) and of statistics (n, p, t).
TEST(StatsText, RussianWordsWithOnlyTheSymbolsInLatin) {
    const auto expectRussian = [](const std::string& text) {
        const std::set<std::string> symbols{"N", "n", "p", "t"};
        for (const std::string& word : LatinWords(text))
            EXPECT_TRUE(symbols.count(word)) << word << " in:\n" << text;
    };
    std::vector<std::uint32_t> falling;
    std::vector<std::uint32_t> rising;
    std::vector<std::uint32_t> jagged;
    for (std::uint32_t i = 0; i < 36; ++i) {
        falling.push_back(10 - i / 4 + i % 2);
        rising.push_back(1 + i / 4 + i % 2);
        jagged.push_back(i % 2 ? 6 : 0);
    }
    std::vector<TAnalysisResult> tests{WithIntervals(falling), WithIntervals(rising),
                                       WithIntervals(jagged),
                                       WithIntervals(std::vector<std::uint32_t>(36, 3)),
                                       WithIntervals({1, 2})};
    for (TAnalysisResult& r : tests) {
        r.NPlus = 40;
        r.NOmit = 3;
        r.NWrong = 2;
        for (const double y : {1.5, 2.5, 4.0}) r.Points.push_back({0, y, 0, 0, true, false, 1});
    }
    for (const TAnalysisResult& r : tests) {
        const TWorkCurve curve = ComputeWorkCurve(r);
        const std::string text = WorkCurveText(curve, ComputeAccuracy(r), ',');
        expectRussian(text);
        if (curve.Verdict != TVerdict::None) {
            EXPECT_NE(
                text.find("Кривая работы: " + std::string(VerdictRussian(curve.Verdict)) + "\n"),
                std::string::npos)
                << text;
        }
    }
    EXPECT_NE(WorkCurveText(ComputeWorkCurve(tests[0]), ComputeAccuracy(tests[0]), ',')
                  .find("Доля ошибочных выборов Nо.в. / (N+ + Nо.в.): "),
              std::string::npos);
    const TRetest retest = CompareTests(tests[0], tests[1]);
    ASSERT_TRUE(retest.Search.PValue && retest.Tempo.PValue);
    const std::string text = RetestText(retest, "первое", "повторное", ',');
    expectRussian(text);
    EXPECT_NE(text.find("ст. св. = "), std::string::npos) << text;
}

}  // namespace
}  // namespace orvix::stats
