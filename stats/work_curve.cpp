#include "stats/work_curve.h"

#include <algorithm>
#include <cmath>

#include "stats/student_t.h"
#include "stats/timed_intervals.h"

namespace orvix::stats {
namespace {

constexpr double kSecondsPerMinute = 60;
constexpr double kSelectionsPerMinuteFactor = kSecondsPerMinute / kIntervalSeconds;  // 12

std::optional<double> Ratio(double numerator, double denominator) {
    // A denominator of 0 (or below, in a protocol with negative counts) leaves the index empty.
    if (!(denominator > 0)) return std::nullopt;
    const double value = numerator / denominator;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::vector<TMinute> SplitMinutes(const std::vector<TIntervalCounts>& intervals) {
    std::vector<TMinute> minutes;
    const std::size_t n = intervals.size();
    minutes.reserve((n + kIntervalsPerMinute - 1) / kIntervalsPerMinute);
    for (std::size_t first = 0; first < n; first += kIntervalsPerMinute) {
        const std::size_t last = std::min(n, first + kIntervalsPerMinute);
        TMinute minute;
        minute.Index = static_cast<int>(minutes.size()) + 1;
        minute.Seconds = static_cast<double>(last - first) * kIntervalSeconds;
        minute.Start = static_cast<double>(minutes.size());
        for (std::size_t i = first; i < last; ++i) {
            minute.Selections += intervals[i].Selections;
            minute.Wrong += intervals[i].Wrong;
            minute.Omissions += intervals[i].Omissions;
        }
        minute.SelectionsPerMinute = minute.Selections * kSecondsPerMinute / minute.Seconds;
        minutes.push_back(minute);
    }
    return minutes;
}

// Interval i (0-based) is centred at (i + 1/2) * 5 s, in minutes.
double Midpoint(std::size_t i) {
    return (static_cast<double>(i) + 0.5) * kIntervalSeconds / kSecondsPerMinute;
}

TTrend FitTrend(const std::vector<TIntervalCounts>& intervals) {
    TTrend trend;
    const std::size_t n = intervals.size();
    trend.Count = static_cast<int>(n);
    if (n < 3) return trend;
    double meanY = 0;
    for (const TIntervalCounts& c : intervals) meanY += c.Selections * kSelectionsPerMinuteFactor;
    meanY /= static_cast<double>(n);
    // The midpoints are evenly spaced: their mean is the middle one's.
    const double meanX = Midpoint(n - 1) / 2 + Midpoint(0) / 2;
    double sxx = 0;
    double sxy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = Midpoint(i) - meanX;
        sxx += dx * dx;
        sxy += dx * (intervals[i].Selections * kSelectionsPerMinuteFactor - meanY);
    }
    trend.Slope = sxy / sxx;
    trend.Intercept = meanY - trend.Slope * meanX;
    double residuals = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double r =
            intervals[i].Selections * kSelectionsPerMinuteFactor - trend.At(Midpoint(i));
        residuals += r * r;
    }
    const double df = static_cast<double>(n - 2);
    trend.MeanTime = meanX;
    trend.TimeSquares = sxx;
    trend.ResidualSD = std::sqrt(residuals / df);
    trend.TQuantile = StudentTQuantile(0.975, df);
    const double half = trend.TQuantile * trend.ResidualSD / std::sqrt(sxx);
    trend.Low = trend.Slope - half;
    trend.High = trend.Slope + half;
    trend.Defined = std::isfinite(trend.Low) && std::isfinite(trend.High);
    return trend;
}

std::optional<double> ThirdsRatio(const std::vector<TIntervalCounts>& intervals) {
    const std::size_t third = intervals.size() / 3;
    if (third == 0) return std::nullopt;
    double first = 0;
    double last = 0;
    for (std::size_t i = 0; i < third; ++i) {
        first += intervals[i].Selections;
        last += intervals[intervals.size() - third + i].Selections;
    }
    return Ratio(last, first);  // both thirds have the same number of intervals
}

// The mean of the counts and their coefficient of variation (sample SD, percent).
std::pair<double, double> MeanAndVariation(const std::vector<TIntervalCounts>& intervals) {
    const std::size_t n = intervals.size();
    if (n == 0) return {0, 0};
    double mean = 0;
    for (const TIntervalCounts& c : intervals) mean += c.Selections;
    mean /= static_cast<double>(n);
    if (n < 2 || !(mean > 0)) return {mean, 0};
    double squares = 0;
    for (const TIntervalCounts& c : intervals)
        squares += (c.Selections - mean) * (c.Selections - mean);
    return {mean, 100 * std::sqrt(squares / static_cast<double>(n - 1)) / mean};
}

TVerdict Verdict(const TWorkCurve& curve) {
    const TTrend& t = curve.Trend;
    if (!t.Defined) return TVerdict::None;
    const double minutes =
        static_cast<double>(curve.Intervals.size()) * kIntervalSeconds / kSecondsPerMinute;
    const double band = kSteadyShare * curve.MeanTempo / minutes;
    const bool negligible = t.Low >= -band && t.High <= band;
    if (!negligible && t.High < 0) return TVerdict::Slowing;
    if (!negligible && t.Low > 0) return TVerdict::SpeedingUp;
    if (curve.TempoV > kUnstableTempoV) return TVerdict::Unstable;
    return TVerdict::Steady;
}

}  // namespace

double TTrend::BandHalfWidth(double minutes) const noexcept {
    if (!Defined) return 0;
    const double dx = minutes - MeanTime;
    return TQuantile * ResidualSD * std::sqrt(1.0 / Count + dx * dx / TimeSquares);
}

TWorkCurve ComputeWorkCurve(const TAnalysisResult& result) {
    TWorkCurve curve;
    curve.Intervals = CountByTimer(result.Points);
    curve.Minutes = SplitMinutes(curve.Intervals);
    curve.Trend = FitTrend(curve.Intervals);
    curve.ThirdsRatio = ThirdsRatio(curve.Intervals);
    const auto [mean, variation] = MeanAndVariation(curve.Intervals);
    curve.MeanTempo = mean * kSelectionsPerMinuteFactor;
    curve.TempoV = variation;
    curve.Verdict = Verdict(curve);
    return curve;
}

TAccuracy ComputeAccuracy(const TAnalysisResult& result) {
    const double plus = result.NPlus;
    const double omitted = result.NOmit;
    const double wrong = result.NWrong;
    TAccuracy accuracy;
    accuracy.Accuracy = Ratio(plus, plus + omitted);
    accuracy.WrongShare = Ratio(wrong, plus + wrong);
    const std::vector<TIntervalCounts> intervals = CountByTimer(result.Points);
    double counted = 0;
    for (const TIntervalCounts& c : intervals) counted += c.Selections;
    accuracy.SelectionsPerMinute = Ratio(
        counted, static_cast<double>(intervals.size()) * kIntervalSeconds / kSecondsPerMinute);
    return accuracy;
}

std::string_view VerdictName(TVerdict verdict) noexcept {
    switch (verdict) {
        case TVerdict::Steady:
            return "steady";
        case TVerdict::Slowing:
            return "slowing";
        case TVerdict::SpeedingUp:
            return "speeding up";
        case TVerdict::Unstable:
            return "unstable";
        case TVerdict::None:
            break;
    }
    return "";
}

std::string_view VerdictRussian(TVerdict verdict) noexcept {
    switch (verdict) {
        case TVerdict::Steady:
            return "устойчивый темп";
        case TVerdict::Slowing:
            return "замедление";
        case TVerdict::SpeedingUp:
            return "ускорение";
        case TVerdict::Unstable:
            return "неустойчивый темп";
        case TVerdict::None:
            break;
    }
    return "";
}

}  // namespace orvix::stats
