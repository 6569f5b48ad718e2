// Small RGB pictures through the GIF encoder: a file comes out or one of the encoder's own
// failures, and a picture of at most 256 colours decodes (with giflib) to its own pixels.
#include <gif_lib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "export/gif_encoder.h"
#include "export/gif_types.h"

namespace {

struct Reader {
    const std::string* bytes;
    std::size_t at = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int wanted) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(wanted), r->bytes->size() - r->at);
    std::memcpy(out, r->bytes->data() + r->at, n);
    r->at += n;
    return static_cast<int>(n);
}

// Decodes `bytes` with giflib into RGB rows; aborts (a finding) when giflib cannot read them.
orvix::TRgbImage Decode(const std::string& bytes) {
    Reader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadBytes, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) std::abort();
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    if (!map) std::abort();
    orvix::TRgbImage rgb(gif->SWidth, gif->SHeight);
    for (int y = 0; y < image.ImageDesc.Height; ++y)
        for (int x = 0; x < image.ImageDesc.Width; ++x) {
            const int index = image.RasterBits[y * image.ImageDesc.Width + x];
            if (index >= map->ColorCount) std::abort();
            const GifColorType c = map->Colors[index];
            rgb.SetPixel(image.ImageDesc.Left + x, image.ImageDesc.Top + y, c.Red, c.Green, c.Blue);
        }
    DGifCloseFile(gif, &error);
    return rgb;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // Width and height 0..23 from the first two bytes (up to 529 pixels, so also more than 256
    // colours); the pixels repeat the rest.
    const int width = data[0] % 24;
    const int height = data[1] % 24;
    orvix::TRgbImage picture(width, height);
    const std::size_t available = size - 2;
    std::vector<std::uint32_t> colours;
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i)
        picture.Pixels[i] = available ? data[2 + i % available] : 0;
    for (std::size_t i = 0; i + 2 < picture.Pixels.size(); i += 3)
        colours.push_back(std::uint32_t{picture.Pixels[i]} << 16 | picture.Pixels[i + 1] << 8 |
                          picture.Pixels[i + 2]);
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());

    std::string file;
    try {
        file = orvix::EncodeGif(picture);
    } catch (const orvix::EGifError&) {
        if (!picture.Empty()) std::abort();  // only an empty picture may fail
        return 0;
    }
    const orvix::TRgbImage decoded = Decode(file);
    if (decoded.Width != width || decoded.Height != height) std::abort();
    if (colours.size() <= 256 && decoded.Pixels != picture.Pixels) std::abort();
    return 0;
}
