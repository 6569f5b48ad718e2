// Colour tables, the indexed picture and the encoder's failure kinds.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/errors.h"

namespace orvix {

struct GifRgb {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const GifRgb&, const GifRgb&) = default;
};

// Count 0 means no table; entries from Count on are zero.
struct GifColorTable {
    std::int32_t Count = 0;
    std::array<GifRgb, 256> Entries{};
};

// A picture as palette indices, one byte per pixel, rows from top to bottom.
struct TIndexedImage {
    int Width = 0;
    int Height = 0;
    int IndexBits = 8;            // 1, 4 or 8
    std::vector<GifRgb> Palette;  // 2^IndexBits entries
    std::vector<std::uint8_t> Indices;
};

// Failures of the encoder. Messages are Windows-1251 texts.
class EGifError : public Exception {
  public:
    using Exception::Exception;
};
// No picture to write: no frame, or an empty bitmap.
class EGifNoData : public EGifError {
  public:
    EGifNoData();
};
// An indexed picture the encoder cannot write.
class EGifEncodeError : public EGifError {
  public:
    EGifEncodeError();
};

// The palette size for an index depth: 2, 16 or 256 for 1, 4 or 8 bits; any other depth
// fails with EGifEncodeError.
int GifColorCount(int indexBits);

// The largest width or height the 16-bit size fields of the file can hold.
inline constexpr int kGifMaxSide = 65535;

}  // namespace orvix
