// Pictures for the encoder benchmark.
#pragma once

#include <cstdint>
#include <vector>

#include "export/rgb_image.h"

namespace orvix::bench {

// A picture drawn like a result chart at its window size (1023 x 369): a grey panel, a white
// plot with frame and dotted grid, text-like glyphs with smoothed edges, a blue mean line,
// dash-dot band lines, a green polyline with square markers and red bars.
TRgbImage ChartPicture();

// width x height random indices 0..255.
std::vector<std::uint8_t> NoiseIndices(int width, int height);

}  // namespace orvix::bench
