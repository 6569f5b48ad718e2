// Independent checks of GIF files: a structural parser, a reference LZW decoder, decoding by
// gif2rgb, and pictures for the tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "export/gif_types.h"
#include "export/rgb_image.h"

namespace orvix::test {

struct GifFile {
    int Width = 0, Height = 0;
    std::vector<GifRgb> Palette;
    std::string CodedData;  // minimum code size, sub-blocks, terminator
};
// Parses a file of the snapshot's shape; layout faults are reported as test failures.
GifFile ParseGif(const std::string& bytes);

struct LzwCode {
    std::uint32_t Code;
    int Width;
    friend bool operator==(const LzwCode&, const LzwCode&) = default;
};
struct LzwDecoded {
    std::vector<LzwCode> Codes;  // as read, Clear and End included
    std::vector<std::uint8_t> Indices;
};
// Decodes image data by the textbook GIF rules; stream faults are reported as test failures.
LzwDecoded DecodeLzw(const std::string& codedData);

// The RGB bytes gif2rgb decodes from `gifBytes`; fails the test if it cannot decode them.
std::vector<std::uint8_t> DecodeWithGif2rgb(const std::string& gifBytes);

// The nearest palette colour (lowest index on a tie) of each pixel masked with `mask`.
std::vector<std::uint8_t> NearestPaletteColors(const TRgbImage& picture,
                                               const std::vector<GifRgb>& palette,
                                               GifRgb mask = {255, 255, 255});

// The start of a sequence over 0..255 in which no two neighbouring pairs are equal, so that
// LZW assigns a new code at every index.
std::vector<std::uint8_t> DistinctPairs(std::size_t length);

// A picture whose pixel k (rows top to bottom) has colour (i, 255 - i, 7 i) for i = indices[k].
TRgbImage PictureOfIndices(const std::vector<std::uint8_t>& indices, int width);

// A folder of its own under the system's temporary folder, removed afterwards.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);

}  // namespace orvix::test
