#include "archive_norm_input.h"

#include <system_error>

#include "archive/archive_errors.h"
#include "archive/examinee_lookup.h"
#include "base/errors.h"
#include "base/file_io.h"

namespace orvix {
namespace {

std::optional<archive::TProtocolExaminee> Find(const archive::TExamineeLookup& lookup,
                                               const std::filesystem::path& file) {
    std::string bytes;
    try {
        bytes = ReadWholeFile(file);
    } catch (const std::exception&) {
        // A file gone or unreadable since it was loaded is still found by its place.
        return lookup.Find({}, file);
    }
    return lookup.FindContent(bytes, file);
}

template <typename Pick>
std::optional<stats::TNormInput> WithLookup(const std::filesystem::path& database, Pick pick) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(database, ec)) return std::nullopt;
    try {
        const archive::TExamineeLookup lookup(database);
        if (!lookup.NormsInUse() || !lookup.NormsInUse()->Table) return std::nullopt;
        stats::TNormInput input;
        input.Table = lookup.NormsInUse()->Table;
        pick(lookup, input);
        return input;
    } catch (const archive::EArchiveError&) {
        // An archive that cannot be read leaves the page as it is without one.
        return std::nullopt;
    }
}

}  // namespace

std::optional<stats::TNormInput> ArchiveNormsFor(const std::filesystem::path& database,
                                                 const std::filesystem::path& file) {
    return WithLookup(database,
                      [&](const archive::TExamineeLookup& lookup, stats::TNormInput& input) {
                          if (const auto found = Find(lookup, file)) {
                              input.Examinee = found->Data;
                              input.TestDate = found->TestDate;
                          }
                      });
}

std::optional<stats::TNormInput> ArchiveNormsFor(const std::filesystem::path& database,
                                                 const std::filesystem::path& earlier,
                                                 const std::filesystem::path& later) {
    return WithLookup(database,
                      [&](const archive::TExamineeLookup& lookup, stats::TNormInput& input) {
                          if (const auto found = Find(lookup, earlier)) {
                              input.Examinee = found->Data;
                              input.TestDate = found->TestDate;
                          } else if (const auto other = Find(lookup, later)) {
                              input.Examinee = other->Data;
                          }
                      });
}

stats::TNormInput NormsForRow(const archive::TStoredNorms& norms, const archive::TTestRow& row) {
    stats::TNormInput input;
    input.Table = norms.Table;
    input.Examinee = row.ExamineeData;
    input.TestDate = stats::ParseDate(row.Date);
    return input;
}

}  // namespace orvix
