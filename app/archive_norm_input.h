// What the windows score a test against: the archive's norm table in use and the examinee's
// data, found for a protocol file by its content (or, failing that, by its place).
#pragma once

#include <filesystem>
#include <optional>

#include "archive/archive_rows.h"
#include "stats/norm_input.h"

namespace orvix {

// The norms for the protocol at `file`: nothing when there is no archive at `database`, it
// cannot be read, or no norm table is in use. A protocol the archive does not know is scored
// with no examinee data (the page says so) and no test date.
std::optional<stats::TNormInput> ArchiveNormsFor(const std::filesystem::path& database,
                                                 const std::filesystem::path& file);

// The norms for a comparison of two protocols: the earlier test's examinee and date; when the
// archive does not know the earlier test, the later one's examinee without a date.
std::optional<stats::TNormInput> ArchiveNormsFor(const std::filesystem::path& database,
                                                 const std::filesystem::path& earlier,
                                                 const std::filesystem::path& later);

// The norms for a test of the archive window, given the table in use.
stats::TNormInput NormsForRow(const archive::TStoredNorms& norms, const archive::TTestRow& row);

}  // namespace orvix
