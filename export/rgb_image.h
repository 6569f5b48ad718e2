// A plain true-colour picture: the encoder's input. The Qt side fills it from a QImage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvix {

struct TRgbImage {
    int Width = 0;
    int Height = 0;
    // Rows from top to bottom, each Width pixels of red, green, blue bytes, no row padding.
    std::vector<std::uint8_t> Pixels;

    TRgbImage() = default;
    // A black picture of the given size.
    TRgbImage(int width, int height)
        : Width(width), Height(height), Pixels(ByteCount(width, height), 0) {}

    // No pixel storage: a width or height of 0 (or less).
    bool Empty() const noexcept { return Width <= 0 || Height <= 0; }

    std::uint8_t* Pixel(int x, int y) noexcept { return Pixels.data() + Offset(x, y); }
    const std::uint8_t* Pixel(int x, int y) const noexcept { return Pixels.data() + Offset(x, y); }
    void SetPixel(int x, int y, std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
        std::uint8_t* p = Pixel(x, y);
        p[0] = red;
        p[1] = green;
        p[2] = blue;
    }

    static std::size_t ByteCount(int width, int height) noexcept {
        if (width <= 0 || height <= 0) return 0;
        return std::size_t{3} * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }

  private:
    std::size_t Offset(int x, int y) const noexcept {
        return std::size_t{3} * (static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                                 static_cast<std::size_t>(x));
    }
};

}  // namespace orvix
