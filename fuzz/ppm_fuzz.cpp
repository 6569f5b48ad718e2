// Any bytes through the PPM reader: a picture whose pixels are all in the input, or the
// reader's own failure.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/ppm2gif/ppm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const orvix::TRgbImage picture = orvix::ParsePpm(bytes);
        if (picture.Pixels.size() != orvix::TRgbImage::ByteCount(picture.Width, picture.Height) ||
            picture.Pixels.size() > size)
            std::abort();
    } catch (const orvix::EPpmError&) {
    }
    return 0;
}
