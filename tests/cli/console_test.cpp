// Arguments reach a program exactly as given, through the tests' program runner (no shell) and
// the batch tool's argument reader (UTF-8 from the wide command line on Windows).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace orvix::test {
namespace {
namespace fs = std::filesystem;

fs::path Utf8Path(std::u8string_view text) {
    return fs::path(std::u8string(text));
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Arguments, ArriveUnchangedWhateverTheyHold) {
    const fs::path dir =
        fs::temp_directory_path() / ("orvix-args-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const fs::path out = dir / Utf8Path(u8"аргументы с пробелом.bin");
    const std::u8string words[] = {
        u8"plain",      u8"with space",      u8"tab\there",
        u8"",           u8"quote\"inside",   u8"\"",
        u8"trailing\\", u8"two\\\\\"quoted", u8"\\\\server\\share\\",
        u8"*.klp",      u8"Протокол №1.klp", u8"euro €, not in any single-byte code page",
    };
    std::vector<fs::path> arguments{out};
    std::string expected;
    for (const auto& word : words) {
        arguments.push_back(Utf8Path(word));
        expected.append(word.begin(), word.end());
        expected += '\0';
    }

    EXPECT_EQ(RunProgram(BuiltProgram("print_args"), arguments), 0);
    EXPECT_EQ(ReadFile(out), expected);
    EXPECT_EQ(RunProgram(dir / "no such program", {}), -1);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orvix::test
