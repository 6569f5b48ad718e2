#include "stats/examinee.h"

#include <cstdio>

namespace orvix::stats {
namespace {

bool Leap(int year) noexcept {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysIn(int year, int month) noexcept {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && Leap(year) ? 29 : kDays[month - 1];
}

bool Digits(std::string_view text) noexcept {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int Value(std::string_view digits) noexcept {
    int v = 0;
    for (const char c : digits) v = v * 10 + (c - '0');
    return v;
}

}  // namespace

std::optional<TDate> ParseDate(std::string_view text) noexcept {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const std::string_view y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
    if (!Digits(y) || !Digits(m) || !Digits(d)) return std::nullopt;
    const TDate date{Value(y), Value(m), Value(d)};
    if (date.Year < 1 || date.Month < 1 || date.Month > 12 || date.Day < 1 ||
        date.Day > DaysIn(date.Year, date.Month))
        return std::nullopt;
    return date;
}

std::string DateText(const TDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    return text;
}

std::optional<int> AgeInYears(const TDate& birth, const TDate& test) noexcept {
    if (test < birth) return std::nullopt;
    int age = test.Year - birth.Year;
    // Before this year's birthday. 29 February sorts after 28 February, so in a year without
    // it the birthday comes on 1 March.
    if (test.Month < birth.Month || (test.Month == birth.Month && test.Day < birth.Day)) --age;
    return age;
}

}  // namespace orvix::stats
