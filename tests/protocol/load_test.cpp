// The line buffer, descrambling and reading protocol files.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>

#include "base/errors.h"
#include "base/file_io.h"
#include "protocol/protocol.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

TEST(LineBuffer, SplitsLinesAtEveryKindOfBreak) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"A\r\nB", {"A", "B"}},
        {"A\r\nB\r\n", {"A", "B", ""}},
        {"A\nB\rC\r\n\r\nD", {"A", "B", "C", "", "D"}},
        {"\r\n", {"", ""}},
        {"\n\n", {"", "", ""}},
        {"", {}},
        {"only", {"only"}},
        {"\r\r\n", {"", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TLineBuffer buffer;
        buffer.ReplaceText(c.text);
        ASSERT_EQ(buffer.LineCount(), static_cast<std::int64_t>(c.lines.size()));
        for (std::size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(buffer.LineAt(i), c.lines[i]);
        EXPECT_EQ(buffer.LineAt(static_cast<std::int64_t>(c.lines.size())), "");
        EXPECT_EQ(buffer.LineAt(1000), "");
        EXPECT_EQ(buffer.LineAt(-1), "");
        EXPECT_EQ(buffer.WholeText(), c.text);  // breaks are kept as they are
    }
}

TEST(LineBuffer, CutsAtByteZeroAndReadsThroughTheWindow) {
    TLineBuffer buffer;
    buffer.ReplaceText(std::string("abc\0def", 7));
    EXPECT_EQ(buffer.WholeText(), "abc");

    const std::string longLine(5000, 'x');
    buffer.ReplaceText(longLine + "\r\nnext");
    EXPECT_EQ(buffer.LineAt(0), std::string(4096, 'x'));
    EXPECT_EQ(buffer.LineAt(1), "next");
}

TEST(Descramble, IsItsOwnInverseAndCyclesTheKey) {
    const std::string plain = "Hello, world! \xcf\xf0\xe8\xe2\xe5\xf2 0123456789";
    EXPECT_EQ(DescrambleText(DescrambleText(plain)), plain);
    // Nine characters use the key once; the tenth starts it again.
    const std::string nine(9, '\0');
    EXPECT_EQ(DescrambleText(nine), "quintabel");
    EXPECT_EQ(DescrambleText(std::string(10, '\0')), "quintabelq");
    // The block path and the byte path agree for every length around the block size.
    for (std::size_t n = 60; n < 160; ++n) {
        std::string text(n, '\0');
        const std::string out = DescrambleText(text);
        for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(out[i], ProtocolKey[i % 9]) << n << " " << i;
    }
}

class ProtocolFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-load-" + std::to_string(std::random_device{}()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }
    fs::path dir_;
};

TEST_F(ProtocolFile, ReadsBytesAsTheyAreBeforeDescrambling) {
    // 'q', 'x' and 'c' at positions 1-3 scramble to the bytes 0, CR and LF. A reader that cut
    // the scrambled bytes at 0, or turned lone CR / LF bytes into CR LF before descrambling,
    // would lose the text or shift the key for the rest of it.
    const std::string plain = "qxc line one\r\nsecond line\r\nthird";
    const std::string scrambled = DescrambleText(plain);
    ASSERT_EQ(scrambled.substr(0, 3), std::string("\0\r\n", 3));
    TLineBuffer buffer;
    LoadProtocol(buffer, Write("p.klp", scrambled));
    EXPECT_EQ(buffer.WholeText(), plain);
    EXPECT_EQ(buffer.LineAt(0), "qxc line one");
    EXPECT_EQ(buffer.LineAt(2), "third");
}

TEST_F(ProtocolFile, ZeroAfterDescramblingEndsTheText) {
    // A descrambled byte 0 at position 5 leaves a text of 4 characters.
    const std::string withZero("abcd\0efgh", 9);
    TLineBuffer buffer;
    LoadProtocol(buffer, Write("z.klp", DescrambleText(withZero)));
    EXPECT_EQ(buffer.WholeText(), "abcd");
}

TEST_F(ProtocolFile, FailuresKeepThePreviousText) {
    TLineBuffer buffer;
    LoadProtocol(buffer, Write("good.klp", DescrambleText("kept\r\ntext")));
    const fs::path missing = dir_ / "missing.txt";
    try {
        LoadProtocol(buffer, missing);
        FAIL() << "loaded";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + PathText(missing));
    }
    EXPECT_THROW(LoadProtocol(buffer, dir_), EFOpenError);  // a folder
    EXPECT_EQ(buffer.LineAt(0), "kept");

    // Too large: the limit is a parameter of the reader.
    const fs::path big = Write("big", std::string(100, 'x'));
    try {
        ReadWholeFile(big, 99);
        FAIL() << "read";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Text exceeds memo capacity");
    }
    EXPECT_EQ(ReadWholeFile(big, 100).size(), 100u);

    LoadProtocol(buffer, Write("empty", ""));
    EXPECT_EQ(buffer.LineCount(), 0);
    EXPECT_EQ(buffer.LineAt(0), "");
}

#ifndef _WIN32
TEST_F(ProtocolFile, OnlyRegularFilesAreReadAndNeverBlock) {
    // A pipe with no writer would make a plain open wait for ever; a device never ends.
    const fs::path pipe = dir_ / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const fs::path& p : {pipe, fs::path("/dev/zero"), fs::path("/dev/null")}) {
        SCOPED_TRACE(p.string());
        try {
            ReadWholeFile(p);
            FAIL() << "read";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "Cannot open file " + PathText(p));
        }
    }
    // A file whose reported size is 0 is read to its end.
    ASSERT_EQ(fs::file_size("/proc/self/status"), 0u);
    EXPECT_NE(ReadWholeFile("/proc/self/status").find("Name:"), std::string::npos);
}
#endif

}  // namespace
}  // namespace orvix
