#include "axis_labels.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "axis_map.h"

namespace orvix {

namespace {
constexpr double kMinStep = 1e-12;
constexpr double kIntLimit = 2147483647.0;
}  // namespace

double NextLabelStep(double s) noexcept {
    if (!(s > 0) || !std::isfinite(s)) return s > 0 ? s : kMinStep;
    // s = mantissa * 10^exponent with the mantissa in 1 .. 10. Steps are built by products
    // and quotients of powers of ten, so a mantissa a hair off 1, 2 or 5 counts as that value.
    constexpr double kTolerance = 1e-9;
    int exponent = static_cast<int>(std::floor(std::log10(s)));
    double mantissa = s / std::pow(10.0, exponent);
    if (mantissa >= 10 - kTolerance) {
        mantissa = 1;
        ++exponent;
    } else if (mantissa < 1) {
        mantissa = 1;
    }
    const double next = mantissa < 2 - kTolerance ? 2 : (mantissa < 5 - kTolerance ? 5 : 10);
    return exponent >= 0 ? next * std::pow(10.0, exponent) : next / std::pow(10.0, -exponent);
}

double AxisLabelStep(double width, int length, int labelSize, double increment,
                     int separationPercent) noexcept {
    if (!std::isfinite(width)) return 1;
    const int most =
        labelSize > 0 ? NearestInt(static_cast<double>(length) /
                                   (labelSize + NearestInt(labelSize * separationPercent / 100.0)))
                      : 1;
    if (most < 1) return kMinStep;
    double step = increment > 0 ? increment : (std::fabs(width) >= 1 ? 1 : kMinStep);
    if (separationPercent > 0) {
        long long count = static_cast<long long>(most) + 1;
        do {
            const double q = width / step;
            if (std::fabs(q) < kIntLimit) {
                count = static_cast<long long>(Nearest(q));
                if (count > most) step = NextLabelStep(step);
            } else {
                step = NextLabelStep(step);
            }
        } while (count > most && std::isfinite(step));
    }
    return step < kMinStep ? kMinStep : step;
}

double RoundedLabelValue(double value, double step, bool roundFirst) noexcept {
    if (!roundFirst || !(step > 0)) return value;
    return std::trunc(value / step) * step;
}

std::vector<double> AxisLabelValues(double low, double high, double step, bool roundFirst) {
    std::vector<double> values;
    const double width = high - low;
    if (!(step > 0) || !(std::fabs(width / step) < 10000)) return values;
    double v = low == high ? high : RoundedLabelValue(high, step, roundFirst);
    while (v > high) {
        const double next = v - step;
        if (next == v) break;
        v = next;
    }
    const double limit = (low - kMinStep) / 1.000000000001;
    while (v >= limit) {
        values.push_back(v);
        const double next = v - step;
        // At large magnitudes a tiny step no longer changes the value: one label is enough.
        if (next == v || values.size() > 10000) break;
        v = next;
    }
    return values;
}

std::vector<int> MinorTickPixels(const std::vector<int>& majorPixels, int count, int spanStart,
                                 int spanEnd) {
    std::vector<int> out;
    if (count < 1 || majorPixels.size() < 2) return out;
    const int lo = std::min(spanStart, spanEnd);
    const int hi = std::max(spanStart, spanEnd);
    // Pixels of labels far off the plot can lie near the ends of the int range: distances and
    // sums are taken in 64 bits, and only ticks inside the span are kept.
    const auto keep = [&](std::int64_t p) {
        if (p > lo && p < hi) out.push_back(static_cast<int>(p));
    };
    const double parts = count + 1;
    for (std::size_t k = 0; k + 1 < majorPixels.size(); ++k) {
        const std::int64_t from = majorPixels[k + 1];  // the smaller value
        const double d = static_cast<double>(majorPixels[k] - from);
        for (int j = 1; j <= count; ++j)
            keep(from + static_cast<std::int64_t>(Nearest(j * d / parts)));
    }
    const double first = static_cast<double>(std::int64_t{majorPixels[0]} - majorPixels[1]);
    for (int j = 1; j <= count; ++j) {
        const auto off = static_cast<std::int64_t>(Nearest(j * first / parts));
        keep(majorPixels.front() + off);
        keep(majorPixels.back() - off);
    }
    return out;
}

std::string FormatAxisValue(double value, std::string_view pattern, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    const auto section = pattern.substr(0, pattern.find(';'));
    const auto dot = section.find('.');
    int minInt = 0;
    int minFrac = 0;
    int maxFrac = 0;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        const bool fraction = dot != std::string_view::npos && i > dot;
        if (c == '0') {
            if (fraction) {
                ++minFrac;
                ++maxFrac;
            } else {
                ++minInt;
            }
        } else if (c == '#' && fraction) {
            ++maxFrac;
        }
    }
    // 18 significant digits are what the value holds; rounding is done on them in decimal, so
    // 12.5 becomes 13 and 0.125 becomes 0.13 under two digits.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    const int intDigits = exponent + 1;  // digits before the decimal point
    const int keep = intDigits + maxFrac;
    std::string kept;  // the digits from 10^(intDigits-1) down to 10^-maxFrac
    if (keep <= 0) {
        // Every digit lies below the last one kept: the result is 0 or one unit of it.
        kept.assign(static_cast<std::size_t>(maxFrac) + 1, '0');
        if (keep == 0 && digits[0] >= '5') kept.back() = '1';
    } else {
        kept = digits.substr(0, static_cast<std::size_t>(std::min<int>(keep, 18)));
        if (keep < 18 && digits[static_cast<std::size_t>(keep)] >= '5') {
            int i = keep - 1;
            while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[i--] = '0';
            if (i >= 0)
                ++kept[static_cast<std::size_t>(i)];
            else
                kept.insert(0, "1");
        }
        if (static_cast<int>(kept.size()) < keep)
            kept.append(static_cast<std::size_t>(keep - kept.size()), '0');
        if (intDigits <= 0) kept.insert(0, static_cast<std::size_t>(1 - intDigits), '0');
    }
    // kept now holds the integer digits followed by exactly maxFrac fraction digits.
    std::string intPart = kept.substr(0, kept.size() - static_cast<std::size_t>(maxFrac));
    std::string fracPart = kept.substr(kept.size() - static_cast<std::size_t>(maxFrac));
    while (static_cast<int>(fracPart.size()) > minFrac && fracPart.back() == '0')
        fracPart.pop_back();
    const auto nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
    if (static_cast<int>(intPart.size()) < minInt)
        intPart.insert(0, static_cast<std::size_t>(minInt) - intPart.size(), '0');
    if (intPart.empty() && fracPart.empty()) intPart = "0";
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !zero) ? "-" : "";
    out += intPart;
    if (!fracPart.empty()) {
        out += decimalSeparator;
        out += fracPart;
    }
    return out;
}

}  // namespace orvix
