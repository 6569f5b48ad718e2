// The archive's examinees for protocols read elsewhere (the batch tool's --db): for a protocol
// file, the examinee the archive gives it (the user's corrections applied), with their birth
// date, sex and group, and the test's date, from which the age at the test follows.
//
// The database is read once, when the lookup is made, and never written; after that the
// lookup holds everything in memory and its const calls may be made from any number of
// threads at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/archive_rows.h"
#include "stats/examinee.h"

namespace orvix::archive {

struct TProtocolExaminee {
    std::int64_t ExamineeId = 0;
    std::string Examinee;       // the name as the archive shows it
    stats::TExamineeData Data;  // what the user gave of the examinee
    std::optional<stats::TDate> TestDate;

    // The examinee as a norm sees them at this test (the age known when both dates are).
    stats::TExaminee At() const { return stats::ExamineeAt(Data, TestDate); }
};

class TExamineeLookup {
  public:
    // Reads the archive database at `database`, which must exist. Throws EArchiveError when it
    // cannot be read or is not an archive database. A database of an older layout is read as
    // it is (its examinees have no data).
    explicit TExamineeLookup(const std::filesystem::path& database);

    // The protocol whose content hash (archive/content_hash.h) is `hash`; when the archive has
    // no protocol of that content, the one indexed at `file` (any changes to the file since
    // its last scan notwithstanding).
    std::optional<TProtocolExaminee> Find(std::string_view hash,
                                          const std::filesystem::path& file) const;
    // The same for a file's bytes (hashed here).
    std::optional<TProtocolExaminee> FindContent(std::string_view bytes,
                                                 const std::filesystem::path& file) const;

    // The norm table in use in the archive when the lookup was made, if one is.
    const std::optional<TStoredNorms>& NormsInUse() const noexcept { return norms_; }

    std::size_t Size() const noexcept { return entries_.size(); }

  private:
    std::vector<TProtocolExaminee> entries_;
    std::unordered_map<std::string, std::size_t> byHash_;
    std::unordered_map<std::string, std::size_t> byPath_;
    std::optional<TStoredNorms> norms_;
};

}  // namespace orvix::archive
