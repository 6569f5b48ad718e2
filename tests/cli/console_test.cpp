// Arguments reach a program exactly as given, through the tests' program runner (no shell) and
// the batch tool's argument reader (UTF-8 from the wide command line on Windows); the batch
// tool run on protocols with such names.
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

// "--name=VALUE" as one argument, with the value's characters kept whatever they are.
fs::path Option(std::u8string_view name, const fs::path& value) {
    fs::path option = Utf8Path(name);
    option += value;
    return option;
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

// The batch tool itself takes names outside any single-byte code page, for its protocols, its
// output folder and its summary; a build without Qt refuses --charts as bad usage.
TEST(BatchProgram, TakesNamesInAnyScript) {
    const fs::path dir =
        fs::temp_directory_path() / ("orvix-batch-names-" + std::to_string(std::random_device{}()));
    const fs::path out = dir / Utf8Path(u8"отчёты"), plainOut = dir / "plain";
    fs::create_directories(out);
    fs::create_directories(plainOut);
    const std::u8string name = u8"Протокол Иванова №1 €.klp";
    const fs::path protocol = dir / Utf8Path(name), plain = dir / "plain.klp";
    const fs::path sample = fs::path(ORVIX_SOURCE_DIR) / "Data" / "protocol-001.klp";
    fs::copy_file(sample, protocol);
    fs::copy_file(sample, plain);
    const fs::path batch = BuiltProgram("orvix-kl-batch");
    const fs::path summary = dir / Utf8Path(u8"сводка.csv");

    ASSERT_EQ(RunProgram(batch, {"--decimal=.", Option(u8"--out=", plainOut), plain}), 0);
    EXPECT_EQ(RunProgram(batch, {Option(u8"--out=", out), Option(u8"--summary=", summary),
                                 "--decimal=.", protocol}),
              0);
    std::vector<fs::path> reports;
    for (const auto& e : fs::directory_iterator(out)) reports.push_back(e.path());
    ASSERT_EQ(reports.size(), 1u);
    const fs::path plainReport = plainOut / reports[0].filename();
    EXPECT_EQ(ReadFile(reports[0]), ReadFile(plainReport));
    EXPECT_FALSE(ReadFile(plainReport).empty());
    const std::string csv = ReadFile(summary);
    EXPECT_NE(csv.find(std::string(name.begin(), name.end())), std::string::npos) << csv;

#if !ORVIX_BATCH_CHARTS
    EXPECT_EQ(RunProgram(batch, {"--charts", Option(u8"--out=", plainOut), plain}), 2);
#endif
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orvix::test
