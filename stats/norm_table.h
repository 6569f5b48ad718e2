// Norm tables: for a norm group (sex, age range, group label) and one index of the batch
// summary, either its mean and SD or its percentiles, with the group's size, which way is
// better, the index's reliability and where the numbers come from.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvix::stats {

enum class TSex : unsigned char { Any, Male, Female };
enum class TDirection : unsigned char { Higher, Lower };  // which way is better

// The percentile ranks a table may give, in their columns' order (p2 … p98).
inline constexpr std::array<int, 11> kPercentileRanks = {2, 5, 10, 16, 25, 50, 75, 84, 90, 95, 98};
using TPercentiles = std::array<double, kPercentileRanks.size()>;

// The indices a norm may be given for: columns of the batch summary (kFigureColumns) that
// measure the examinee, with the direction a norm built from the archive gets.
struct TNormIndex {
    std::string_view Column;
    TDirection Better;
};
inline constexpr std::array<TNormIndex, 15> kNormIndices = {{
    {"N+", TDirection::Higher},
    {"Nomit", TDirection::Lower},
    {"Nwrong", TDirection::Lower},
    {"impulsivity", TDirection::Lower},
    {"search mean", TDirection::Lower},
    {"search SD", TDirection::Lower},
    {"search V", TDirection::Lower},
    {"tempo mean", TDirection::Higher},
    {"tempo SD", TDirection::Lower},
    {"tempo V", TDirection::Lower},
    {"accuracy", TDirection::Higher},
    {"wrong share", TDirection::Lower},
    {"selections per minute", TDirection::Higher},
    {"trend slope", TDirection::Higher},
    {"last/first third", TDirection::Higher},
}};

// The entry of kNormIndices for `column`, if there is one.
const TNormIndex* FindNormIndex(std::string_view column) noexcept;

struct TNormRow {
    std::string NormId;
    std::string Version;
    std::string Index;  // a column of kNormIndices
    TSex Sex = TSex::Any;
    // Whole years of age, both ends included; an end not given is open.
    std::optional<int> AgeFrom;
    std::optional<int> AgeTo;
    std::string Group;  // empty: any group
    long long N = 0;
    std::optional<double> Mean;               // given together with SD
    std::optional<double> SD;                 // > 0
    std::optional<TPercentiles> Percentiles;  // never decreasing
    TDirection Direction = TDirection::Higher;
    std::optional<double> Reliability;  // 0 <= r < 1
    std::string Source;
    // The dates of the tests a local norm was built from (YYYY-MM-DD), empty when not known.
    std::string DateFrom;
    std::string DateTo;
    int Line = 0;  // the row's line in the file it was read from (0 when built)

    bool HasAgeRange() const noexcept { return AgeFrom || AgeTo; }
};

struct TNormTable {
    std::vector<TNormRow> Rows;
};

// "any", "male", "female"; "higher", "lower".
std::string_view SexName(TSex sex) noexcept;
std::string_view DirectionName(TDirection direction) noexcept;

}  // namespace orvix::stats
