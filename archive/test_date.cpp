#include "test_date.h"
#include "base/local_time.h"

#include <cstdio>
#include <ctime>

namespace orvix::archive {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits at `pos` (at most `most` of them, at least one): their value and count.
int Digits(std::string_view s, std::size_t pos, int most, int& value) {
    int n = 0;
    value = 0;
    while (pos + static_cast<std::size_t>(n) < s.size() && n < most &&
           IsDigit(s[pos + static_cast<std::size_t>(n)])) {
        value = value * 10 + (s[pos + static_cast<std::size_t>(n)] - '0');
        ++n;
    }
    return n;
}

bool DigitAt(std::string_view s, std::size_t pos) {
    return pos < s.size() && IsDigit(s[pos]);
}

// A date starting at `pos`, where no digit stands before it.
std::optional<TCalendarDate> DateAt(std::string_view s, std::size_t pos) {
    int a = 0;
    const int na = Digits(s, pos, 4, a);
    if (na == 0) return std::nullopt;
    std::size_t at = pos + static_cast<std::size_t>(na);
    if (DigitAt(s, at)) return std::nullopt;  // part of a longer number
    if (na == 4 && at < s.size() && s[at] == '-') {
        int m = 0, d = 0;
        const int nm = Digits(s, at + 1, 2, m);
        if (nm == 0 || at + 1 + nm >= s.size() || s[at + 1 + nm] != '-') return std::nullopt;
        const std::size_t dayAt = at + 2 + static_cast<std::size_t>(nm);
        const int nd = Digits(s, dayAt, 2, d);
        if (nd == 0 || DigitAt(s, dayAt + static_cast<std::size_t>(nd))) return std::nullopt;
        if (!IsRealDate(a, m, d)) return std::nullopt;
        return TCalendarDate{a, m, d};
    }
    if (na > 2 || at >= s.size() || s[at] != '.') return std::nullopt;
    int m = 0, y = 0;
    const int nm = Digits(s, at + 1, 2, m);
    const std::size_t dot = at + 1 + static_cast<std::size_t>(nm);
    if (nm == 0 || dot >= s.size() || s[dot] != '.') return std::nullopt;
    const int ny = Digits(s, dot + 1, 4, y);
    if ((ny != 2 && ny != 4) || DigitAt(s, dot + 1 + static_cast<std::size_t>(ny)))
        return std::nullopt;
    if (ny == 2) y += y < 70 ? 2000 : 1900;
    if (!IsRealDate(y, m, a)) return std::nullopt;
    return TCalendarDate{y, m, a};
}

}  // namespace

std::string TCalendarDate::Iso() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", Year, Month, Day);
    return text;
}

bool IsRealDate(int year, int month, int day) noexcept {
    if (year < 1900 || year > 2199 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= days;
}

std::optional<TCalendarDate> FirstDateIn(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsDigit(text[i]) || (i > 0 && IsDigit(text[i - 1]))) continue;
        if (auto date = DateAt(text, i)) return date;
    }
    return std::nullopt;
}

std::optional<TCalendarDate> TestDateOf(std::string_view fileTag, std::string_view subject,
                                        std::string_view heading) {
    for (const std::string_view text : {fileTag, subject, heading})
        if (auto date = FirstDateIn(text)) return date;
    return std::nullopt;
}

TCalendarDate LocalDateOf(std::int64_t unixNs) {
    std::time_t seconds = static_cast<std::time_t>(unixNs / 1000000000);
    if (unixNs < 0 && unixNs % 1000000000 != 0) --seconds;
    const std::tm local = LocalTime(seconds);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::optional<TCalendarDate> ParseIsoDate(std::string_view iso) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') return std::nullopt;
    int y = 0, m = 0, d = 0;
    if (Digits(iso, 0, 4, y) != 4 || Digits(iso, 5, 2, m) != 2 || Digits(iso, 8, 2, d) != 2)
        return std::nullopt;
    if (!IsRealDate(y, m, d)) return std::nullopt;
    return TCalendarDate{y, m, d};
}

}  // namespace orvix::archive
