// The date of a test, read from the texts of its protocol.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvix::archive {

struct TCalendarDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    std::string Iso() const;  // "2026-03-10"
    bool operator==(const TCalendarDate&) const = default;
};

// A real date of the Gregorian calendar (years 1900 to 2199).
bool IsRealDate(int year, int month, int day) noexcept;

// The first date in `text`: dd.mm.yyyy, dd.mm.yy (00-69 as 2000-2069, 70-99 as 1970-1999) or
// yyyy-mm-dd, day and month with one or two digits, standing apart from other digits and
// being a real date. Texts are UTF-8 or Windows-1251 (only ASCII matters).
std::optional<TCalendarDate> FirstDateIn(std::string_view text);

// The test date: the first date in FileTag, else in SubjectCaption, else in the heading.
std::optional<TCalendarDate> TestDateOf(std::string_view fileTag, std::string_view subject,
                                        std::string_view heading);

// The local calendar date of a file time (nanoseconds since 1970, UTC).
TCalendarDate LocalDateOf(std::int64_t unixNs);

// Reads "yyyy-mm-dd" as a real date.
std::optional<TCalendarDate> ParseIsoDate(std::string_view iso);

}  // namespace orvix::archive
