// Binary PPM (P6, maxval 255) to an RGB picture.
#pragma once

#include <string_view>

#include "base/errors.h"
#include "export/rgb_image.h"

namespace orvix {

// A file that is not a binary PPM with maxval 255, or is cut short.
class EPpmError : public Exception {
  public:
    using Exception::Exception;
};

// Parses the first picture of a P6 file: "P6", width, height and maxval as decimal numbers
// separated by whitespace (comments from "#" to the line end allowed between them), one
// whitespace byte, then width x height red, green, blue bytes. Bytes after the picture are
// ignored.
TRgbImage ParsePpm(std::string_view bytes);

}  // namespace orvix
