// The five-second interval a selection's own timer falls in. The statistics beyond the report
// (work curve, trend, thirds, selections per minute, the retest's tempo, norms) count every
// selection there, and the per-selection table shows it beside the analysis' own attribution
// (TSelectionPoint::Interval), which the report and the five-second chart keep.
#pragma once

#include <cstdint>

namespace orvix {

// The timer the analysis stores for a selection whose timer field did not convert.
inline constexpr double kUnconvertedTimer = -9999;

// The 1-based interval of a selection whose timer reads `seconds`: ⌈seconds / 5⌉, at least 1,
// so that interval k holds the timers in (5(k − 1), 5k] and interval 1 also those up to 0.
// 0 (no interval) for a timer that did not convert and for one beyond the longest test the
// analysis accepts (kMaxIntervals intervals), which only a damaged protocol holds.
std::int32_t TimerInterval(double seconds) noexcept;

}  // namespace orvix
