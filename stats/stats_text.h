// The work-curve figures and the retest comparison as text (UTF-8, in Russian: words are
// Russian, only the method's and statistics' symbols are Latin letters: N, n, p, t), for the
// windows, the report page and the batch tool alike.
#pragma once

#include <string>
#include <string_view>

#include "stats/retest.h"
#include "stats/work_curve.h"

namespace orvix::stats {

// A number with `decimals` digits after `decimal`, "—" when there is none.
std::string NumberText(const std::optional<double>& value, int decimals, char decimal);

// The figures of one test, one per line (each ended by "\n").
std::string WorkCurveText(const TWorkCurve& curve, const TAccuracy& accuracy, char decimal);

// The comparison: who and which files, the table of indices, the two Welch comparisons and
// both curves minute by minute. `earlierName`/`laterName` name the two tests (UTF-8).
std::string RetestText(const TRetest& retest, std::string_view earlierName,
                       std::string_view laterName, char decimal);

}  // namespace orvix::stats
