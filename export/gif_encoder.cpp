#include "gif_encoder.h"

namespace orvix {

std::string EncodeGif(TRgbImage picture) {
    TGIFImage image;
    image.ImportBitmap(std::move(picture));
    return image.SaveToString();
}

void WriteGifFile(TRgbImage picture, const std::filesystem::path& target) {
    TGIFImage image;
    image.ImportBitmap(std::move(picture));
    image.WriteToFile(target);
}

}  // namespace orvix
