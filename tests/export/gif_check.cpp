#include "gif_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "tests/support/run_program.h"

namespace orvix::test {
namespace fs = std::filesystem;

namespace {
int Word(const std::string& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}
std::uint8_t Byte(const std::string& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]);
}
}  // namespace

GifFile ParseGif(const std::string& bytes) {
    GifFile file;
    if (bytes.size() < 13 + 768 + 10 + 4) {
        ADD_FAILURE() << "file of " << bytes.size() << " bytes is too short";
        return file;
    }
    EXPECT_EQ(bytes.substr(0, 6), "GIF87a");
    file.Width = Word(bytes, 6);
    file.Height = Word(bytes, 8);
    // 256-entry global table of 8 bits, background 0, aspect 0.
    EXPECT_EQ(bytes.substr(10, 3), std::string("\xF7\0\0", 3));
    for (int i = 0; i < 256; ++i)
        file.Palette.push_back(
            {Byte(bytes, 13 + 3 * i), Byte(bytes, 14 + 3 * i), Byte(bytes, 15 + 3 * i)});
    // Image at (0, 0) of the screen's size, no local table, not interlaced.
    EXPECT_EQ(bytes.substr(781, 5), std::string("\x2C\0\0\0\0", 5));
    EXPECT_EQ(bytes.substr(786, 4), bytes.substr(6, 4));
    EXPECT_EQ(Byte(bytes, 790), 0);
    // Sub-blocks: full ones, at most one shorter last one, never an empty one before the
    // terminator; then the trailer ends the file.
    std::size_t at = 792;
    bool shortSeen = false;
    while (at < bytes.size() && Byte(bytes, at) != 0) {
        EXPECT_FALSE(shortSeen) << "a sub-block after a short one at " << at;
        shortSeen = Byte(bytes, at) < 255;
        at += 1 + Byte(bytes, at);
    }
    EXPECT_EQ(at + 2, bytes.size()) << "terminator and trailer end the file";
    if (at + 2 != bytes.size()) return file;
    EXPECT_EQ(Byte(bytes, at + 1), 0x3B);
    file.CodedData = bytes.substr(791, at + 1 - 791);
    return file;
}

LzwDecoded DecodeLzw(const std::string& coded) {
    LzwDecoded out;
    std::string stream;
    std::size_t at = 1;
    while (at < coded.size() && coded[at] != 0) {
        stream += coded.substr(at + 1, Byte(coded, at));
        at += 1 + Byte(coded, at);
    }
    EXPECT_EQ(at + 1, coded.size()) << "terminator ends the image data";

    const int minSize = Byte(coded, 0);
    const std::uint32_t clear = 1u << minSize, end = clear + 1;
    std::vector<std::string> table;
    int width = minSize + 1;
    int prev = -1;
    std::size_t bit = 0;
    for (;;) {
        if (bit + width > 8 * stream.size()) {
            ADD_FAILURE() << "stream ends without End code";
            return out;
        }
        std::uint32_t code = 0;
        for (int k = 0; k < width; ++k, ++bit)
            code |= ((Byte(stream, bit / 8) >> (bit % 8)) & 1u) << k;
        out.Codes.push_back({code, width});
        if (code == clear || table.empty()) {
            EXPECT_EQ(code, clear) << "the stream starts with Clear";
            table.assign(end + 1, std::string());
            for (std::uint32_t i = 0; i < clear; ++i) table[i] = std::string(1, char(i));
            width = minSize + 1;
            prev = -1;
            continue;
        }
        if (code == end) break;
        std::string s;
        if (code < table.size() && code != clear && code != end) {
            s = table[code];
        } else if (code == table.size() && prev >= 0) {
            s = table[prev] + table[prev][0];
        } else {
            ADD_FAILURE() << "invalid code " << code << " at code " << out.Codes.size();
            return out;
        }
        out.Indices.insert(out.Indices.end(), s.begin(), s.end());
        if (prev >= 0 && table.size() < 4096) table.push_back(table[prev] + s[0]);
        prev = static_cast<int>(code);
        if (table.size() == (1u << width) && width < 12) ++width;
    }
    EXPECT_EQ((bit + 7) / 8, stream.size()) << "no bytes after the End code";
    if (bit % 8 != 0) {
        EXPECT_EQ(Byte(stream, bit / 8) >> (bit % 8), 0) << "zero padding";
    }
    return out;
}

std::vector<std::uint8_t> DecodeWithGif2rgb(const std::string& gifBytes) {
    TempDir dir;
    const fs::path in = dir.Path() / "in.gif", out = dir.Path() / "out.rgb";
    std::ofstream(in, std::ios::binary) << gifBytes;
    EXPECT_EQ(RunProgram(ORVIX_GIF2RGB, {"-1", "-o", out, in}), 0)
        << ORVIX_GIF2RGB << " -1 -o " << out << " " << in;
    const std::string rgb = fs::exists(out) ? ReadBytes(out) : std::string();
    return std::vector<std::uint8_t>(rgb.begin(), rgb.end());
}

std::vector<std::uint8_t> NearestPaletteColors(const TRgbImage& picture,
                                               const std::vector<GifRgb>& palette, GifRgb mask) {
    std::vector<std::uint8_t> out;
    for (std::size_t k = 0; k < picture.Pixels.size(); k += 3) {
        const int r = picture.Pixels[k] & mask.Red, g = picture.Pixels[k + 1] & mask.Green,
                  b = picture.Pixels[k + 2] & mask.Blue;
        std::size_t best = 0;
        int bestDistance = 1 << 30;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const int dr = r - palette[i].Red, dg = g - palette[i].Green, db = b - palette[i].Blue;
            if (dr * dr + dg * dg + db * db < bestDistance)
                best = i, bestDistance = dr * dr + dg * dg + db * db;
        }
        out.insert(out.end(), {palette[best].Red, palette[best].Green, palette[best].Blue});
    }
    return out;
}

std::vector<std::uint8_t> DistinctPairs(std::size_t length) {
    // Lyndon words of length 1 and 2 in order: 0, 0 1, 0 2, ..., 1, 1 2, ... (a de Bruijn
    // sequence of order 2 over 256 symbols).
    std::vector<std::uint8_t> s;
    for (int a = 0; a < 256 && s.size() < length; ++a) {
        s.push_back(static_cast<std::uint8_t>(a));
        for (int b = a + 1; b < 256; ++b) s.insert(s.end(), {std::uint8_t(a), std::uint8_t(b)});
    }
    s.resize(length);
    std::set<int> pairs;
    for (std::size_t k = 1; k < s.size(); ++k) pairs.insert(s[k - 1] << 8 | s[k]);
    EXPECT_EQ(pairs.size() + 1, s.size()) << "neighbouring pairs repeat";
    return s;
}

TRgbImage PictureOfIndices(const std::vector<std::uint8_t>& indices, int width) {
    TRgbImage picture(width, static_cast<int>(indices.size()) / width);
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const std::uint8_t i = indices[k];
        picture.SetPixel(static_cast<int>(k % width), static_cast<int>(k / width), i,
                         static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7));
    }
    return picture;
}

TempDir::TempDir() {
    static std::mt19937_64 random{std::random_device{}()};
    std::ostringstream name;
    name << "orvix-export-test-" << std::hex << random();
    path_ = fs::temp_directory_path() / name.str();
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace orvix::test
