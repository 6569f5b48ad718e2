// An examinee's figures against a norm table: for every index the table has, the matching
// norm row and the scores z, T, percentile, stanine and sten with T's 95 % band; and the
// reliable change between two tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "stats/examinee.h"
#include "stats/norm_table.h"
#include "stats/summary_figures.h"

namespace orvix::stats {

// Where a value lies against a percentile table.
enum class TTableSide : unsigned char { Inside, BelowFirst, AboveLast };

// The percentile rank of `value` in `table` (raw values, lowest first) by linear
// interpolation between the table's points; a value equal to several equal points gets the
// middle of their ranks. Below p2 it is 1 and above p98 it is 99, the middle of the ranks the
// table leaves open there; `side` says which.
double TablePercentile(const TPercentiles& table, double value, TTableSide& side) noexcept;

// Stanine 1..9: cut points at z = -1.75, -1.25, …, 1.75 (half a standard deviation apart,
// stanine 5 from -0.25 up to 0.25); a z on a cut point goes to the higher one.
int Stanine(double z) noexcept;
// Sten 1..10: cut points at z = -2, -1.5, …, 2 (sten 5 from -0.5 up to 0, sten 6 from 0 up
// to 0.5); a z on a cut point goes to the higher one.
int Sten(double z) noexcept;

enum class TNormWarning : unsigned char {
    AgeOutsideGroup,  // no row covers the examinee's age: the nearest age group was taken
    SmallGroup,       // the norm group has fewer than 30 people
    NoNorm,           // no row matches the examinee
};

struct TNormScore {
    std::string_view Index;
    const TNormRow* Row = nullptr;  // the matched row; null when none matches
    std::optional<double> Value;    // the examinee's figure, empty when it has none
    // Signed by the row's direction: higher z, T and percentile are better.
    std::optional<double> Z;
    std::optional<double> T;
    std::optional<double> Percentile;
    TTableSide Side = TTableSide::Inside;  // of a percentile from the table
    int Stanine = 0;                       // 0 without z
    int Sten = 0;
    std::optional<double> BandLow;  // T ± 1.96 · 10 · √(1 − r), with a reliability
    std::optional<double> BandHigh;
    std::vector<TNormWarning> Warnings;
};

// The scores of `value` against `row`.
TNormScore ScoreAgainst(const TNormRow& row, double value);

// Jacobson and Truax's reliable change index of a retest, (later − earlier) /
// (√2 · sd · √(1 − r)), signed by the row's direction (positive is better); reliable when its
// size is above 1.96. Needs the row's SD and reliability.
struct TReliableChange {
    double Index = 0;
    bool Reliable = false;
};
std::optional<TReliableChange> ReliableChange(const TNormRow& row, double earlier, double later);

// A norm table prepared for many examinees: its rows by index.
class TNormLookup {
  public:
    // Rows of `normId` only, or all rows when it is empty. The table must outlive the lookup.
    explicit TNormLookup(const TNormTable& table, std::string_view normId = {});

    // The indices the table has norms for, in the order they first appear.
    const std::vector<std::string_view>& Indices() const noexcept { return indices_; }

    // The row for `index` that fits `examinee` best: of the rows that fit, the most specific
    // (an age range before a sex before a group; then the earlier row); when none covers the
    // examinee's age, the one whose age range is nearest, with `ageOutside` set.
    const TNormRow* Match(std::string_view index, const TExaminee& examinee,
                          bool& ageOutside) const;

    // A score per index of Indices(), from the figures of one test (FigureCells).
    std::vector<TNormScore> Score(const TExaminee& examinee,
                                  const std::vector<TCell>& figures) const;

  private:
    std::vector<std::string_view> indices_;
    std::vector<std::size_t> columns_;  // each index's place in kFigureColumns
    std::unordered_map<std::string_view, std::vector<const TNormRow*>> rows_;
};

// A warning as the user reads it (Russian, UTF-8).
std::string NormWarningText(TNormWarning warning, const TNormScore& score,
                            const TExaminee& examinee);

}  // namespace orvix::stats
