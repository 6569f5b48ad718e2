#include "chart_picture.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace orvix::bench {
namespace {

struct Painter {
    TRgbImage& picture;
    void Dot(int x, int y, int r, int g, int b) {
        if (x < 0 || y < 0 || x >= picture.Width || y >= picture.Height) return;
        picture.SetPixel(x, y, std::uint8_t(r), std::uint8_t(g), std::uint8_t(b));
    }
    void Rect(int x0, int y0, int x1, int y1, int r, int g, int b) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Dot(x, y, r, g, b);
    }
    // A horizontal line; `pattern` bits say which pixels of each 16 are drawn.
    void HLine(int x0, int x1, int y, int r, int g, int b, unsigned pattern = 0xFFFF) {
        for (int x = x0; x < x1; ++x)
            if (pattern >> (x % 16) & 1) Dot(x, y, r, g, b);
    }
    void VLine(int x, int y0, int y1, int r, int g, int b, unsigned pattern = 0xFFFF) {
        for (int y = y0; y < y1; ++y)
            if (pattern >> (y % 16) & 1) Dot(x, y, r, g, b);
    }
    void Line(int x0, int y0, int x1, int y1, int r, int g, int b) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i)
            Dot(x0 + (x1 - x0) * i / std::max(steps, 1), y0 + (y1 - y0) * i / std::max(steps, 1), r,
                g, b);
    }
    // A text-like glyph: a 5 x 8 bit pattern in black with grey smoothing beside its strokes.
    void Glyph(int x, int y, unsigned bits) {
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 5; ++col)
                if (bits >> ((row * 5 + col) % 32) & 1) {
                    Dot(x + col, y + row, 0, 0, 0);
                    Dot(x + col + 1, y + row, 160, 160, 160);
                }
    }
    void Text(int x, int y, int length, unsigned seed) {
        std::mt19937 random(seed);
        for (int i = 0; i < length; ++i) Glyph(x + 7 * i, y, static_cast<unsigned>(random()));
    }
};

}  // namespace

TRgbImage ChartPicture() {
    TRgbImage picture(1023, 369);
    Painter p{picture};
    p.Rect(0, 0, 1023, 369, 240, 240, 240);
    const int left = 60, top = 40, right = 1000, bottom = 320;
    p.Rect(left, top, right, bottom, 255, 255, 255);
    p.HLine(left, right, top, 0, 0, 0);
    p.HLine(left, right, bottom - 1, 0, 0, 0);
    p.VLine(left, top, bottom, 0, 0, 0);
    p.VLine(right - 1, top, bottom, 0, 0, 0);
    for (int x = left + 47; x < right; x += 47)
        p.VLine(x, top + 1, bottom - 1, 128, 128, 128, 0x5555);
    for (int y = top + 35; y < bottom; y += 35)
        p.HLine(left + 1, right - 1, y, 128, 128, 128, 0x5555);
    p.Text(400, 10, 30, 1);                                                    // title
    p.Text(300, 345, 40, 2);                                                   // foot
    for (int y = top; y < bottom; y += 35) p.Text(20, y - 4, 4, unsigned(y));  // left labels
    for (int x = left; x < right; x += 94) p.Text(x - 10, bottom + 6, 3, unsigned(x));
    p.HLine(left + 1, right - 1, 170, 0, 0, 255);                   // mean
    p.HLine(left + 1, right - 1, 100, 64, 0, 64, 0x3F3F & 0x7FCF);  // band, dash-dot
    p.HLine(left + 1, right - 1, 240, 64, 0, 64, 0x3F3F & 0x7FCF);
    std::mt19937 random(5);
    int previousX = left + 10, previousY = 170;
    for (int x = left + 10; x < right - 10; x += 9) {
        const int y = 170 + static_cast<int>(random() % 120) - 60;
        const bool wrong = random() % 7 == 0;
        p.Rect(x - 2, bottom - 1 - static_cast<int>(random() % 30), x + 2, bottom - 1, 255, 0, 0);
        p.Line(previousX, previousY, x, y, 0, 128, 0);
        p.Rect(x - 4, y - 4, x + 5, y + 5, wrong ? 255 : 0, wrong ? 0 : 128, 0);
        previousX = x;
        previousY = y;
    }
    return picture;
}

std::vector<std::uint8_t> NoiseIndices(int width, int height) {
    std::mt19937 random(11);
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
    for (auto& i : indices) i = static_cast<std::uint8_t>(random());
    return indices;
}

}  // namespace orvix::bench
