// Small value types shared by the chart component: colours, pens, brushes, fonts, rectangles.
#pragma once

#include <cstdint>
#include <string>

namespace orvix {

// A colour: red in the low byte, then green, then blue (0x00BBGGRR).
using TColor = std::uint32_t;

// As a point colour: "use the series colour"; as a pen or brush colour: "use the colour of the
// point being drawn".
inline constexpr TColor clSeriesDefault = 0x80000000u;
// A point of this colour is neither drawn nor hit.
inline constexpr TColor clNone = 0x1FFFFFFFu;

inline constexpr TColor clBlack = 0x000000u;
inline constexpr TColor clWhite = 0xFFFFFFu;
inline constexpr TColor clRed = 0x0000FFu;
inline constexpr TColor clGreen = 0x008000u;
inline constexpr TColor clBlue = 0xFF0000u;
inline constexpr TColor clGray = 0x808080u;

constexpr TColor RGBColor(int r, int g, int b) noexcept {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor c) noexcept {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(TColor c) noexcept {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColor c) noexcept {
    return static_cast<int>((c >> 16) & 0xFF);
}

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TBrushStyle { bsSolid, bsClear };

struct TChartPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    bool Visible = true;
};

struct TChartBrush {
    TBrushStyle Style = bsSolid;
    TColor Color = clSeriesDefault;
};

// Fonts are sized in pixels (the em height), so a chart looks the same on every device.
struct TChartFont {
    std::string Name = "Arial";
    int Height = 11;
    TColor Color = clBlack;
    bool Bold = false;
};

// A font size given in points, as pixels on the 96 dots-per-inch reference screen.
constexpr int PointsToPixels(int points) noexcept {
    return (points * 96 + 36) / 72;
}

// Client-pixel rectangle; all four edges are pixel coordinates.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const noexcept { return Right - Left; }
    int Height() const noexcept { return Bottom - Top; }
    bool Contains(int x, int y) const noexcept {
        return x >= Left && x <= Right && y >= Top && y <= Bottom;
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace orvix
