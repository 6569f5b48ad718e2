// What scoring against norms needs besides a test's figures: the norm table, which norm of it,
// the examinee's data and the date of the test; and how a page names the norms it used.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/examinee.h"
#include "stats/norm_table.h"

namespace orvix::stats {

struct TNormInput {
    std::shared_ptr<const TNormTable> Table;  // shared, so a window may keep it
    std::string NormId;                       // only this norm's rows; empty: every row
    TExamineeData Examinee;
    // The date of the test scored; in a comparison the earlier test's, whose norm group the
    // change is measured against. Without it the examinee's age is not known.
    std::optional<TDate> TestDate;

    TExaminee ExamineeAtTest() const { return ExamineeAt(Examinee, TestDate); }
};

// One norm the scores used: its id, version and source, with the smallest and largest n of
// its rows that were used.
struct TNormSource {
    std::string NormId;
    std::string Version;
    std::string Source;
    long long NLow = 0;
    long long NHigh = 0;
};

// The norms of `rows` (null entries skipped) in the order they first appear.
std::vector<TNormSource> NormSources(const std::vector<const TNormRow*>& rows);

// "Нормы «id», версия v, n = 45–60; источник: …" (Russian, UTF-8).
std::string NormSourceText(const TNormSource& source);

// The index's name as the pages show it: its caption, or the column itself when it has none.
std::string_view NormIndexCaption(std::string_view column) noexcept;

}  // namespace orvix::stats
