// ppm2gif IN.ppm OUT.gif: encodes a binary PPM (P6, maxval 255) exactly as a chart snapshot
// is encoded. On failure prints the reason, writes nothing and exits with status 1; bad usage
// exits with 2.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>

#include "base/cp1251.h"
#include "base/file_io.h"
#include "export/gif_encoder.h"
#include "tools/ppm2gif/ppm_reader.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ppm2gif IN.ppm OUT.gif\n");
        return 2;
    }
    try {
        // Three bytes for each pixel of the largest picture a GIF file can hold, and a header.
        constexpr std::uint64_t kLimit = std::uint64_t{3} * 65535 * 65535 + 4096;
        const std::string bytes = orvix::ReadWholeFile(argv[1], kLimit);
        orvix::WriteGifFile(orvix::ParsePpm(bytes), argv[2]);
        return 0;
    } catch (const orvix::EPpmError& e) {
        std::fprintf(stderr, "ppm2gif: %s: %s\n", argv[1], e.Message().c_str());
    } catch (const orvix::Exception& e) {
        std::fprintf(stderr, "ppm2gif: %s\n", orvix::Cp1251ToUtf8(e.Message()).c_str());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "ppm2gif: Out of memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ppm2gif: %s\n", e.what());
    }
    return 1;
}
