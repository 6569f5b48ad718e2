// Our own attribution of the selections to five-second intervals: every selection counts in
// the interval its own timer falls in. The work curve, its trend and thirds, the selections per
// minute, the retest's tempo and the norms use it. The report and the five-second chart keep
// the analysis' own attribution (TAnalysisResult::Intervals), which is unchanged.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/analysis.h"

namespace orvix::stats {

// The timer the analysis stores for a selection whose timer field did not convert.
inline constexpr double kUnconvertedTimer = -9999;

// The 1-based interval of a selection whose timer reads `seconds`: ⌈seconds / 5⌉, at least 1,
// so that interval k holds the timers in (5(k − 1), 5k] and interval 1 also those up to 0.
// 0 (no interval) for a timer that did not convert and for one beyond the longest test the
// analysis accepts (kMaxIntervals intervals), which only a damaged protocol holds.
std::int32_t TimerInterval(double seconds) noexcept;

// The counts of every interval from 1 to that of the latest timer (none when no timer
// converted): selections, wrong selections, and the omissions the analysis attributed to the
// selections counted there.
std::vector<TIntervalCounts> CountByTimer(const std::vector<TSelectionPoint>& points);

}  // namespace orvix::stats
