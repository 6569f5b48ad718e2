// Local norms from the archive: the tests a selection picks (examinees, a date range), made
// into a norm table by stats::BuildLocalNorms.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/archive_rows.h"
#include "stats/local_norms.h"

namespace orvix::archive {

struct TTestSelection {
    // Examinees by name, as the archive shows them; letter case, spaces and ё against е do
    // not matter. Empty: every examinee.
    std::vector<std::string> Examinees;
    // Test dates, both ends included (ISO 8601); a test without a date is left out when either
    // is given.
    std::optional<std::string> From;
    std::optional<std::string> To;
};

// The tests of `tests` the selection picks: present and read (failed and missing files are
// left out), in the order given.
std::vector<TTestRow> SelectTests(const std::vector<TTestRow>& tests,
                                  const TTestSelection& selection);

// The norm table of `tests` (each test's figures and date), its rows described by `group`.
stats::TLocalNorms LocalNormsOf(const std::vector<TTestRow>& tests,
                                const stats::TLocalNormGroup& group);

}  // namespace orvix::archive
