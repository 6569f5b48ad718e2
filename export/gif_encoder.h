// The simple entry points: an RGB picture to GIF file bytes or to a GIF file.
#pragma once

#include <filesystem>
#include <string>

#include "export/gif_image.h"
#include "export/rgb_image.h"

namespace orvix {

// The GIF file of `picture` (moved in; pass a copy to keep it). An empty picture fails with
// EGifNoData.
std::string EncodeGif(TRgbImage picture);

// Writes the GIF file of `picture` to `target` atomically (see TGIFImage::WriteToFile).
void WriteGifFile(TRgbImage picture, const std::filesystem::path& target);

}  // namespace orvix
