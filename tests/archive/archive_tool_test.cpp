// orvix-kl-archive's command line: usage, the counts line, messages and exit status; and the
// scan refusing exactly what the Data command refuses.
#include <sstream>

#include "archive/scan_file.h"
#include "base/errors.h"
#include "base/numbers.h"
#include "cli/archive_tool.h"
#include "plots/result_plots.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

using archive_tool::ParseArchiveArguments;
using archive_tool::RunArchiveTool;
using archive_tool::TCommand;

TEST(ArchiveToolArguments, TheTwoFormsAndBadUsage) {
    std::ostringstream err;
    auto scan = ParseArchiveArguments({"--db=a.db", "--decimal=,", "scan", "x", "y"}, '.', err);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->Command, TCommand::Scan);
    EXPECT_EQ(scan->Decimal, ',');
    EXPECT_EQ(scan->Paths.size(), 2u);
    auto exp = ParseArchiveArguments({"--db=a.db", "--pseudonyms", "export", "out.xlsx"}, '.', err);
    ASSERT_TRUE(exp);
    EXPECT_EQ(exp->Command, TCommand::Export);
    EXPECT_TRUE(exp->Pseudonyms);
    EXPECT_TRUE(err.str().empty());
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"scan", "x"},
                                                {"--db=a.db", "scan"},
                                                {"--db=a.db"},
                                                {"--db=a.db", "export"},
                                                {"--db=a.db", "export", "a.csv", "b.csv"},
                                                {"--db=a.db", "--decimal=ab", "scan", "x"},
                                                {"--db=a.db", "--pseudonyms", "scan", "x"},
                                                {"--db=a.db", "--frobnicate", "scan", "x"},
                                                {"--db=a.db", "rescan", "x"}}) {
        std::ostringstream e;
        EXPECT_FALSE(ParseArchiveArguments(bad, '.', e)) << bad.size();
        EXPECT_NE(e.str().find("usage: orvix-kl-archive"), std::string::npos);
    }
}

TEST_F(ArchiveTest, ScanPrintsTheCountsAndFailuresAsTheBatchToolDoes) {
    Protocol("p1", 1);
    auto spoilt = protogen::GenerateProtocol({});
    spoilt.Head[9] = "zero";
    const fs::path bad = Write("spoilt", spoilt);
    WriteBytes(In() / "notes.txt", "x");
    archive_tool::TArchiveOptions o;
    o.Database = Db();
    o.Paths = {In()};
    std::ostringstream out, err;
    EXPECT_EQ(RunArchiveTool(o, out, err, false), 1);
    EXPECT_EQ(out.str(),
              "добавлено: 2, изменено: 0, без изменений: 0, пропало: 0, с ошибкой: 1, "
              "пропущено файлов: 1\n");
    // The batch tool's line for the same file.
    std::string message;
    try {
        SetDecimalChar('.');
        LoadAsDataCommand(bad, '.');
    } catch (const Exception& e) {
        message = Cp1251ToUtf8(FailureText(e.Message()));
    }
    EXPECT_EQ(err.str(), Utf8Path(bad) + ": " + message + "\n");

    fs::remove(bad);
    std::ostringstream out2, err2;
    EXPECT_EQ(RunArchiveTool(o, out2, err2, false), 0);
    EXPECT_EQ(out2.str(),
              "добавлено: 0, изменено: 0, без изменений: 1, пропало: 1, с ошибкой: 0, "
              "пропущено файлов: 1\n");

    // Corrections out and in, and an export.
    o.Command = TCommand::ExportCorrections;
    o.Paths = {dir_ / "corrections.txt"};
    EXPECT_EQ(RunArchiveTool(o, out2, err2, false), 0);
    o.Command = TCommand::ImportCorrections;
    EXPECT_EQ(RunArchiveTool(o, out2, err2, false), 0);
    o.Command = TCommand::Export;
    o.Paths = {dir_ / "all.csv"};
    EXPECT_EQ(RunArchiveTool(o, out2, err2, false), 0);
    EXPECT_TRUE(fs::exists(dir_ / "all.csv"));
    // A database that cannot be made: a message and 1.
    WriteBytes(dir_ / "file", "x");
    o.Database = dir_ / "file" / "archive.db";
    std::ostringstream err3;
    EXPECT_EQ(RunArchiveTool(o, out2, err3, false), 1);
    EXPECT_NE(err3.str().find("orvix-kl-archive: "), std::string::npos);
}

TEST_F(ArchiveTest, TheScanRefusesExactlyWhatDataRefusesWithDataMessages) {
    // Every header line in turn spoilt several ways, a cut file, a failing chart range.
    std::vector<protogen::TProtocolText> cases;
    protogen::TGenerateOptions g;
    g.Seed = 5;
    const auto base = protogen::GenerateProtocol(g);
    for (std::size_t line = 0; line < base.Head.size(); ++line)
        for (const char* value : {"x", "", "-1", "0", "1e400", "99999999999"}) {
            auto p = base;
            p.Head[line] = value;
            cases.push_back(p);
        }
    auto cut = base;
    cut.Records.resize(cut.Records.size() / 2);
    cases.push_back(cut);
    auto wild = base;
    wild.Records[3] = protogen::RecordLine(7, "1e300", "0.5", " +");
    cases.push_back(wild);
    SetDecimalChar('.');
    int failing = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const fs::path file = Write("case-" + std::to_string(i), cases[i]);
        std::string expected;
        try {
            LoadAsDataCommand(file, '.');
        } catch (const Exception& e) {
            expected = Cp1251ToUtf8(FailureText(e.Message()));
        }
        const TScannedFile scanned = ScanFile(file, fs::file_size(file), '.');
        ASSERT_EQ(scanned.Kind, TScannedFile::TKind::Protocol) << i;
        EXPECT_EQ(scanned.Ok, expected.empty()) << i;
        EXPECT_EQ(scanned.Message, expected) << i;
        failing += !expected.empty();
    }
    // The cases do reach failures of many kinds, not only loads that succeed.
    EXPECT_GE(failing, 30);
}

}  // namespace
}  // namespace orvix::archive::test
