// Local norms: a norm table built from the figures of tests the examiner selected (for
// instance every 10-year-old screened this year), one row per index, in the same format as
// published tables, so that colleagues can use it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/examinee.h"
#include "stats/norm_table.h"
#include "stats/summary_figures.h"

namespace orvix::stats {

// One selected test: its figures (FigureCells) and, when known, its date.
struct TNormSample {
    std::vector<TCell> Figures;
    std::optional<TDate> TestDate;
};

// What the rows say of the group they describe.
struct TLocalNormGroup {
    std::string NormId;
    std::string Version;
    TSex Sex = TSex::Any;
    std::optional<int> AgeFrom;
    std::optional<int> AgeTo;
    std::string Group;
    std::string Source;
};

struct TLocalNorms {
    TNormTable Table;
    // Indices left out: fewer than two tests with a value, or all values equal (no SD).
    std::vector<std::string_view> Skipped;
};

// For every index of kNormIndices with at least two values and some spread: n (the tests with
// a value), mean, SD (n − 1), the percentiles p2 … p98, the index's usual direction, and the
// range of the tests' dates; the reliability is left empty.
TLocalNorms BuildLocalNorms(const std::vector<TNormSample>& samples, const TLocalNormGroup& group);

// The percentiles of `sorted` (ascending, at least two values) as Python's
// statistics.quantiles(data, n=100, method="inclusive") gives them: for rank k, with m = n − 1,
// j = ⌊k·m / 100⌋ and δ = k·m − 100·j, (x[j] · (100 − δ) + x[j+1] · δ) / 100; that is, linear
// interpolation at the position k·(n − 1)/100 of the 0-based sorted values.
TPercentiles InclusivePercentiles(const std::vector<double>& sorted);

}  // namespace orvix::stats
