#include "format.h"

#include <cstdio>
#include <cstdlib>

namespace orvix {

std::string IntText(std::int32_t value) {
    return std::to_string(value);
}

std::string FixedText(Extended x, int decimals, char decimal) {
    // The 18 significant digits d1..d18 and exponent E with |x| ~ 0.d1..d18 * 10^E.
    std::string digits;
    int e = 0;
    if (x != 0 && !std::isnan(x)) {
        if (std::isinf(x)) {
            digits = "1";
            e = 4933;
        } else {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17Le", std::fabs(x));
            digits.reserve(18);
            const char* p = buf;
            for (; *p && *p != 'e'; ++p)
                if (*p >= '0' && *p <= '9') digits.push_back(*p);
            e = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
        }
        const int keep = e + decimals;
        if (keep < 0) {
            digits.clear();
        } else if (keep < 18) {
            const bool roundUp = digits[static_cast<std::size_t>(keep)] >= '5';
            digits.resize(static_cast<std::size_t>(keep));
            if (roundUp) {
                int i = keep - 1;
                while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
                    digits[static_cast<std::size_t>(i)] = '0';
                    --i;
                }
                if (i >= 0) {
                    ++digits[static_cast<std::size_t>(i)];
                } else {
                    digits.assign(1, '1');
                    ++e;
                }
            }
            while (!digits.empty() && digits.back() == '0') digits.pop_back();
        }
    }
    if (digits.empty()) e = 0;  // the value rounded to zero

    std::string out;
    if (x < 0 && !digits.empty()) out.push_back('-');
    auto digitAt = [&](int index) {  // 0-based; '0' beyond the digit string
        return index >= 0 && index < static_cast<int>(digits.size())
                   ? digits[static_cast<std::size_t>(index)]
                   : '0';
    };
    if (e <= 0) {
        out.push_back('0');
    } else {
        for (int i = 0; i < e; ++i) out.push_back(digitAt(i));
    }
    if (decimals > 0) {
        out.push_back(decimal);
        // Decimal place k (1-based) holds digit index e + k - 1.
        for (int k = 1; k <= decimals; ++k) out.push_back(digitAt(e + k - 1));
    }
    return out;
}

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args,
                       char decimal) {
    std::string out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    const std::size_t n = format.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = format[i];
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < n && format[i + 1] == '%') {
            out.push_back('%');
            i += 2;
            continue;
        }
        // "%" [-] [width] [. precision] type
        std::size_t j = i + 1;
        bool left = false;
        if (j < n && format[j] == '-') {
            left = true;
            ++j;
        }
        int width = 0;
        while (j < n && format[j] >= '0' && format[j] <= '9')
            width = width * 10 + (format[j++] - '0');
        int precision = -1;
        if (j < n && format[j] == '.') {
            ++j;
            precision = 0;
            while (j < n && format[j] >= '0' && format[j] <= '9')
                precision = precision * 10 + (format[j++] - '0');
        }
        if (j >= n) {  // an unfinished directive stays as it is
            out.append(format.substr(i));
            break;
        }
        const char type = format[j];
        std::string piece;
        const FormatArg* arg = next != args.end() ? &*next : nullptr;
        switch (type) {
            case 'd':
            case 'D':
                if (arg) {
                    if (auto* v = std::get_if<std::int32_t>(arg))
                        piece = IntText(*v);
                    else if (auto* r = std::get_if<Extended>(arg))
                        piece = IntText(static_cast<std::int32_t>(*r));
                }
                break;
            case 'f':
            case 'F': {
                const int p = precision < 0 || precision > 18 ? 2 : precision;
                if (arg) {
                    if (auto* r = std::get_if<Extended>(arg))
                        piece = FixedText(*r, p, decimal);
                    else if (auto* v = std::get_if<std::int32_t>(arg))
                        piece = FixedText(*v, p, decimal);
                }
                break;
            }
            case 's':
            case 'S':
                if (arg) {
                    if (auto* s = std::get_if<std::string_view>(arg))
                        piece = *s;
                    else if (auto* ch = std::get_if<char>(arg))
                        piece.assign(1, *ch);
                }
                break;
            default:  // not a directive: copied as it stands
                out.append(format.substr(i, j + 1 - i));
                i = j + 1;
                continue;
        }
        if (next != args.end()) ++next;
        if (static_cast<int>(piece.size()) < width) {
            const std::string pad(static_cast<std::size_t>(width) - piece.size(), ' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
        i = j + 1;
    }
    return out;
}

}  // namespace orvix
