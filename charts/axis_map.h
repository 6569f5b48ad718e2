// Value <-> pixel mapping of one axis: a small copyable value type.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace orvix {

// v rounded to the nearest integer, a half going to the even neighbour.
inline double Nearest(double v) noexcept {
    return std::nearbyint(v);
}
inline int NearestInt(double v) noexcept {
    return static_cast<int>(std::nearbyint(v));
}

// a * b / c rounded to the nearest integer, halves away from zero.
inline int MulDiv(int a, int b, int c) noexcept {
    if (c == 0) return -1;
    const std::int64_t num = static_cast<std::int64_t>(a) * b;
    const std::int64_t den = c;
    const bool negative = (num < 0) != (den < 0);
    const std::int64_t n = std::llabs(num);
    const std::int64_t d = std::llabs(den);
    const std::int64_t q = (2 * n + d) / (2 * d);
    return static_cast<int>(negative ? -q : q);
}

// The drawn range Low..High of an axis over the pixel span Start..End. Horizontal axes grow to
// the right; vertical axes grow upwards, so their Start is the top pixel and carries High.
struct TAxisMap {
    double Low = 0;
    double High = 0;
    int Start = 0;
    int End = 0;
    bool Horizontal = true;

    double Range() const noexcept { return High - Low; }
    int Length() const noexcept { return End - Start; }
    int Centre() const noexcept { return (Start + End) / 2; }

    int ToPixel(double v) const noexcept {
        const double width = High - Low;
        if (width != 0) {
            const double t = (v - Low) * Length() / width;
            if (std::fabs(t) < 2147483647.0) {
                const int n = NearestInt(t);
                return Horizontal ? Start + n : End - n;
            }
        }
        return Centre();
    }

    double ToValue(int pixel) const noexcept {
        const int length = Length();
        if (length < 1) return 0;
        const double a = static_cast<double>(pixel - Start) * (High - Low) / length;
        return Horizontal ? Low + a : High - a;
    }
};

}  // namespace orvix
