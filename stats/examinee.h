// What a norm needs to know of an examinee: sex, age at the test, group label; each optional.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "stats/norm_table.h"

namespace orvix::stats {

struct TDate {
    int Year = 0;
    int Month = 0;  // 1..12
    int Day = 0;    // 1..the month's days
    auto operator<=>(const TDate&) const = default;
};

// "YYYY-MM-DD", a real calendar day (Gregorian, years 1..9999).
std::optional<TDate> ParseDate(std::string_view text) noexcept;
std::string DateText(const TDate& date);

// Whole years of age at `test` for someone born on `birth`, as people count them: a year more
// on each birthday (one born on 29 February has it on 1 March in other years). Empty when the
// test comes before the birth.
std::optional<int> AgeInYears(const TDate& birth, const TDate& test) noexcept;

struct TExaminee {
    TSex Sex = TSex::Any;  // Any: not known
    std::optional<int> Age;
    std::string Group;  // empty: not known
};

}  // namespace orvix::stats
