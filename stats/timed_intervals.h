// Our own attribution of the selections to five-second intervals: every selection counts in
// the interval its own timer falls in. The work curve, its trend and thirds, the selections per
// minute, the retest's tempo and the norms use it. The report and the five-second chart keep
// the analysis' own attribution (TAnalysisResult::Intervals), which is unchanged.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/analysis.h"
#include "protocol/timer_interval.h"

namespace orvix::stats {

// The rule lives with the protocol, whose per-selection table shows it too.
using ::orvix::kUnconvertedTimer;
using ::orvix::TimerInterval;

// The counts of every interval from 1 to that of the latest timer (none when no timer
// converted): selections, wrong selections, and the omissions the analysis attributed to the
// selections counted there.
std::vector<TIntervalCounts> CountByTimer(const std::vector<TSelectionPoint>& points);

}  // namespace orvix::stats
