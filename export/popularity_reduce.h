// Reduction of a true-colour picture to 256 palette entries chosen by pixel frequency.
#pragma once

#include "export/gif_types.h"
#include "export/rgb_image.h"

namespace orvix {

// At most this many distinct colours are counted; one more narrows a channel mask and the
// counting starts again.
inline constexpr int kTallyLimit = 2049;

// Reduces `picture` to an 8-bit indexed picture with a 256-entry palette:
// - colours are counted bottom row first, each row left to right; while the picture has
//   more than kTallyLimit distinct colours, one channel mask loses its lowest remaining bit
//   (blue, red, green, blue, ...) and the count starts again;
// - the 256 most frequent masked colours become palette entries 0..255 (on equal counts the
//   one met first comes first); unused entries are grey (128, 128, 128);
// - every other colour takes the nearest palette entry (least squared RGB distance, lowest
//   index on a tie).
// The indices are written over the picture's own pixel buffer, which the result takes over,
// so the reduction needs no second picture-sized buffer. `picture` is left empty on success
// and untouched when this throws.
TIndexedImage PopularityReduce(TRgbImage&& picture);

}  // namespace orvix
