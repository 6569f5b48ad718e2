// orvix-kl-batch --norms and --db: which norm rows a protocol is scored against, what is warned
// and how often, what the pages are given, and what is refused before anything is written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "base/file_io.h"
#include "cli/batch.h"
#include "stats/norm_table_csv.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix::batch {
namespace {
namespace fs = std::filesystem;

// Accuracy norms for anyone, for ages 10-12, for girls of 10-12; a small group for N+.
constexpr const char* kNorms =
    "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,source\n"
    "t,1,accuracy,any,,,,100,0.9,0.05,higher,0.8,s\n"
    "t,1,accuracy,any,10,12,,60,0.8,0.1,higher,,s\n"
    "t,1,accuracy,female,10,12,,40,0.7,0.1,higher,,s\n"
    "t,1,N+,any,10,12,,20,300,50,higher,,s\n";

std::shared_ptr<const stats::TNormTable> Table(const char* csv) {
    stats::TNormRead read = stats::ReadNormTable(csv);
    EXPECT_FALSE(read.Error) << read.Error->Message;
    return std::make_shared<const stats::TNormTable>(std::move(read.Table));
}

// What an archive would know of some protocols.
class TKnownTests final : public TExamineeSource {
  public:
    std::optional<TKnownTest> Find(const fs::path& protocol) const override {
        const auto it = tests.find(protocol);
        if (it == tests.end()) return std::nullopt;
        return it->second;
    }
    std::map<fs::path, TKnownTest> tests;
};

TKnownTest Known(stats::TSex sex, const char* birth, const char* test) {
    return {{sex, stats::ParseDate(birth), {}}, stats::ParseDate(test)};
}

std::vector<stats::TCell> Figures(double accuracy, double nPlus) {
    std::vector<stats::TCell> cells(stats::kFigureColumns.size());
    cells[*stats::FigureColumn("accuracy")] = stats::TCell::Real(accuracy);
    cells[*stats::FigureColumn("N+")] = stats::TCell::Whole(nPlus);
    return cells;
}

TEST(BatchNorms, TheExamineeChoosesTheRowsAndWarningsOfEveryProtocolAreTold) {
    auto source = std::make_unique<TKnownTests>();
    source->tests["girl.klp"] = Known(stats::TSex::Female, "2014-05-20", "2025-05-19");  // 10
    source->tests["boy.klp"] = Known(stats::TSex::Male, "2010-01-01", "2025-06-01");     // 15
    source->tests["undated.klp"] = Known(stats::TSex::Female, "2014-05-20", "");
    const TBatchNorms norms(Table(kNorms), std::move(source));
    EXPECT_EQ(norms.Columns(),
              (std::vector<std::string>{"accuracy z", "accuracy T", "accuracy percentile", "N+ z",
                                        "N+ T", "N+ percentile"}));

    TToldNorms told;
    const auto score = [&](const char* file, double accuracy) {
        return norms.Score(norms.InputFor(file), Figures(accuracy, 280));
    };
    // The girl of ten: her own row (0.7, 0.1), z = 1.5.
    const TProtocolScores girl = score("girl.klp", 0.85);
    EXPECT_EQ(girl.Examinee.Age, 10);
    std::vector<stats::TCell> cells = norms.Cells(&girl);
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_NEAR(cells[0].Value, 1.5, 1e-12);
    EXPECT_NEAR(cells[1].Value, 65, 1e-10);
    EXPECT_NEAR(cells[2].Value, 100 * 0.5 * std::erfc(-1.5 / std::sqrt(2.0)), 1e-9);
    EXPECT_EQ(cells[1].Digits, stats::kStatisticsDigits);
    EXPECT_NEAR(cells[3].Value, -0.4, 1e-12);  // (280 - 300) / 50
    const std::vector<std::string> girlSays = norms.Warnings(girl, told);
    ASSERT_EQ(girlSays.size(), 1u);
    EXPECT_EQ(girlSays[0].rfind("нормы, «N+»: нормативная группа мала: n = 20", 0), 0u)
        << girlSays[0];

    // The boy of fifteen: accuracy against the row without an age range, which is there for
    // the ages the others leave out; N+ has none, so the nearest age group, which is said for
    // him and again for the next such protocol. The small group was told already.
    const TProtocolScores boy = score("boy.klp", 0.85);
    EXPECT_NEAR(norms.Cells(&boy)[0].Value, -1, 1e-12);  // (0.85 - 0.9) / 0.05
    EXPECT_NEAR(norms.Cells(&boy)[3].Value, -0.4, 1e-12);
    const std::vector<std::string> boySays = norms.Warnings(boy, told);
    ASSERT_EQ(boySays.size(), 1u);
    EXPECT_EQ(
        boySays[0].rfind("нормы, «N+»: возраст 15 вне возраста нормативной группы (10–12)", 0), 0u)
        << boySays[0];
    EXPECT_EQ(norms.Warnings(boy, told), boySays);

    // Without a test date, or not known at all: the rows for anyone; N+ has none, which is
    // told once for every protocol of whom nothing is known, and each time for one who is.
    const TProtocolScores undated = score("undated.klp", 0.85);
    EXPECT_EQ(undated.Examinee.Sex, stats::TSex::Female);
    EXPECT_FALSE(undated.Examinee.Age);
    EXPECT_NEAR(norms.Cells(&undated)[0].Value, -1, 1e-12);  // (0.85 - 0.9) / 0.05
    EXPECT_EQ(norms.Cells(&undated)[4].Kind, stats::TCell::TKind::Empty);
    const TProtocolScores stranger = score("stranger.klp", 0.95);
    EXPECT_NEAR(norms.Cells(&stranger)[0].Value, 1, 1e-12);
    EXPECT_EQ(norms.Warnings(undated, told).size(), 1u);
    EXPECT_EQ(norms.Warnings(undated, told).size(), 1u);
    EXPECT_EQ(norms.Warnings(stranger, told).size(), 1u);
    EXPECT_TRUE(norms.Warnings(stranger, told).empty());
    // A protocol without scores has empty cells.
    for (const stats::TCell& c : norms.Cells(nullptr))
        EXPECT_EQ(c.Kind, stats::TCell::TKind::Empty);
}

TEST(BatchNorms, AComparisonIsMeasuredForTheExamineeAtTheEarlierTest) {
    auto source = std::make_unique<TKnownTests>();
    source->tests["before.klp"] = Known(stats::TSex::Female, "2014-05-20", "2024-05-19");  // 9
    source->tests["after.klp"] = Known(stats::TSex::Male, "2010-01-01", "2025-06-01");     // 15
    const TBatchNorms norms(Table(kNorms), std::move(source));
    const auto examinee = [&](const char* earlier, const char* later) {
        return norms.ComparisonInput(earlier, later, stats::ParseDate("2024-06-01"))
            .ExamineeAtTest();
    };
    // The archive's data of the earlier test, with its date from the archive.
    EXPECT_EQ(examinee("before.klp", "after.klp").Sex, stats::TSex::Female);
    EXPECT_EQ(examinee("before.klp", "after.klp").Age, 9);
    // Only the later test known: its examinee at the earlier test's date from the protocol.
    EXPECT_EQ(examinee("unknown.klp", "after.klp").Sex, stats::TSex::Male);
    EXPECT_EQ(examinee("unknown.klp", "after.klp").Age, 14);
    EXPECT_EQ(examinee("unknown.klp", "other.klp").Sex, stats::TSex::Any);
    EXPECT_FALSE(examinee("unknown.klp", "other.klp").Age);
}

class BatchWithNorms : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-batch-norms-" + std::to_string(std::random_device{}()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        protogen::TGenerateOptions o;
        o.Seed = 17;
        protocol_ = dir_ / "p.klp";
        protogen::WriteProtocolFile(protogen::GenerateProtocol(o), protocol_);
        WriteFileAtomically(dir_ / "norms.csv", kNorms);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    fs::path protocol_;
};

// Records what the pages are given.
class TRecordedNorms final : public TPageWriter {
  public:
    std::string Page(const TLoadedProtocol&, const std::string&,
                     const stats::TNormInput* norms) override {
        pages.push_back(norms ? norms->Table->Rows.size() : 0);
        return "%PDF";
    }
    void WriteComparison(const TLoadedProtocol&, const TLoadedProtocol&,
                         const std::vector<std::string>&, const fs::path&,
                         const stats::TNormInput* norms) override {
        pages.push_back(norms ? norms->Table->Rows.size() : 0);
    }
    std::vector<std::size_t> pages;
};

TEST_F(BatchWithNorms, ThePagesAreGivenTheNormsOnlyWithNorms) {
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Pdf = true;
    options.Protocols = {protocol_};
    TRecordedNorms pages;
    std::ostringstream err, out;
    EXPECT_EQ(RunBatch(options, err, nullptr, false, &pages), 0);
    options.Compare = protocol_;
    EXPECT_EQ(RunComparison(options, out, err, &pages), 0);
    options.Norms = dir_ / "norms.csv";
    EXPECT_EQ(RunComparison(options, out, err, &pages), 0);
    options.Compare.reset();
    EXPECT_EQ(RunBatch(options, err, nullptr, false, &pages), 0);
    EXPECT_EQ(pages.pages, (std::vector<std::size_t>{0, 0, 4, 4}));
}

TEST_F(BatchWithNorms, AnArchiveThatIsNotThereIsRefusedNotMade) {
    TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Summary = dir_ / "summary.csv";
    options.Protocols = {protocol_};
    options.Norms = dir_ / "norms.csv";
    options.Database = dir_ / "archive.db";
    std::ostringstream err, out;
    EXPECT_EQ(RunBatch(options, err, nullptr, false), 2);
    EXPECT_EQ(err.str().rfind("orvix-kl-batch: --db: ", 0), 0u) << err.str();
    EXPECT_NE(err.str().find("archive.db"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dir_ / "archive.db"));
    EXPECT_FALSE(fs::exists(*options.Summary));
    options.Compare = protocol_;
    options.Summary.reset();
    EXPECT_EQ(RunComparison(options, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(fs::exists(options.OutDir));
}

TEST(BatchArguments, NormsAndTheirArchive) {
    std::ostringstream err;
    auto parse = [&](std::vector<std::string> args) { return ParseArguments(args, '.', err); };
    const auto ok = parse({"--norms=n.csv", "--db=a.db", "--summary=s.csv", "p.klp"});
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->Norms, fs::path("n.csv"));
    EXPECT_EQ(ok->Database, fs::path("a.db"));
    EXPECT_TRUE(parse({"--compare=e.klp", "--norms=n.csv", "--pdf", "l.klp"}));
    EXPECT_FALSE(parse({"--norms=", "p.klp"}));
    // The archive gives nothing but the examinees' data for the norms.
    EXPECT_FALSE(parse({"--db=a.db", "p.klp"}));
    EXPECT_NE(err.str().find("--db is used only with --norms"), std::string::npos);
}

}  // namespace
}  // namespace orvix::batch
