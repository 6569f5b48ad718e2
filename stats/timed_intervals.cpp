#include "stats/timed_intervals.h"

#include <algorithm>
#include <cmath>

namespace orvix::stats {

std::int32_t TimerInterval(double seconds) noexcept {
    if (seconds == kUnconvertedTimer || !std::isfinite(seconds)) return 0;
    if (seconds <= 0) return 1;
    if (seconds > 5.0 * kMaxIntervals) return 0;
    // The quotient is correctly rounded, so a timer above a multiple of 5 never divides down to
    // it; the checks below only guard the boundary against any doubt.
    auto k = static_cast<std::int32_t>(std::ceil(seconds / 5));
    if (5.0 * k < seconds) ++k;
    if (k > 1 && 5.0 * (k - 1) >= seconds) --k;
    return std::max<std::int32_t>(k, 1);
}

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
