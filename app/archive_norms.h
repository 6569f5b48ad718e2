// Local norms from tests chosen in the archive: each examinee counted once, by their earliest
// test that was read without an error, and what the user is told of the table made.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "archive/archive_rows.h"
#include "stats/local_norms.h"

namespace orvix {

struct TArchiveNorms {
    stats::TLocalNorms Norms;
    std::size_t Examinees = 0;  // the tests used: one per examinee
    std::size_t LeftOut = 0;    // tests chosen but not used (failed, missing, later retests)
};

// The norms of `tests` for `group`. A retest would count a person twice and carries the
// practice of the first test, so only each examinee's earliest good test is taken.
TArchiveNorms NormsOfTests(const std::vector<archive::TTestRow>& tests,
                           const stats::TLocalNormGroup& group);

// The group the examinees of `tests` (each by their earliest good test) make by what the
// archive knows of them: their sex when all share one, the range of their ages at those tests
// when every age is known, their group label when all share one; the rest open.
stats::TLocalNormGroup GroupOfTests(const std::vector<archive::TTestRow>& tests);

// What the user reads once the table is written (Russian): how many examinees and tests, the
// dates, the indices left out, a warning when the group is under 30.
QString NormsReport(const TArchiveNorms& made, const QString& file);

}  // namespace orvix
