// Atomic, flushed saves: exact bytes, whatever they are, replace the target and nothing else is
// left in its folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "base/errors.h"
#include "base/file_io.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-file-io-" + std::to_string(std::random_device{}()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        return names;
    }
    fs::path dir_;
};

TEST_F(FileIo, SavesReplaceTheTargetByteForByteAndLeaveOnlyIt) {
    // Bytes a text mode would change or stop at: CR LF, lone LF, 0x1A, zero bytes; and a
    // picture-sized file across the buffers' boundaries.
    const std::string tricky(
        "a\r\nb\nc\x1A"
        "d\0e\xFF",
        11);
    std::string large(3 * 1024 * 1024 + 17, '\0');
    std::mt19937 random(7);
    for (char& c : large) c = static_cast<char>(random());

    const fs::path target = dir_ / "report KL.txt";
    for (const std::string& bytes : {tricky, large, std::string(), tricky}) {
        WriteFileAtomically(target, bytes);
        EXPECT_EQ(Read(target), bytes);
        EXPECT_EQ(Names(), std::vector<std::string>{"report KL.txt"});
    }
    EXPECT_EQ(ReadWholeFile(target), tricky);
}

TEST_F(FileIo, FailedSaveKeepsThePreviousFileAndLeavesNoTemporary) {
    const fs::path folder = dir_ / "taken";
    fs::create_directories(folder);
    const fs::path kept = dir_ / "kept.txt";
    WriteFileAtomically(kept, "previous");
    try {
        WriteFileAtomically(folder, "x");
        FAIL() << "wrote over a folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + PathText(folder));
    }
    EXPECT_THROW(WriteFileAtomically(dir_ / "missing" / "x.txt", "x"), EFCreateError);
    EXPECT_EQ(Read(kept), "previous");
    std::vector<std::string> names = Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"kept.txt", "taken"}));
}

TEST_F(FileIo, LongCyrillicPathsAreWrittenAndRead) {
    // Deeper than the 260 characters of the old Windows path limit, in folders named in
    // Cyrillic, as under a Russian user name.
    fs::path folder = dir_ / u8"Пользователь";
    while (folder.u16string().size() < 300) folder /= u8"Результаты обследований";
    fs::create_directories(folder);
    const fs::path target = folder / u8"Иванов KL.txt";
    WriteFileAtomically(target, "first");
    WriteFileAtomically(target, "second");
    EXPECT_EQ(ReadWholeFile(target), "second");
    // Nothing else is left beside the target: with it gone, each folder can be removed. (Not
    // by listing the folder: the directory listing of MinGW's runtime, which std::filesystem's
    // iterators and remove_all use on Windows, cuts paths at 260 characters.)
    ASSERT_TRUE(fs::remove(target));
    for (; folder != dir_; folder = folder.parent_path()) {
        std::error_code ec;
        EXPECT_TRUE(fs::remove(folder, ec)) << ec.message();
    }
}

}  // namespace
}  // namespace orvix
