// The Qt side of picture export: a QImage as the encoder's plain RGB picture.
#pragma once

#include "export/rgb_image.h"

class QImage;

namespace orvix {

// The pixels of `image` as 24-bit red, green, blue rows, top row first; alpha is dropped.
// A null image gives an empty picture.
TRgbImage ToRgbImage(const QImage& image);

}  // namespace orvix
