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
// measure the examinee, with the direction a norm built from the archive gets, the index's
// name as the pages show it (Russian, UTF-8) and the decimals its values are shown with.
struct TNormIndex {
    std::string_view Column;
    TDirection Better;
    std::string_view Caption;
    int Decimals;
};
inline constexpr std::array<TNormIndex, 15> kNormIndices = {{
    {"N+", TDirection::Higher, "N+, правильно выбрано", 0},
    {"Nomit", TDirection::Lower, "Nпр, пропущено", 0},
    {"Nwrong", TDirection::Lower, "Nо.в., ошибочно выбрано", 0},
    {"impulsivity", TDirection::Lower, "Показатель импульсивности", 2},
    {"search mean", TDirection::Lower, "Время поиска: среднее, с", 3},
    {"search SD", TDirection::Lower, "Время поиска: ст. откл., с", 3},
    {"search V", TDirection::Lower, "Время поиска: коэфф. вариации, %", 1},
    {"tempo mean", TDirection::Higher, "Темп: среднее, выборов за 5 с", 2},
    {"tempo SD", TDirection::Lower, "Темп: ст. откл., выборов за 5 с", 2},
    {"tempo V", TDirection::Lower, "Темп: коэфф. вариации, %", 1},
    {"accuracy", TDirection::Higher, "Доля найденных целей", 3},
    {"wrong share", TDirection::Lower, "Доля ошибочных выборов", 3},
    {"selections per minute", TDirection::Higher, "Выборов в минуту", 2},
    {"trend slope", TDirection::Higher, "Наклон тренда темпа, выб./мин за минуту", 2},
    {"last/first third", TDirection::Higher, "Темп последней трети к первой", 2},
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
