#include "ppm_reader.h"

#include <string>

namespace orvix {
namespace {

// Largest width or height accepted; the GIF file holds at most 65535.
constexpr long kMaxSide = 65535;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

class HeaderReader {
  public:
    explicit HeaderReader(std::string_view bytes) : bytes_(bytes) {}

    long Number(const char* what) {
        SkipSpaceAndComments();
        long value = 0;
        std::size_t digits = 0;
        while (pos_ < bytes_.size() && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
            value = value * 10 + (bytes_[pos_++] - '0');
            if (value > kMaxSide) throw EPpmError(std::string("PPM ") + what + " is too large");
            ++digits;
        }
        if (digits == 0) {
            if (pos_ >= bytes_.size()) throw EPpmError("PPM header is truncated");
            throw EPpmError(std::string("PPM ") + what + " is not a number");
        }
        return value;
    }
    // The single whitespace byte between the header and the pixels.
    std::size_t PixelStart() {
        if (pos_ >= bytes_.size()) throw EPpmError("PPM header is truncated");
        if (!IsSpace(bytes_[pos_])) throw EPpmError("PPM header is malformed");
        return pos_ + 1;
    }

  private:
    void SkipSpaceAndComments() {
        while (pos_ < bytes_.size()) {
            if (IsSpace(bytes_[pos_])) {
                ++pos_;
            } else if (bytes_[pos_] == '#') {
                while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') ++pos_;
            } else {
                break;
            }
        }
    }

    std::string_view bytes_;
    std::size_t pos_ = 2;  // after "P6"
};

}  // namespace

TRgbImage ParsePpm(std::string_view bytes) {
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        throw EPpmError("not a binary PPM (P6) file");
    HeaderReader header(bytes);
    const long width = header.Number("width");
    const long height = header.Number("height");
    const long maxval = header.Number("maxval");
    if (maxval != 255) throw EPpmError("PPM maxval " + std::to_string(maxval) + " is not 255");
    const std::size_t start = header.PixelStart();

    const std::size_t size =
        TRgbImage::ByteCount(static_cast<int>(width), static_cast<int>(height));
    if (bytes.size() - start < size)
        throw EPpmError("PPM pixel data is truncated: " + std::to_string(bytes.size() - start) +
                        " of " + std::to_string(size) + " bytes");
    TRgbImage picture;
    picture.Width = static_cast<int>(width);
    picture.Height = static_cast<int>(height);
    picture.Pixels.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                          bytes.begin() + static_cast<std::ptrdiff_t>(start + size));
    return picture;
}

}  // namespace orvix
