// What a retest comparison warns about before its figures: two tests of different examinees,
// two tests of one day, or an "earlier" test dated after the later one. Examinees and dates are
// told apart by the archive's own rules, so the window, its page, the archive and the batch
// tool agree. Plain C++.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "protocol/load.h"

namespace orvix {

// What a comparison knows of one test.
struct TComparedTest {
    std::string Examinee;     // the name as shown (UTF-8)
    std::string ExamineeKey;  // equal keys: one person
    std::string Date;         // ISO 8601 ("2026-03-10"); empty when unknown
};

// A protocol on its own, by the archive's rules: the examinee named in its SubjectCaption, the
// first date in its FileTag, SubjectCaption or heading, else the modification date of `file`.
TComparedTest ComparedTestOf(const TLoadedProtocol& load, const std::filesystem::path& file);

// The warnings, one line each (Russian, UTF-8), naming the examinees or the dates; none when
// the tests are one examinee's on two dates in order (or a date is unknown).
std::vector<std::string> ComparisonWarnings(const TComparedTest& earlier,
                                            const TComparedTest& later);

// Shorthand: the warnings for two protocols read from `earlierFile` and `laterFile`.
std::vector<std::string> ComparisonWarnings(const TLoadedProtocol& earlier,
                                            const std::filesystem::path& earlierFile,
                                            const TLoadedProtocol& later,
                                            const std::filesystem::path& laterFile);

}  // namespace orvix
