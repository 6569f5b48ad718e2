// Analysis of protocols and the report a load builds.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/numbers.h"
#include "protocol/load.h"
#include "protocol/report.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix {
namespace {
using protogen::BasicProtocol;
using protogen::RecordLine;
using protogen::TProtocolText;

// A record at `timer` seconds for `ring`; correct unless `marker` says otherwise.
std::string Rec(std::int32_t ring, const char* timer, const char* search = "1.000",
                const char* freeText = " +") {
    return RecordLine(ring, timer, search, freeText);
}

TProtocolText WithRecords(std::vector<std::string> records) {
    TProtocolText p = BasicProtocol();
    p.Head[24] = std::to_string(records.size());
    p.Records = std::move(records);
    return p;
}

TLineBuffer Load(const TProtocolText& p) {
    TLineBuffer b;
    b.ReplaceText(p.Text());
    return b;
}

// Runs a load into a report and returns the failure message ("" on success).
struct LoadRun {
    TTextLines report;
    TAnalysisResult result;
    std::string failure;
    int points = 0;
};

LoadRun RunLoad(const TProtocolText& p, const std::string& previousReport = "previous\r\n") {
    LoadRun run;
    run.report.SetText(previousReport);
    const TLoadedProtocol load = AnalyseText(p.Text());
    const TAnalysis& analysis = load.Analysis;
    FillReport(run.report, load.Protocol, analysis.Result, analysis.Stopped);
    try {
        if (analysis.Failure) std::rethrow_exception(analysis.Failure);
    } catch (const Exception& e) {
        run.failure = e.Message();
    }
    run.result = analysis.Result;
    run.points = static_cast<int>(analysis.Result.Points.size());
    return run;
}

int LineCount(const std::string& text) {
    int n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

TEST(Analysis, IntervalCountAndAttribution) {
    struct Case {
        const char* name;
        std::vector<std::string> records;
        std::vector<std::uint32_t> selections;
        const char* failure;
    };
    const Case cases[] = {
        {"last timer 5.0 gives two intervals, 5.0 belongs to the first",
         {Rec(1, "1.0"), Rec(2, "5.0")},
         {2, 0},
         ""},
        {"index advances by one interval per record",
         {Rec(1, "3"), Rec(2, "4"), Rec(3, "12"), Rec(4, "13")},
         {2, 1, 1},
         ""},
        {"records beyond the last interval are not attributed",
         {Rec(1, "1.0"), Rec(2, "30.0"), Rec(3, "31.0"), Rec(4, "9.9")},
         {1, 2},
         ""},
        {"last timer 4.9 gives one interval and 0/0 in the tempo SD",
         {Rec(1, "1.0"), Rec(2, "4.9")},
         {},
         "Invalid floating point operation"},
        {"an unreadable last timer gives a negative interval count",
         {Rec(1, "1.0"), Rec(2, "1,5")},
         {},
         "Range check error"},
        {"a last timer of -5 gives no interval at all", {Rec(1, "-5.0")}, {}, "Range check error"},
        {"a corrupt timer cannot ask for millions of intervals",
         {Rec(1, "1.0"), Rec(2, "9999999")},
         {},
         "Range check error"},
        {"a timer beyond the 64-bit range",
         {Rec(1, "1e30")},
         {},
         "Invalid floating point operation"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadRun run = RunLoad(WithRecords(c.records));
        EXPECT_EQ(run.failure, c.failure);
        if (*c.failure) continue;
        ASSERT_EQ(run.result.Intervals.size(), c.selections.size());
        for (std::size_t i = 0; i < c.selections.size(); ++i)
            EXPECT_EQ(run.result.Intervals[i].Selections, c.selections[i]) << "interval " << i + 1;
    }
}

TEST(Analysis, OmissionsAreAttributedOnePerRecord) {
    TProtocolText p = WithRecords(
        {Rec(3, "1.0"), Rec(9, "2.0"), Rec(12, "6.0"), Rec(20, "7.0"), Rec(30, "11.0")});
    p.Head[12] = "3";
    p.Omissions = {"5", "6", "25"};
    const LoadRun run = RunLoad(p);
    ASSERT_EQ(run.failure, "");
    ASSERT_EQ(run.result.Intervals.size(), 3u);
    EXPECT_EQ(run.result.Intervals[0].Omissions, 1u);  // ring 5, at the record of ring 9
    EXPECT_EQ(run.result.Intervals[1].Omissions, 1u);  // ring 6, at the next record (ring 12)
    EXPECT_EQ(run.result.Intervals[2].Omissions, 1u);  // ring 25, not before ring 30
}

TEST(Analysis, PointsCaptionsAndCorrectness) {
    const LoadRun run = RunLoad(WithRecords({
        "      17   12.5        1.250  +",
        Rec(18, "13.0", "2.5", " -"),
        "      19   14.0        0.500",  // shorter than 31 characters: a wrong selection
        Rec(20, "15.0", "1.0", "  "),
    }));
    ASSERT_EQ(run.failure, "");
    ASSERT_EQ(run.result.Points.size(), 4u);
    const TSelectionPoint& first = run.result.Points[0];
    EXPECT_EQ(first.X, 12.5);
    EXPECT_EQ(first.Y, 1.25);
    EXPECT_TRUE(first.Correct);
    EXPECT_EQ(run.result.Caption(first), W1251("   12.5 секунда. N = 17. Выбор  +"));
    EXPECT_FALSE(run.result.Points[1].Correct);
    EXPECT_FALSE(run.result.Points[2].Correct);
    EXPECT_EQ(run.result.Caption(run.result.Points[2]), W1251("   14.0 секунда. N = 19. Выбор "));
    EXPECT_FALSE(run.result.Points[3].Correct);
    EXPECT_EQ(run.points, 4);
}

TEST(Analysis, StatisticsAndReportNumbers) {
    // Counts 2 and 4 over two intervals: mean 3, SD sqrt(2), V 47.14 %.
    TProtocolText p =
        WithRecords({Rec(1, "1"), Rec(2, "2"), Rec(3, "6"), Rec(4, "7"), Rec(5, "8"), Rec(6, "9")});
    p.Head[12] = "3";
    p.Head[13] = "4";
    p.Omissions = {"100", "101", "102"};
    const LoadRun run = RunLoad(p);
    ASSERT_EQ(run.failure, "");
    EXPECT_EQ(run.result.Impulsivity, 0.5);  // (3 + 4)^2 / 98
    EXPECT_EQ(run.result.Tempo.Mean, 3.0);
    EXPECT_DOUBLE_EQ(run.result.Tempo.SD, std::sqrt(2.0));
    EXPECT_NEAR(run.result.Tempo.V, 47.14, 0.01);
    EXPECT_EQ(run.result.Search.Mean, 2.0);
    EXPECT_EQ(run.result.Search.V, 50.0);

    const std::string& text = run.report.Ref();
    EXPECT_EQ(LineCount(text), 21);
    EXPECT_NE(text.find(W1251("Показатель спешки, импульсивности: SQR(Ner)/T = 0.50\r\n")),
              std::string::npos);
    EXPECT_NE(text.find("Ncp = 3.0, SD = 1.41, V = 47%\r\n"), std::string::npos);

    SetDecimalChar(',');
    const LoadRun comma = RunLoad(p);
    SetDecimalChar('.');
    EXPECT_EQ(comma.failure, "'2.0' is not a valid floating point value");
    TProtocolText pc = p;
    pc.Head[20] = "2,0";
    pc.Head[21] = "1,0";
    for (auto& r : pc.Records) r.replace(r.find("1.000"), 5, "1,000");
    SetDecimalChar(',');
    const LoadRun commaOk = RunLoad(pc);
    SetDecimalChar('.');
    ASSERT_EQ(commaOk.failure, "");
    EXPECT_NE(commaOk.report.Ref().find("SQR(Ner)/T = 0,50\r\n"), std::string::npos);
    EXPECT_NE(commaOk.report.Ref().find("Ncp = 3,0, SD = 1,41, V = 47%\r\n"), std::string::npos);
}

TEST(Analysis, FullReportBytes) {
    TProtocolText p =
        WithRecords({Rec(1, "1"), Rec(2, "2"), Rec(3, "6"), Rec(4, "7"), Rec(5, "8"), Rec(6, "9")});
    p.Head[3].clear();  // empty protocol lines give empty report lines
    const LoadRun run = RunLoad(p);
    ASSERT_EQ(run.failure, "");
    const std::string expected = W1251(
        "Протокол обследования по методике \"Кольца Ландольта\"\r\n"
        "\r\n"
        "Испытуемый: Тестовый И.И.\r\n"
        "\r\n"
        "\r\n"
        "Задание - поиск всех колец, ориентированных на 5 часов\r\n"
        "Время работы: 1 мин\r\n"
        "Просмотрено строк: 2\r\n"
        "Просмотрено колец: 40\r\n"
        "Результаты:\r\n"
        "N+ = 2\r\n"
        "\r\n"
        "Коэффициент точности = 1.00\r\n"
        "\r\n"
        "Показатель спешки, импульсивности: SQR(Ner)/T = 0.00\r\n"
        "\r\n"
        "Среднее время поиска, сек:\r\n"
        "Mean = 2.0, SD = 1.0\r\n"
        "\r\n"
        "Динамика поиска по 5-ти секундным интервалам\r\n"
        "Ncp = 3.0, SD = 1.41, V = 47%\r\n");
    EXPECT_EQ(run.report.Ref(), expected);
}

TEST(Analysis, FailuresEndTheLoadAtTheirStep) {
    struct Case {
        const char* name;
        int line;
        const char* value;
        const char* failure;
        int reportLines;  // -1: the previous report stays untouched
    };
    const Case cases[] = {
        {"orientation not a number", 4, "five", "'five' is not a valid integer value", -1},
        {"orientation outside 1..8", 4, "9", "Range check error", -1},
        {"orientation 0", 4, "0", "Range check error", -1},
        {"T not a number", 9, "", "'' is not a valid integer value", -1},
        {"Nwrong with a trailing blank", 13, "0 ", "'0 ' is not a valid integer value", -1},
        {"T = 0 with errors", 9, "0", "Floating point division by zero", 14},
        {"search mean not a number", 20, "2,0", "'2,0' is not a valid floating point value", 16},
        {"search mean beyond a double", 20, "1e400", "Floating point overflow", 16},
        {"selection count", 24, "x", "'x' is not a valid integer value", 18},
        {"negative selection count", 24, "-3", "Range check error", 18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TProtocolText p = WithRecords({Rec(1, "1"), Rec(2, "6")});
        p.Head[13] = "1";
        p.Head[static_cast<std::size_t>(c.line)] = c.value;
        const LoadRun run = RunLoad(p);
        EXPECT_EQ(run.failure, c.failure);
        if (c.reportLines < 0) {
            EXPECT_EQ(run.report.Ref(), "previous\r\n");
        } else {
            EXPECT_EQ(LineCount(run.report.Ref()), c.reportLines);
        }
    }
    // T = 0 with no errors is 0 / 0.
    TProtocolText p = WithRecords({Rec(1, "1"), Rec(2, "6")});
    p.Head[9] = "0";
    EXPECT_EQ(RunLoad(p).failure, "Invalid floating point operation");

    // A bad search time ends the pass; the points made before it were delivered.
    p = WithRecords({Rec(1, "1"), Rec(2, "2", "x"), Rec(3, "6")});
    const LoadRun bad = RunLoad(p);
    EXPECT_EQ(bad.failure, "'            x' is not a valid floating point value");
    EXPECT_EQ(bad.points, 1);
    EXPECT_EQ(LineCount(bad.report.Ref()), 18);

    // A bad omission record fails only when it is read.
    p = WithRecords({Rec(1, "1"), Rec(2, "6")});
    p.Head[12] = "1";
    p.Omissions = {"?"};
    EXPECT_EQ(RunLoad(p).failure, "'?' is not a valid integer value");
}

TEST(Analysis, SearchVariationNeedsAPositiveMean) {
    TProtocolText p = WithRecords({Rec(1, "1"), Rec(2, "6")});
    p.Head[20] = "0";
    p.Head[21] = "5";
    const LoadRun run = RunLoad(p);
    ASSERT_EQ(run.failure, "");
    EXPECT_EQ(run.result.Search.V, 0.0);
}

TEST(Analysis, GeneratedProtocolsAreConsistent) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        protogen::TGenerateOptions o;
        o.Seed = seed;
        const TProtocolText p = protogen::GenerateProtocol(o);
        const TLineBuffer buffer = Load(p);
        const TAnalysis analysis = AnalyseProtocol(buffer);
        ASSERT_EQ(analysis.Stopped, TAnalysisStep::Done);
        const TAnalysisResult& r = analysis.Result;
        EXPECT_EQ(r.SelectionCount, static_cast<std::int32_t>(p.Records.size()));
        EXPECT_GE(r.SelectionCount, 150);
        EXPECT_EQ(r.NPlus + r.NWrong, r.SelectionCount);
        std::uint32_t selections = 0, wrong = 0, omissions = 0;
        for (const auto& c : r.Intervals) {
            selections += c.Selections;
            wrong += c.Wrong;
            omissions += c.Omissions;
        }
        EXPECT_EQ(selections, static_cast<std::uint32_t>(r.SelectionCount));
        EXPECT_EQ(wrong, static_cast<std::uint32_t>(r.NWrong));
        EXPECT_LE(omissions, static_cast<std::uint32_t>(r.NOmit));
        EXPECT_GT(r.Tempo.Mean, 0.0);
    }
}

// The generator's header figures are those of its records: the stored mean and SD of the
// search time those of the records' own search times (one selection has no spread, none has
// neither), the counts
// those of the records, a wrong selection never at a ring selected or omitted elsewhere, and T
// at least 1, so that even a test under a minute loads.
TEST(Analysis, GeneratedHeaderFiguresAreThoseOfTheRecords) {
    SetDecimalChar('.');
    int single = 0;
    int none = 0;
    int many = 0;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        for (const auto& [target, seconds] : {std::pair{1, 0.0}, {2, 0.0}, {12, 45.0}, {0, 0.0}}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << target << " selections");
            protogen::TGenerateOptions o;
            o.Seed = seed;
            o.TargetSelections = target;
            o.DurationSeconds = seconds;
            if (target == 0 && seed > 6) continue;  // a few whole tests suffice
            const TProtocolText p = protogen::GenerateProtocol(o);
            if (p.Records.empty()) {
                // No record, so no last timer to count intervals by: such a test does not load.
                EXPECT_EQ(p.Head[20], "0.000");
                EXPECT_EQ(p.Head[21], "0.000");
                EXPECT_EQ(p.Head[24], "0");
                ++none;
                continue;
            }
            const LoadRun run = RunLoad(p);
            ASSERT_EQ(run.failure, "");
            const TAnalysisResult& r = run.result;
            const auto n = r.Points.size();
            (n == 1 ? single : many) += 1;
            double sum = 0;
            std::int32_t wrong = 0;
            for (const TSelectionPoint& point : r.Points) {
                sum += point.Y;
                wrong += point.Correct ? 0 : 1;
            }
            const double mean = n > 0 ? sum / static_cast<double>(n) : 0;
            double squares = 0;
            for (const TSelectionPoint& point : r.Points)
                squares += (point.Y - mean) * (point.Y - mean);
            const double sd = n > 1 ? std::sqrt(squares / static_cast<double>(n - 1)) : 0;
            // Stored with three decimals.
            EXPECT_NEAR(r.Search.Mean, mean, 0.0005 + 1e-9);
            EXPECT_NEAR(r.Search.SD, sd, 0.0005 + 1e-9);
            EXPECT_EQ(r.SelectionCount, static_cast<std::int32_t>(n));
            EXPECT_EQ(r.NWrong, wrong);
            EXPECT_EQ(r.NPlus, r.SelectionCount - wrong);
            EXPECT_EQ(r.NOmit, static_cast<std::int32_t>(p.Omissions.size()));
            EXPECT_GE(r.T, 1);

            std::set<std::int32_t> selected;
            for (std::size_t k = 0; k < p.Records.size(); ++k)
                EXPECT_TRUE(selected.insert(std::stoi(p.Records[k].substr(0, 8))).second)
                    << "ring selected twice: " << p.Records[k];
            for (const std::string& omitted : p.Omissions)
                EXPECT_EQ(selected.count(std::stoi(omitted)), 0u)
                    << "omitted and selected: " << omitted;
        }
    }
    // Each case was met: tests without a selection, with one, and with more.
    EXPECT_GT(none, 0);
    EXPECT_GT(single, 5);
    EXPECT_GT(many, 5);
}

}  // namespace
}  // namespace orvix
