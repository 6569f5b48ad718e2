#include "stats/timed_intervals.h"

#include <algorithm>

namespace orvix::stats {

std::vector<TIntervalCounts> CountByTimer(const std::vector<TSelectionPoint>& points) {
    std::int32_t last = 0;
    for (const TSelectionPoint& p : points) last = std::max(last, TimerInterval(p.X));
    std::vector<TIntervalCounts> counts(static_cast<std::size_t>(last));
    for (const TSelectionPoint& p : points) {
        const std::int32_t k = TimerInterval(p.X);
        if (k == 0) continue;
        TIntervalCounts& c = counts[static_cast<std::size_t>(k - 1)];
        ++c.Selections;
        if (!p.Correct) ++c.Wrong;
        if (p.OmissionAttributed) ++c.Omissions;
    }
    return counts;
}

}  // namespace orvix::stats
