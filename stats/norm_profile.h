// One test's profile against norms, as the report page draws it: for every index of the norm
// table that has a row matching the examinee, its T with the 95 % band and its percentile; the
// warnings; and which norms were used.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/norm_input.h"
#include "stats/norm_scores.h"
#include "stats/summary_figures.h"

namespace orvix::stats {

struct TProfileLine {
    std::string_view Index;       // the column
    std::string_view Caption;     // Russian
    int Decimals = 2;             // of the figure
    std::optional<double> Value;  // the examinee's figure; empty when the test has none
    std::optional<double> T;
    std::optional<double> BandLow;  // with the row's reliability
    std::optional<double> BandHigh;
    std::optional<double> Percentile;
    TTableSide Side = TTableSide::Inside;  // a percentile beyond the table's ends
    long long N = 0;                       // of the matched row
    bool Warned = false;                   // a warning is about this index
};

struct TNormProfile {
    TExaminee Examinee;                 // as the rows were matched
    std::vector<TProfileLine> Lines;    // in the table's order of indices
    std::vector<std::string> Warnings;  // Russian, each starting with its index's caption
    std::vector<TNormSource> Sources;
};

// The profile of a test's figures (FigureCells) against `input`'s table.
TNormProfile BuildNormProfile(const TNormInput& input, const std::vector<TCell>& figures);

// A percentile as the profile shows it: whole, "< 2" or "> 98" beyond the table's ends, "< 1"
// or "> 99" in the normal distribution's far tails, "—" without one.
std::string PercentileText(const TProfileLine& line);

}  // namespace orvix::stats
