// The export: the batch summary's cells for the same files, pseudonyms, owner-only files.
#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "archive/archive_export.h"
#include "cli/batch.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

// A CSV text as rows of fields (quotes as the batch summary writes them).
std::vector<std::vector<std::string>> ParseCsv(const std::string& csv) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                field.push_back(csv[++i]);
            else if (c == '"')
                quoted = false;
            else
                field.push_back(c);
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            rows.back().push_back(std::move(field));
            field.clear();
            rows.emplace_back();
        } else {
            field.push_back(c);
        }
    }
    rows.pop_back();
    return rows;
}

// Rows by their "file" field, each as column name -> field.
std::map<std::string, std::map<std::string, std::string>> ByFile(const std::string& csv) {
    const auto rows = ParseCsv(csv);
    std::map<std::string, std::map<std::string, std::string>> out;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].size(), rows[0].size());
        auto& row = out[rows[r][0]];
        for (std::size_t c = 0; c < rows[0].size() && c < rows[r].size(); ++c)
            row[rows[0][c]] = rows[r][c];
    }
    return out;
}

// A file name the CSV cells must quote. Windows allows no '"' in a file name: there an
// apostrophe stands in beside the comma.
#ifdef _WIN32
constexpr const char* kQuotedName = "spoilt, with 'quotes'";
#else
constexpr const char* kQuotedName = "spoilt, with \"quotes\"";
#endif

TEST_F(ArchiveTest, ExportHasTheBatchSummarysCellsForTheSameFiles) {
    std::vector<fs::path> files;
    for (int i = 1; i <= 8; ++i) files.push_back(Protocol("p" + std::to_string(i), i));
    auto a1 = protogen::GenerateProtocol({});
    a1.Head[9] = "zero";  // fails in the analysis
    files.push_back(Write(kQuotedName, a1));
    auto a2 = protogen::GenerateProtocol({});
    a2.Head[4] = "12";  // fails at the orientation
    files.push_back(Write("spoilt-2", a2));
    protogen::TGenerateOptions comma;
    comma.Decimal = ',';
    comma.Seed = 4;
    files.push_back(Write("comma", protogen::GenerateProtocol(comma)));

    batch::TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Summary = dir_ / "summary.csv";
    options.Protocols = files;
    testing::internal::CaptureStderr();
    const int batchStatus = batch::RunBatch(options, std::cerr, nullptr, false);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(batchStatus, 1);

    TArchive a(Db());
    Scan(a);
    EXPECT_FALSE(a.Export(dir_ / "export.csv"));
    const std::string csv = ReadBytes(dir_ / "export.csv");

    const auto header = ParseCsv(csv).front();
    std::vector<std::string> expected = {"file", "examinee", "test date", "FileTag", "subject"};
    expected.insert(expected.end(), stats::kFigureColumns.begin(), stats::kFigureColumns.end());
    expected.push_back("status");
    EXPECT_EQ(header, expected);

    const auto batchRows = ByFile(ReadBytes(dir_ / "summary.csv"));
    const auto archiveRows = ByFile(csv);
    ASSERT_EQ(archiveRows.size(), files.size());
    int failed = 0;
    for (const auto& [file, row] : batchRows) {
        ASSERT_TRUE(archiveRows.count(file)) << file;
        const auto& mine = archiveRows.at(file);
        for (const auto& [column, value] : row) {
            if (column == "report file") continue;
            EXPECT_EQ(mine.at(column), value) << file << " / " << column;
        }
        EXPECT_EQ(mine.at("test date").size(), 10u);
        EXPECT_FALSE(mine.at("examinee").empty());
        failed += row.at("status") != "ok";
    }
    EXPECT_EQ(failed, 3);
}

TEST_F(ArchiveTest, PseudonymousExportKeepsNoNameAndTheSamePersonTheSameCode) {
    auto first = protogen::GenerateProtocol({});
    first.Head[2] = W1251("кузнецов е. в., обследование 02.02.2026");
    Write("Кузнецов-1", first);
    auto again = protogen::GenerateProtocol({});
    again.Head[1] = W1251("Кузнецов Е.В. 01.01.2026");
    again.Head[2] = W1251("Испытуемый: Кузнецов Е.В., обследование 01.01.2026");
    Write("Кузнецов-2", again);
    auto other = again;
    other.Head[2] = W1251("Испытуемая: Петрова А.А.");
    other.Head[9] = "zero";
    Write("Петрова", other);
    TArchive a(Db());
    Scan(a);
    TExportOptions o;
    o.Pseudonyms = true;
    a.Export(dir_ / "anon.csv", o);
    const std::string csv = ReadBytes(dir_ / "anon.csv");
    for (const char* name : {"Кузнецов", "Петрова", "КУЗНЕЦОВ", "in/"})
        EXPECT_EQ(csv.find(name), std::string::npos) << name << "\n" << csv;
    const auto rows = ParseCsv(csv);
    ASSERT_EQ(rows.size(), 4u);
    std::map<std::string, int> codes;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r][0].rfind("T-", 0), 0u);
        EXPECT_EQ(rows[r][1], rows[r][4]);  // subject is the pseudonym too
        EXPECT_EQ(rows[r][3], "");          // no FileTag
        ++codes[rows[r][1]];
    }
    // Кузнецов Е.В. twice, Петрова once.
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_TRUE((codes.begin()->second == 2) != (std::next(codes.begin())->second == 2));
    a.Export(dir_ / "anon-again.csv", o);
    EXPECT_EQ(ReadBytes(dir_ / "anon-again.csv"), csv);
}

#ifndef _WIN32
TEST_F(ArchiveTest, DatabaseCopiesAndExportsAreTheOwnersOnlyWhateverTheUmask) {
    Protocol("p1", 1);
    const mode_t saved = ::umask(0);
    {
        TArchive a(Db());
        Scan(a);
        struct stat info {};
        fs::path wal = Db(), shm = Db();
        wal += "-wal";
        shm += "-shm";
        for (const fs::path& f : {Db(), wal, shm}) {
            ASSERT_EQ(::stat(f.c_str(), &info), 0) << f;
            EXPECT_EQ(info.st_mode & 0777, 0600u) << f;
        }
        a.RenameExaminee(a.Tests().front().ExamineeId, "Иванов И.И.");
        a.Export(dir_ / "export.csv");
        WriteBytes(dir_ / "old.csv", "old");
        ::chmod((dir_ / "old.csv").c_str(), 0644);
        a.Export(dir_ / "old.csv");
        for (const fs::path& f : {a.CorrectionsCopyPath(), dir_ / "export.csv", dir_ / "old.csv"}) {
            ASSERT_EQ(::stat(f.c_str(), &info), 0) << f;
            EXPECT_EQ(info.st_mode & 0777, 0600u) << f;
        }
    }
    ::umask(saved);
}
#endif

}  // namespace
}  // namespace orvix::archive::test
