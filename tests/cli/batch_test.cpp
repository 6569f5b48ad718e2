// orvix-kl-batch: outputs, failures, usage.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/numbers.h"
#include "cli/batch.h"
#include "protocol/load.h"
#include "protocol/output_names.h"
#include "protocol/report.h"
#include "tests/support/file_size_limit.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix::batch {
namespace {
namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Batch : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-batch-" + std::to_string(std::random_device{}()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "in");
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Protocol(const std::string& name, const protogen::TProtocolText& p) {
        protogen::WriteProtocolFile(p, dir_ / "in" / name);
        return dir_ / "in" / name;
    }
    fs::path dir_;
};

TEST_F(Batch, WritesTheReportALoadBuildsAndReportsFailures) {
    protogen::TGenerateOptions o;
    o.Seed = 3;
    const auto good = protogen::GenerateProtocol(o);
    auto bad = good;
    bad.Head[9] = "zero";
    auto hostile = good;
    hostile.Head[1] = "../..\\x:y";

    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Summary = dir_ / "out" / "summary.csv";
    options.Protocols = {Protocol("good.klp", good), Protocol("bad.klp", bad),
                         Protocol("hostile.klp", hostile), dir_ / "in" / "missing.klp"};
    std::ostringstream err;
    EXPECT_EQ(RunBatch(options, err, nullptr, false), 1);

    // The report equals the text a load builds on a line list.
    const TLoadedProtocol load = AnalyseText(good.Text());
    TDetachedCharts charts;
    TTextLines expected;
    ShowLoad(load, expected, charts.Tempo, charts.Search);
    const fs::path report = OutputPath(options.OutDir, good.Head[1], output::kReport);
    const auto name = report.filename().u8string();
    EXPECT_EQ(std::string(name.begin(), name.end()), Cp1251ToUtf8(good.Head[1] + " KL.txt"));
    EXPECT_EQ(Read(report), expected.Ref());

    // A file tag cannot lead out of the folder.
    EXPECT_TRUE(fs::exists(options.OutDir / ".._.._x_y KL.txt"));

    const std::string messages = err.str();
    EXPECT_NE(messages.find((dir_ / "in" / "bad.klp").string() +
                            ": 'zero' is not a valid integer value.\n"),
              std::string::npos);
    EXPECT_NE(messages.find((dir_ / "in" / "missing.klp").string() + ": Cannot open file " +
                            (dir_ / "in" / "missing.klp").string() + ".\n"),
              std::string::npos);
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(options.OutDir)) ++files;
    EXPECT_EQ(files, 3);  // two reports and the summary; nothing for the failures

    const std::string csv = Read(*options.Summary);
    std::istringstream rows(csv);
    std::string row;
    std::vector<std::string> lines;
    while (std::getline(rows, row)) lines.push_back(row);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 17), "file,FileTag,subj");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 3), ",ok");
    EXPECT_NE(lines[2].find("'zero' is not a valid integer value."), std::string::npos);
}

TEST_F(Batch, DecimalSeparatorDecidesWhatReads) {
    protogen::TGenerateOptions o;
    o.Seed = 5;
    o.Decimal = ',';
    const fs::path comma = Protocol("comma.klp", protogen::GenerateProtocol(o));
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Protocols = {comma};
    std::ostringstream err;
    options.Decimal = '.';
    EXPECT_EQ(RunBatch(options, err, nullptr, false), 1);
    options.Decimal = ',';
    EXPECT_EQ(RunBatch(options, err, nullptr, false), 0);
    SetDecimalChar('.');
}

TEST_F(Batch, WithoutPicturesTheChartsStillFailAsInTheWindow) {
    // A negative SD and search times below zero: the search-time chart's left axis cannot
    // take the range, with or without pictures, and no report is written.
    auto p = protogen::BasicProtocol();
    p.Head[21] = "-1.0";
    p.Head[24] = "2";
    p.Records = {protogen::RecordLine(1, "1.0", "-0.500", " +"),
                 protogen::RecordLine(2, "6.0", "-0.700", " +")};
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Protocols = {Protocol("negative.klp", p)};
    std::ostringstream err;
    EXPECT_EQ(RunBatch(options, err, nullptr, false), 1);
    EXPECT_NE(err.str().find("negative.klp: Axis Maximum Value must be >= Minimum.\n"),
              std::string::npos)
        << err.str();
    EXPECT_TRUE(fs::is_empty(options.OutDir));
}

// Chart pictures that cannot be made.
class FailingPictures final : public TChartWriter {
    class Charts final : public TProtocolCharts {
      public:
        TTempoPlot& Tempo() override { return charts_.Tempo; }
        TSearchTimePlot& Search() override { return charts_.Search; }
        std::pair<TRgbImage, TRgbImage> Pictures() override {
            throw EFCreateError("Cannot create file picture");
        }

      private:
        TDetachedCharts charts_;
    };

  public:
    std::unique_ptr<TProtocolCharts> NewCharts() const override {
        return std::make_unique<Charts>();
    }
};

TEST_F(Batch, AProtocolWhosePicturesFailLeavesNoReport) {
    protogen::TGenerateOptions o;
    o.Seed = 4;
    const auto p = protogen::GenerateProtocol(o);
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Charts = true;
    options.Points = true;  // written before the pictures, removed again with the report
    options.Protocols = {Protocol("p.klp", p)};
    std::ostringstream err;
    FailingPictures pictures;
    EXPECT_EQ(RunBatch(options, err, &pictures, false), 1);
    EXPECT_NE(err.str().find(": Cannot create file "), std::string::npos);
    EXPECT_FALSE(fs::exists(OutputPath(options.OutDir, p.Head[1], output::kReport)));
    EXPECT_TRUE(fs::is_empty(options.OutDir));
}

// Pictures of one pixel, to see which names a run gives them.
class NamePictures final : public TChartWriter {
    class Charts final : public TProtocolCharts {
      public:
        TTempoPlot& Tempo() override { return charts_.Tempo; }
        TSearchTimePlot& Search() override { return charts_.Search; }
        std::pair<TRgbImage, TRgbImage> Pictures() override { return {{1, 1}, {1, 1}}; }

      private:
        TDetachedCharts charts_;
    };

  public:
    std::unique_ptr<TProtocolCharts> NewCharts() const override {
        return std::make_unique<Charts>();
    }
};

TEST_F(Batch, ProtocolsWithTheSameNamesAreNumberedNotLost) {
    protogen::TGenerateOptions o;
    o.Seed = 8;
    auto p = protogen::GenerateProtocol(o);
    p.Head[1] = "a/b";
    auto same = p;
    same.Head[2] = "second";
    auto sameFileName = p;  // another tag, the same file name
    sameFileName.Head[1] = "a_b";
    sameFileName.Head[2] = "third";
    auto broken = p;  // fails, so it takes no name
    broken.Head[9] = "x";
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Summary = dir_ / "summary.csv";
    options.Protocols = {Protocol("1.klp", p), Protocol("2.klp", broken), Protocol("3.klp", same),
                         Protocol("4.klp", sameFileName)};
    // A file of an earlier run is replaced as before.
    fs::create_directories(options.OutDir);
    WriteFileAtomically(options.OutDir / "a_b KL.txt", "earlier run");
    std::ostringstream err;
    NamePictures pictures;
    EXPECT_EQ(RunBatch(options, err, &pictures, false), 1);

    EXPECT_NE(Read(options.OutDir / "a_b KL.txt").find("\r\n\r\n"), std::string::npos);
    for (const auto& [stem, subject] :
         {std::pair{"a_b (2)", "second"}, std::pair{"a_b (3)", "third"}}) {
        SCOPED_TRACE(stem);
        EXPECT_NE(Read(options.OutDir / (std::string(stem) + " KL.txt")).find(subject),
                  std::string::npos);
        EXPECT_TRUE(fs::exists(options.OutDir / (std::string(stem) + " KL.5sec.gif")));
        EXPECT_TRUE(fs::exists(options.OutDir / (std::string(stem) + " KL.Choice.gif")));
    }
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(options.OutDir)) ++files;
    EXPECT_EQ(files, 9);

    // Each numbered protocol is named on stderr with the one whose names it would have taken.
    const std::string warnings = err.str();
    for (const char* later : {"3.klp", "4.klp"}) {
        const std::string line = (dir_ / "in" / later).string() + ": ";
        const auto at = warnings.find(line);
        ASSERT_NE(at, std::string::npos) << warnings;
        const std::string rest = warnings.substr(at, warnings.find('\n', at) - at);
        EXPECT_NE(rest.find((dir_ / "in" / "1.klp").string()), std::string::npos) << rest;
    }
    // The summary says which report each protocol got.
    const std::string csv = Read(*options.Summary);
    EXPECT_NE(csv.find(",report file,status\n"), std::string::npos);
    EXPECT_NE(csv.find("," + (options.OutDir / "a_b KL.txt").string() + ",ok\n"),
              std::string::npos);
    EXPECT_NE(csv.find("," + (options.OutDir / "a_b (3) KL.txt").string() + ",ok\n"),
              std::string::npos);
    EXPECT_NE(csv.find(",,'x' is not a valid integer value.\n"), std::string::npos);
}

#ifndef _WIN32
TEST_F(Batch, FullDiskAndUnwritableFoldersAreMessagesAndLeaveNoHalfFiles) {
    protogen::TGenerateOptions o;
    o.Seed = 9;
    const auto p = protogen::GenerateProtocol(o);
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Protocols = {Protocol("p.klp", p)};
    const fs::path report = OutputPath(options.OutDir, p.Head[1], output::kReport);
    fs::create_directories(options.OutDir);
    WriteFileAtomically(report, "earlier");
    std::ostringstream err;
    {
        const test::TFileSizeLimit full(100);
        EXPECT_EQ(RunBatch(options, err, nullptr, false), 1);
    }
    EXPECT_NE(err.str().find("p.klp: Stream write error.\n"), std::string::npos) << err.str();
    EXPECT_EQ(Read(report), "earlier");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(options.OutDir)) ++files;
    EXPECT_EQ(files, 1);

    // Output and summary in a folder where no file can be made: each says so.
    options.OutDir = "/proc/orvix-batch";
    options.Summary = "/proc/orvix-summary.csv";
    std::ostringstream err2;
    EXPECT_EQ(RunBatch(options, err2, nullptr, false), 1);
    EXPECT_NE(err2.str().find("p.klp: Cannot create file /proc/orvix-batch/"), std::string::npos)
        << err2.str();
    EXPECT_NE(err2.str().find("/proc/orvix-summary.csv: Cannot create file "
                              "/proc/orvix-summary.csv.\n"),
              std::string::npos)
        << err2.str();
}
#endif

TEST(BatchArguments, Usage) {
    std::ostringstream err;
    auto parse = [&](std::vector<std::string> args) { return ParseArguments(args, '.', err); };
    const auto ok = parse({"--decimal=,", "--out=o", "--summary=s.csv", "a", "--", "--b"});
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->Decimal, ',');
    EXPECT_EQ(ok->OutDir, fs::path("o"));
    ASSERT_EQ(ok->Protocols.size(), 2u);
    EXPECT_EQ(ok->Protocols[1], fs::path("--b"));
    EXPECT_EQ(parse({"a"})->Decimal, '.');
    EXPECT_FALSE(parse({}));
    EXPECT_FALSE(parse({"--decimal=ab", "a"}));
    EXPECT_FALSE(parse({"--frobnicate", "a"}));
    EXPECT_FALSE(parse({"--out=", "a"}));
    EXPECT_NE(err.str().find("usage: orvix-kl-batch"), std::string::npos);
    // A comparison is of exactly two tests and writes no batch outputs.
    EXPECT_EQ(parse({"--compare=e.klp", "--pdf", "l.klp"})->Compare, fs::path("e.klp"));
    EXPECT_FALSE(parse({"--compare=e.klp", "a", "b"}));
    EXPECT_FALSE(parse({"--compare=e.klp", "--summary=s.csv", "a"}));
}

TEST_F(Batch, AComparisonWithATestThatFailsShowsItsMessageAndNothingElse) {
    protogen::TGenerateOptions o;
    o.Seed = 5;
    const auto good = protogen::GenerateProtocol(o);
    auto bad = good;
    bad.Head[11] = "x";
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Compare = Protocol("earlier.klp", bad);
    options.Protocols = {Protocol("later.klp", good)};
    options.Pdf = true;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunComparison(options, out, err), 1);
    EXPECT_EQ(err.str(), options.Compare->string() + ": 'x' is not a valid integer value.\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(fs::exists(options.OutDir));

    options.Compare = options.Protocols.front();
    EXPECT_EQ(RunComparison(options, out, err), 0);
    EXPECT_NE(out.str().find("Первое: later.klp — "), std::string::npos) << out.str();
}

#if ORVIX_COMPARE_WARNINGS
// Records what the comparison page would have been given.
class TRecordedPages final : public TPageWriter {
  public:
    std::string Page(const TLoadedProtocol&, const std::string&,
                     const stats::TNormInput*) override {
        return {};
    }
    void WriteComparison(const TLoadedProtocol&, const TLoadedProtocol&,
                         const std::vector<std::string>& warnings, const fs::path&,
                         const stats::TNormInput*) override {
        pages.push_back(warnings);
    }
    std::vector<std::vector<std::string>> pages;
};

TEST_F(Batch, AComparisonOfTwoPeopleOrOfDatesOutOfOrderSaysSoFirst) {
    protogen::TGenerateOptions o;
    o.Seed = 8;
    auto earlier = protogen::GenerateProtocol(o);
    earlier.Head[1] = W1251("Кузнецов 10.03.2026");
    earlier.Head[2] = W1251("Испытуемый: Кузнецов Е.В., обследование 10.03.2026");
    auto later = earlier;
    later.Head[1] = W1251("Кузнецов 01.06.2026");
    later.Head[2] = W1251("Кузнецов  Е. В., 41 год");
    auto other = later;
    other.Head[2] = W1251("Петрова Анна Сергеевна, 29 лет");

    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Pdf = true;
    TRecordedPages pages;
    const auto run = [&](const protogen::TProtocolText& first,
                         const protogen::TProtocolText& second) {
        options.Compare = Protocol("first.klp", first);
        options.Protocols = {Protocol("second.klp", second)};
        std::ostringstream out, err;
        EXPECT_EQ(RunComparison(options, out, err, &pages), 0);
        EXPECT_EQ(err.str(), "");
        return out.str();
    };
    // One person, in order: the comparison as it always was.
    EXPECT_EQ(run(earlier, later).rfind("Сравнение", 0), 0u) << run(earlier, later);
    EXPECT_TRUE(pages.pages.back().empty());

    const std::string twoPeople =
        "Внимание: обследования разных испытуемых — «Кузнецов Е.В.» (первое) и «Петрова Анна "
        "Сергеевна» (повторное).\n";
    const std::string backwards =
        "Внимание: первое обследование (01.06.2026) датировано позже повторного (10.03.2026).\n";
    std::string text = run(earlier, other);
    EXPECT_EQ(text.rfind(twoPeople + "\n", 0), 0u) << text;
    EXPECT_EQ(pages.pages.back(),
              std::vector<std::string>{twoPeople.substr(0, twoPeople.size() - 1)});
    text = run(later, earlier);
    EXPECT_EQ(text.rfind(backwards + "\n", 0), 0u) << text;
    // The text after the warning is the comparison of the same two tests without it.
    EXPECT_NE(text.find("Первое: first.klp — "), std::string::npos);
}
#endif

}  // namespace
}  // namespace orvix::batch
