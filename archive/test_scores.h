// Norm scores for the archive's tests: each test against the norm table, the examinee as the
// test's date sees them (age from the birth date, sex, group).
#pragma once

#include <vector>

#include "archive/archive_rows.h"
#include "stats/norm_scores.h"

namespace orvix::archive {

// One list of scores per test of `tests`, in their order (stats::TNormLookup::Score); a test
// that was not read (failed or missing) gets an empty list. The scores point into the table
// under `lookup`, which must outlive them.
std::vector<std::vector<stats::TNormScore>> ScoreTests(const std::vector<TTestRow>& tests,
                                                       const stats::TNormLookup& lookup);

}  // namespace orvix::archive
