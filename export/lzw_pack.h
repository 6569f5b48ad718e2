// The GIF variant of LZW: palette indices to the image data block of a GIF file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "export/gif_types.h"

namespace orvix {

// Compresses `indices` (rows from top to bottom, strings running on across row ends) and
// returns the image data exactly as it follows the image descriptor: the minimum code size
// byte, the data sub-blocks of at most 255 bytes and the 0 terminator.
// Codes: the initial width is indexBits + 1 (3 for 1-bit pictures), growing by one bit as
// soon as a newly assigned code no longer fits, up to 12 bits. When code 4094 is assigned,
// the index just read is written on its own, then Clear, and the dictionary starts afresh,
// so no code above 4094 is ever assigned.
// `indexBits` must be 1, 4 or 8 (else EGifEncodeError), and every index below 2^indexBits.
std::string LzwPack(std::span<const std::uint8_t> indices, int indexBits);

inline std::string LzwPack(const TIndexedImage& image) {
    return LzwPack(image.Indices, image.IndexBits);
}

// The same image data written to `out`, which must hold LzwPackBound(indices.size()) bytes
// (the data itself may be shorter); returns its length. Lets a caller compress into spare
// room of a buffer it already has.
std::size_t LzwPackTo(std::span<const std::uint8_t> indices, int indexBits, char* out);

// The most bytes LzwPackTo writes for `count` indices: about 1.5 per index.
std::size_t LzwPackBound(std::size_t count) noexcept;

}  // namespace orvix
