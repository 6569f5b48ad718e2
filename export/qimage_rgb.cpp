#include "qimage_rgb.h"

#include <QImage>
#include <cstring>

namespace orvix {

TRgbImage ToRgbImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    TRgbImage out(rgb.width(), rgb.height());
    const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(out.Width);
    // QImage rows are padded to 32 bits; the picture's rows are not.
    for (int y = 0; y < out.Height; ++y)
        std::memcpy(out.Pixel(0, y), rgb.constScanLine(y), rowBytes);
    return out;
}

}  // namespace orvix
