// Two tests of one examinee side by side: the indices of both with their differences, and the
// differences of mean search time and of mean tempo with Welch's 95 % confidence interval and
// two-sided p-value. Differences are later minus earlier.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "protocol/analysis.h"
#include "stats/retest_norms.h"
#include "stats/work_curve.h"

namespace orvix::stats {

// Welch's two-sample comparison of means.
struct TWelch {
    std::size_t EarlierCount = 0;
    std::size_t LaterCount = 0;
    double EarlierMean = 0;
    double LaterMean = 0;
    double Difference = 0;  // LaterMean - EarlierMean
    // Empty when a sample has fewer than two values or both have no spread.
    std::optional<double> Low;
    std::optional<double> High;
    std::optional<double> PValue;
    std::optional<double> Df;  // Welch-Satterthwaite degrees of freedom
};

TWelch WelchTest(std::span<const double> earlier, std::span<const double> later);

// One row of the side-by-side table.
struct TIndexRow {
    std::string_view Name;  // Russian, UTF-8
    std::string_view Key;   // English, for machine-read output
    std::optional<double> Earlier;
    std::optional<double> Later;
    std::optional<double> Difference;  // empty when either side is
    int Decimals = 2;                  // how the row is shown
};

struct TRetest {
    TAccuracy EarlierIndices;
    TAccuracy LaterIndices;
    TWorkCurve EarlierCurve;
    TWorkCurve LaterCurve;
    TWelch Search;  // per-selection search times, seconds
    TWelch Tempo;   // selections per five-second interval
    std::vector<TIndexRow> Rows;
    std::optional<TRetestNorms> Norms;  // the reliable change, when norms were given
};

// Both results must come from complete analyses. With `norms`, also the reliable change of
// every index that has what it needs.
TRetest CompareTests(const TAnalysisResult& earlier, const TAnalysisResult& later,
                     const TNormInput* norms = nullptr);

}  // namespace orvix::stats
