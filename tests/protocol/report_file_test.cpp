// The report's line list and its file: exact bytes, and failed saves that leave nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/errors.h"
#include "base/file_io.h"
#include "protocol/report.h"
#include "tests/support/file_size_limit.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

class ReportFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("orvix-report-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir_;
};

TEST_F(ReportFile, AddLineAndSaveWriteExactBytes) {
    TTextLines lines;
    lines.AddLine("A");
    lines.AddLine("");
    lines.AddLine("B");
    SaveLines(lines, dir_ / "r.txt");
    EXPECT_EQ(Read(dir_ / "r.txt"), "A\r\n\r\nB\r\n");

    // A text left unterminated by editing gets the break before the next line.
    lines.SetText("typed");
    lines.AddLine("next");
    EXPECT_EQ(lines.Text(), "typed\r\nnext");

    TTextLines empty;
    SaveLines(empty, dir_ / "empty.txt");
    EXPECT_TRUE(fs::exists(dir_ / "empty.txt"));
    EXPECT_EQ(fs::file_size(dir_ / "empty.txt"), 0u);
}

TEST_F(ReportFile, FailedSaveLeavesNothingBehind) {
    const fs::path missing = dir_ / "no such folder" / "r.txt";
    try {
        SaveLines("x", missing);
        FAIL() << "saved";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + PathText(missing));
    }

    // A folder in the target's place.
    fs::create_directories(dir_ / "taken");
    EXPECT_THROW(SaveLines("x", dir_ / "taken"), EFCreateError);

    // An existing file survives a failed save unchanged, and no temporary file is left.
    SaveLines("old", dir_ / "keep.txt");
    SaveLines("new content", dir_ / "keep.txt");
    EXPECT_EQ(Read(dir_ / "keep.txt"), "new content");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 2);  // keep.txt and the folder "taken"
}

#ifndef _WIN32
TEST_F(ReportFile, FullDiskAndAFolderThatTakesNoFilesKeepWhatWasThere) {
    SaveLines("old report", dir_ / "keep.txt");
    {
        const test::TFileSizeLimit full(16);  // room for 16 bytes only
        try {
            SaveLines(std::string(4096, 'x'), dir_ / "keep.txt");
            FAIL() << "saved";
        } catch (const EWriteError& e) {
            EXPECT_EQ(e.Message(), "Stream write error");
        }
    }
    EXPECT_EQ(Read(dir_ / "keep.txt"), "old report");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 1);  // no temporary file left

    // A folder where not even root can make a file.
    const fs::path proc = "/proc/orvix-report.txt";
    try {
        SaveLines("x", proc);
        FAIL() << "saved";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + PathText(proc));
    }
}
#endif

}  // namespace
}  // namespace orvix
