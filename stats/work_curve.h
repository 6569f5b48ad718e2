// The time course of one test: selections, wrong selections and omissions per minute, the
// least-squares trend of the tempo with its 95 % confidence interval, the tempo of the last
// third against the first, a verdict, and the accuracy indices. Computed from a complete
// analysis, with every selection in the interval its own timer falls in (timed_intervals.h);
// nothing here changes the report.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/analysis.h"

namespace orvix::stats {

inline constexpr double kIntervalSeconds = 5;
inline constexpr int kIntervalsPerMinute = 12;
// A test whose five-second tempo varies more than this (coefficient of variation, percent)
// and shows no clear trend is called unstable.
inline constexpr double kUnstableTempoV = 50;
// A trend whose whole 95 % interval, drawn over the whole test, changes the tempo by no more
// than this share of its mean is no trend at all, however significant: the slope's interval
// lies within ±kSteadyShare × the mean tempo / the test's minutes. A tenth is less than the
// tempo of a steady worker varies from one minute to the next (five-second counts vary by
// 30-50 %, the sum of twelve of them by about a third of that), so no examiner could see such
// a change in the test. The share is of the whole test rather than of a minute so that a long
// test cannot halve its tempo a little each minute and still be called steady. An ordinary
// test's interval is far wider than this band; only a very long or very dense test, where a
// tiny slope is significant without meaning anything, is affected.
inline constexpr double kSteadyShare = 0.1;

// One minute of the test: 12 five-second intervals, fewer in a last partial minute.
struct TMinute {
    int Index = 0;       // 1-based
    double Seconds = 0;  // 60, or the length of a last partial minute
    double Start = 0;    // minutes from the start of the test
    std::uint32_t Selections = 0;
    std::uint32_t Wrong = 0;
    std::uint32_t Omissions = 0;
    double SelectionsPerMinute = 0;  // Selections over the minute's length
};

// Least-squares line through the selections of each five-second interval, as selections per
// minute (count × 12), over the interval's midpoint in minutes.
struct TTrend {
    bool Defined = false;  // at least three intervals
    double Slope = 0;      // selections per minute, per minute
    double Intercept = 0;  // selections per minute at the start of the test
    double Low = 0;        // the slope's 95 % confidence interval (Student t, n - 2 df)
    double High = 0;
    // What the confidence band of the line needs.
    int Count = 0;           // intervals
    double MeanTime = 0;     // mean interval midpoint, minutes
    double TimeSquares = 0;  // sum of squared deviations of the midpoints
    double ResidualSD = 0;   // selections per minute
    double TQuantile = 0;    // t(0.975, n - 2)

    // The fitted tempo at `minutes`, and the half width of its 95 % confidence band there.
    double At(double minutes) const noexcept { return Intercept + Slope * minutes; }
    double BandHalfWidth(double minutes) const noexcept;
};

enum class TVerdict : std::uint8_t {
    None,  // too short for a trend (fewer than three intervals)
    // No clear trend (the slope's interval holds 0, or lies wholly within the band of
    // kSteadyShare) and the tempo V at most kUnstableTempoV.
    Steady,
    Slowing,     // the slope's interval lies wholly below 0, and not wholly within the share
    SpeedingUp,  // wholly above 0, and not wholly within the share
    Unstable,    // no clear trend, tempo V above kUnstableTempoV
};

struct TWorkCurve {
    // The counts of each five-second interval by the selections' own timers.
    std::vector<TIntervalCounts> Intervals;
    std::vector<TMinute> Minutes;
    TTrend Trend;
    // Mean selections per interval of the last third of the intervals over the first third
    // (each third is a whole number of intervals, floor(n / 3)); empty when a third has no
    // interval or the first third no selection.
    std::optional<double> ThirdsRatio;
    // Selections per minute over the intervals (their mean count × 12); 0 without intervals.
    double MeanTempo = 0;
    // The coefficient of variation of the interval counts, percent (sample SD, as the report
    // computes its own): 0 with fewer than two intervals or no selection.
    double TempoV = 0;
    TVerdict Verdict = TVerdict::None;
};

// Accuracy indices; each is empty where its denominator is 0.
struct TAccuracy {
    std::optional<double> Accuracy;    // N+ / (N+ + Nomit), the header counts
    std::optional<double> WrongShare;  // Nwrong / (N+ + Nwrong), the header counts
    // The selections counted in the intervals over the intervals' minutes.
    std::optional<double> SelectionsPerMinute;
};

// `result` must come from a complete analysis (every step done).
TWorkCurve ComputeWorkCurve(const TAnalysisResult& result);
TAccuracy ComputeAccuracy(const TAnalysisResult& result);

// "steady", "slowing", "speeding up", "unstable" ("" for None), and the Russian words (UTF-8).
std::string_view VerdictName(TVerdict verdict) noexcept;
std::string_view VerdictRussian(TVerdict verdict) noexcept;

}  // namespace orvix::stats
