// Files saved together: all or a prefix in staging order replace their targets, never a file
// half written, and no temporary file is left whatever fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/file_io.h"
#include "base/staged_files.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

class StagedFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-staged-" + std::to_string(std::random_device{}()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        for (const char* name : {"a", "b", "c"}) WriteFileAtomically(dir_ / name, "old");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Read(const char* name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path dir_;
};

TEST_F(StagedFiles, NothingChangesUntilTheCommitThenEveryTargetHasItsBytes) {
    TStagedFiles files;
    files.Add(dir_ / "a", "new a");
    files.Add(dir_ / "d", std::string("new\0d", 5));
    files.AddWritten(dir_ / "b", [](const fs::path& temporary) {
        std::ofstream(temporary, std::ios::binary) << "written b";
    });
    EXPECT_EQ(files.Count(), 3u);
    EXPECT_EQ(Read("a"), "old");
    EXPECT_FALSE(fs::exists(dir_ / "d"));
    files.Commit();
    EXPECT_EQ(files.Count(), 0u);
    EXPECT_EQ(Read("a"), "new a");
    EXPECT_EQ(Read("b"), "written b");
    EXPECT_EQ(Read("d"), std::string("new\0d", 5));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(StagedFiles, ATargetThatCannotBeWrittenIsRefusedWhenStagedAndTheOthersStay) {
    fs::create_directories(dir_ / "folder");
    TStagedFiles files;
    files.Add(dir_ / "a", "new a");
    try {
        files.Add(dir_ / "folder", "x");
        FAIL() << "staged over a folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + PathText(dir_ / "folder"));
    }
    EXPECT_THROW(files.Add(dir_ / "missing" / "x", "x"), EFCreateError);
    // What `write` throws passes on and leaves nothing.
    EXPECT_THROW(files.AddWritten(dir_ / "c",
                                  [](const fs::path& temporary) {
                                      std::ofstream(temporary) << "half";
                                      throw std::runtime_error("stopped");
                                  }),
                 std::runtime_error);
    EXPECT_EQ(files.Count(), 1u);
    files.Commit();
    EXPECT_EQ(Read("a"), "new a");
    EXPECT_EQ(Read("c"), "old");
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c", "folder"}));
}

TEST_F(StagedFiles, ARenameThatFailsLeavesThoseBeforeItDoneAndGivesUpTheRest) {
    TStagedFiles files;
    files.Add(dir_ / "a", "new a");
    files.Add(dir_ / "e", "new e");
    files.Add(dir_ / "c", "new c");
    // The second target turns into a folder that is not empty: no file can be renamed over it.
    fs::create_directories(dir_ / "e" / "inside");
    try {
        files.Commit();
        FAIL() << "renamed over a folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + PathText(dir_ / "e"));
    }
    EXPECT_EQ(Read("a"), "new a");
    EXPECT_EQ(Read("c"), "old");
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c", "e"}));
}

TEST_F(StagedFiles, DroppedOrNeverCommittedFilesLeaveTheirTargetsAsTheyWere) {
    {
        TStagedFiles files;
        files.Add(dir_ / "a", "new a");
        files.Add(dir_ / "b", "new b");
        files.Add(dir_ / "d", "new d");
        files.Drop(dir_ / "b");
        files.Drop(dir_ / "not staged");
        EXPECT_EQ(files.Count(), 2u);
        files.Commit();
        files.Add(dir_ / "c", "new c");  // goes with the object, uncommitted
    }
    EXPECT_EQ(Read("a"), "new a");
    EXPECT_EQ(Read("b"), "old");
    EXPECT_EQ(Read("c"), "old");
    EXPECT_EQ(Read("d"), "new d");
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

}  // namespace
}  // namespace orvix
