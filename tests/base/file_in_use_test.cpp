// Windows: a save whose target another program holds open (as a spreadsheet program holds an
// open CSV) fails with a message naming the file, keeps the earlier file whole and leaves no
// temporary file; once the other program lets go, the same save succeeds.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

class FileInUse : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (u8"orvix-занят-" + std::u8string(reinterpret_cast<const char8_t*>(
                                       std::to_string(std::random_device{}()).c_str())));
        fs::create_directories(dir_);
        target_ = dir_ / u8"выборы KL.csv";
        WriteFileAtomically(target_, "earlier");
    }
    void TearDown() override {
        if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
        fs::remove_all(dir_);
    }
    // Opens the target as another program would, sharing only `share`.
    void Hold(DWORD share) {
        held_ = CreateFileW(target_.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held_, INVALID_HANDLE_VALUE) << GetLastError();
    }
    void Release() {
        CloseHandle(held_);
        held_ = INVALID_HANDLE_VALUE;
    }
    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(dir_)) files.push_back(e.path().filename());
        return files;
    }
    void ExpectRefusedAsInUse() {
        try {
            WriteFileAtomically(target_, "later");
            FAIL() << "replaced a file another program holds open";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(Cp1251ToUtf8(e.Message()),
                      "Файл " + Cp1251ToUtf8(PathText(target_)) +
                          " открыт в другой программе. Закройте его там и сохраните снова");
        }
        EXPECT_EQ(ReadWholeFile(target_), "earlier");
        EXPECT_EQ(Files(), std::vector<fs::path>{target_.filename()});
    }

    fs::path dir_;
    fs::path target_;
    HANDLE held_ = INVALID_HANDLE_VALUE;
};

TEST_F(FileInUse, OpenWithoutSharingWriteIsReportedAndKept) {
    Hold(FILE_SHARE_READ);
    ExpectRefusedAsInUse();
    Release();
    WriteFileAtomically(target_, "later");
    EXPECT_EQ(ReadWholeFile(target_), "later");
}

TEST_F(FileInUse, OpenWithoutSharingDeleteIsReportedAndKept) {
    // Writing in place would be allowed, but replacing the file by the finished copy is not.
    Hold(FILE_SHARE_READ | FILE_SHARE_WRITE);
    ExpectRefusedAsInUse();
}

TEST(ProgramManifest, DeclaresUtf8AsTheNarrowCodePage) {
    // The programs' manifest, which this test program carries too, makes the narrow strings
    // of the C runtime and of Qt (command line, environment) UTF-8 whatever the system's
    // language.
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
}

}  // namespace
}  // namespace orvix
