// A retest and a profile against a norm table, worked by hand: which row each index gets at
// which age, the reliable change with its sign and verdict, what is left out and why, the
// warnings, the norms named, and the comparison text with and without norms.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "stats/norm_profile.h"
#include "stats/norm_table_csv.h"
#include "stats/retest.h"
#include "stats/stats_text.h"

namespace orvix::stats {
namespace {

// `count` correct selections spread evenly over (from, 60] seconds, the last at 60.
TAnalysisResult Analysed(int plus, int omit, double searchMean, int count, double from) {
    TAnalysisResult r;
    r.NPlus = plus;
    r.NOmit = omit;
    r.NWrong = 2;
    r.Search.Mean = searchMean;
    r.Search.SD = 0.05;
    r.Tempo.V = 20;
    for (int i = 1; i <= count; ++i)
        r.Points.push_back({from + (60 - from) * i / count, 1, 0, 0, true, false, 1});
    return r;
}

// Nine years old at the earlier test, ten at the later one.
TNormInput Input(const std::shared_ptr<const TNormTable>& table, TDate testDate) {
    TNormInput in;
    in.Table = table;
    in.NormId = "проба";
    in.Examinee.Sex = TSex::Male;
    in.Examinee.BirthDate = TDate{2014, 6, 15};
    in.TestDate = testDate;
    return in;
}

class RetestNorms : public ::testing::Test {
  protected:
    void SetUp() override {
        const TNormRead read = ReadNormTable(
            "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,"
            "source,p2,p5,p10,p16,p25,p50,p75,p84,p90,p95,p98\n"
            "другая,1,accuracy,any,,,,500,0.5,0.1,higher,0.9,иная,,,,,,,,,,,\n"
            "проба,2,accuracy,any,10,12,,60,0.93,0.04,higher,0.78,проверка,,,,,,,,,,,\n"
            "проба,2,selections per minute,any,10,12,,24,48,12,higher,0.85,проверка,,,,,,,,,,,\n"
            "проба,2,search mean,any,,,,120,1.1,0.2,lower,0.75,проверка,,,,,,,,,,,\n"
            "проба,2,tempo V,any,,,,150,30,12,lower,,проверка,,,,,,,,,,,\n"
            "проба,2,last/first third,any,,,,100,1,0.2,higher,0.7,проверка,,,,,,,,,,,\n"
            "проба,2,wrong share,female,10,12,,31,0.03,0.018,lower,0.8,проверка,,,,,,,,,,,\n"
            "проба,2,search SD,any,,,,80,,,lower,0.8,проверка,0.1,0.15,0.2,0.25,0.3,0.4,0.5,"
            "0.6,0.7,0.8,0.9\n");
        ASSERT_FALSE(read.Error) << read.Error->Message;
        table_ = std::make_shared<const TNormTable>(read.Table);
    }

    // Accuracy 0.90 → 0.95, 38 → 52 selections a minute, search mean 1.00 → 1.35 s; the
    // earlier test's first third is empty, so it has no thirds ratio.
    const TAnalysisResult earlier_ = Analysed(90, 10, 1.0, 38, 20);
    const TAnalysisResult later_ = Analysed(95, 5, 1.35, 52, 0);
    std::shared_ptr<const TNormTable> table_;
};

// What is left out, the warnings and the norm named are in the text's test below.
TEST_F(RetestNorms, ReliableChangeWorkedByHand) {
    const TRetestNorms r = CompareWithNorms(earlier_, later_, Input(table_, {2024, 6, 14}));
    EXPECT_EQ(r.Examinee.Age, 9);
    ASSERT_EQ(r.Lines.size(), 3u);
    // (0.95 − 0.90) / (√2 · 0.04 · √0.22) = 1.884: not beyond 1.96.
    EXPECT_EQ(r.Lines[0].Index, "accuracy");
    EXPECT_NEAR(r.Lines[0].Change.Index, 1.88444590361102, 1e-9);
    EXPECT_FALSE(r.Lines[0].Change.Reliable);
    // 14 / (√2 · 12 · √0.15) = 2.130: a reliable improvement.
    EXPECT_NEAR(r.Lines[1].Change.Index, 2.1300321680756458, 1e-9);
    EXPECT_TRUE(r.Lines[1].Change.Reliable);
    // A longer search is worse: −0.35 / (√2 · 0.2 · 0.5) = −2.475, a reliable worsening.
    EXPECT_NEAR(r.Lines[2].Change.Index, -2.474873734152916, 1e-9);
    EXPECT_TRUE(r.Lines[2].Change.Reliable);

    // Without a norm id every row counts: at nine the other norm's row for any age fits.
    TNormInput all = Input(table_, {2024, 6, 14});
    all.NormId.clear();
    const TRetestNorms any = CompareWithNorms(earlier_, later_, all);
    ASSERT_FALSE(any.Lines.empty());
    EXPECT_NEAR(any.Lines[0].Change.Index, 0.05 / (std::sqrt(2.0) * 0.1 * std::sqrt(0.1)), 1e-9);
    EXPECT_EQ(any.Sources.size(), 2u);
}

TEST_F(RetestNorms, TheComparisonTextGainsOneParagraphAndIsUnchangedWithoutNorms) {
    const TRetest plain = CompareTests(earlier_, later_);
    EXPECT_FALSE(plain.Norms);
    const TNormInput input = Input(table_, {2024, 6, 14});
    const TRetest normed = CompareTests(earlier_, later_, &input);
    ASSERT_TRUE(normed.Norms);
    const std::string before = RetestText(plain, "а", "б", ',');
    const std::string after = RetestText(normed, "а", "б", ',');
    EXPECT_EQ(before.find("Надёжность"), std::string::npos);

    const std::string paragraph =
        "\nНадёжность изменения по нормам (индекс надёжного изменения Джейкобсона — Труакса):\n"
        "индекс = (повторное − первое) / (√2 · ст. откл. нормы · √(1 − r)), плюс — к лучшему; "
        "изменение надёжно при |индекс| > 1,96\n"
        "Обследуемый при первом обследовании: пол мужской, 9 лет\n"
        "Доля найденных целей: 0,900 → 0,950, индекс 1,88, в пределах погрешности (ст. откл. "
        "нормы 0,0400, r = 0,78)\n"
        "Выборов в минуту: 38,00 → 52,00, индекс 2,13, надёжное улучшение (ст. откл. нормы "
        "12,000, r = 0,85)\n"
        "Время поиска: среднее, с: 1,000 → 1,350, индекс -2,47, надёжное ухудшение (ст. откл. "
        "нормы 0,2000, r = 0,75)\n"
        "Без ст. откл. или надёжности в нормах: Темп: коэфф. вариации, %; Время поиска: ст. "
        "откл., с\n"
        "Нет значения в одном из обследований: Темп последней трети к первой\n"
        "Нормы «проба», версия 2, n = 24–120; источник: проверка\n"
        "Внимание: Доля найденных целей: возраст 9 вне возраста нормативной группы (10–12); "
        "взята ближайшая по возрасту\n"
        "Внимание: Выборов в минуту: возраст 9 вне возраста нормативной группы (10–12); взята "
        "ближайшая по возрасту\n"
        "Внимание: Выборов в минуту: нормативная группа мала: n = 24 (меньше 30)\n"
        "Внимание: Доля ошибочных выборов: нет нормы, подходящей обследуемому (показатель "
        "«wrong share»: пол, возраст, группа)\n";
    // Right after the Welch comparisons, before the work curves.
    const std::size_t at = before.find("\nКривая работы: первое");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(after, before.substr(0, at) + paragraph + before.substr(at));

    // A table with nothing a reliable change can use still says what it lacks.
    TNormInput none = input;
    none.NormId = "нет такой";
    const std::string empty = ReliableChangeText(*CompareTests(earlier_, later_, &none).Norms, '.');
    EXPECT_NE(empty.find("Нет показателя, для которого есть всё, что нужно индексу.\n"),
              std::string::npos)
        << empty;
}

TEST_F(RetestNorms, ProfileOfTheLaterTest) {
    const TNormProfile p = BuildNormProfile(Input(table_, {2024, 6, 20}), FigureCells(later_));
    EXPECT_EQ(p.Examinee.Age, 10);
    ASSERT_EQ(p.Lines.size(), 6u);
    std::vector<std::string_view> indices;
    for (const TProfileLine& l : p.Lines) indices.push_back(l.Index);
    EXPECT_EQ(indices,
              (std::vector<std::string_view>{"accuracy", "selections per minute", "search mean",
                                             "tempo V", "last/first third", "search SD"}));
    // 0.95 against 0.93 ± 0.04: z 0.5, T 55, band ± 1.96 · 10 · √0.22, percentile 100 Φ(0.5).
    const TProfileLine& accuracy = p.Lines[0];
    EXPECT_EQ(accuracy.Caption, "Доля найденных целей");
    EXPECT_NEAR(*accuracy.T, 55, 1e-9);
    EXPECT_NEAR(*accuracy.BandLow, 55 - 9.193214889253923, 1e-9);
    EXPECT_NEAR(*accuracy.BandHigh, 55 + 9.193214889253923, 1e-9);
    EXPECT_EQ(PercentileText(accuracy), "69");
    EXPECT_EQ(accuracy.N, 60);
    EXPECT_FALSE(accuracy.Warned);
    EXPECT_NEAR(*p.Lines[1].T, 50 + 10 * 4.0 / 12, 1e-9);
    EXPECT_TRUE(p.Lines[1].Warned);  // n = 24
    // Lower is better: 1.35 s against 1.1 ± 0.2 is z −1.25.
    EXPECT_NEAR(*p.Lines[2].T, 37.5, 1e-9);
    EXPECT_EQ(PercentileText(p.Lines[2]), "11");
    // Without a reliability, no band.
    EXPECT_NEAR(*p.Lines[3].T, 50 + 10 * 10.0 / 12, 1e-9);
    EXPECT_FALSE(p.Lines[3].BandLow);
    EXPECT_DOUBLE_EQ(*p.Lines[4].Value, *ComputeWorkCurve(later_).ThirdsRatio);
    // A search SD of 0.05 s is below the table's p2: better than it shows, so "> 98".
    EXPECT_EQ(PercentileText(p.Lines[5]), "> 98");
    EXPECT_EQ(p.Warnings.size(), 2u);  // n = 24; no row for a boy's wrong share
    ASSERT_EQ(p.Sources.size(), 1u);
    EXPECT_EQ(p.Sources[0].NHigh, 150);

    // The earlier test has no thirds ratio: its line stays, without T.
    const TNormProfile e = BuildNormProfile(Input(table_, {2024, 6, 14}), FigureCells(earlier_));
    ASSERT_EQ(e.Lines.size(), 6u);
    EXPECT_FALSE(e.Lines[4].Value);
    EXPECT_FALSE(e.Lines[4].T);
    EXPECT_EQ(PercentileText(e.Lines[4]), "—");
}

TEST(NormProfile, PercentilesAtTheEndsAndTheExamineeInWords) {
    TProfileLine l;
    std::string shown;
    for (const double p : {0.6, 1.0, 50.5, 98.6, 99.2}) {
        l.Percentile = p;
        shown += PercentileText(l) + "; ";
    }
    l.Side = TTableSide::BelowFirst;
    EXPECT_EQ(shown + PercentileText(l), "< 1; 1; 51; 99; > 99; < 2");

    std::string years;
    for (const int y : {0, 1, 2, 4, 5, 11, 12, 14, 21, 22, 101, 111}) years += YearsText(y) + "; ";
    EXPECT_EQ(years,
              "0 лет; 1 год; 2 года; 4 года; 5 лет; 11 лет; 12 лет; 14 лет; 21 год; 22 года; "
              "101 год; 111 лет; ");
    EXPECT_EQ(ExamineeText({}), "данные обследуемого не указаны");
    EXPECT_EQ(ExamineeText({TSex::Female, 11, "4 класс"}), "пол женский, 11 лет, группа «4 класс»");
    // The age needs both dates.
    TExamineeData data{TSex::Any, TDate{2016, 2, 29}, ""};
    EXPECT_FALSE(ExamineeAt(data, std::nullopt).Age);
    EXPECT_EQ(ExamineeAt(data, TDate{2025, 3, 1}).Age, 9);
}

}  // namespace
}  // namespace orvix::stats
