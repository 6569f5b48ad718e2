// ppm2gif: PPM parsing and the tool's outcome.
#include <gtest/gtest.h>

#include <fstream>

#include "export/gif_encoder.h"
#include "gif_check.h"
#include "tests/support/run_program.h"
#include "tools/ppm2gif/ppm_reader.h"

namespace orvix::test {
namespace {

const std::string kTwoPixels = std::string("P6\n# two\n2 1\n255\n") + "\x01\x02\x03\xFA\xFB\xFC";

TEST(Ppm, RejectsWhatIsNotABinaryPpmOf255) {
    const std::pair<const char*, std::string> cases[] = {
        {"not a binary PPM", "P3\n2 1\n255\n1 2 3 4 5 6"},
        {"maxval 65535 is not 255", "P6\n2 1\n65535\n" + std::string(12, 'x')},
        {"width is not a number", "P6\nx 1\n255\n"},
        {"header is truncated", "P6\n2 1\n"},
        {"header is malformed", "P6 2 1 255x" + std::string(6, 'x')},
        {"width is too large", "P6 70000 1 255\n"},
        {"data is truncated: 5 of 6 bytes", kTwoPixels.substr(0, kTwoPixels.size() - 1)},
    };
    for (const auto& [reason, text] : cases) {
        try {
            ParsePpm(text);
            ADD_FAILURE() << "accepted: " << reason;
        } catch (const EPpmError& e) {
            EXPECT_NE(e.Message().find(reason), std::string::npos) << e.Message();
        }
    }
}

int RunTool(const std::filesystem::path& in, const std::filesystem::path& out) {
    return RunProgram(BuiltProgram("ppm2gif"), {in, out});
}

TEST(Ppm2gif, EncodesLikeTheSnapshotAndWritesNothingOnFailure) {
    TempDir dir;
    const auto good = dir.Path() / "good.ppm", bad = dir.Path() / "bad.ppm";
    const auto out = dir.Path() / "out.gif", kept = dir.Path() / "kept.gif";
    std::ofstream(good, std::ios::binary) << kTwoPixels;
    std::ofstream(bad, std::ios::binary) << kTwoPixels.substr(0, 20);
    std::ofstream(kept) << "previous";

    EXPECT_EQ(RunTool(good, out), 0);
    EXPECT_EQ(ReadBytes(out), EncodeGif(ParsePpm(kTwoPixels)));
    EXPECT_EQ(RunTool(bad, dir.Path() / "new.gif"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "new.gif"));
    EXPECT_EQ(RunTool(bad, kept), 1);
    EXPECT_EQ(RunTool(dir.Path() / "missing.ppm", kept), 1);
    EXPECT_EQ(ReadBytes(kept), "previous");
}

}  // namespace
}  // namespace orvix::test
