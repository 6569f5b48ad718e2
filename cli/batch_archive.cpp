// --db: the examinees' data and the tests' dates from an archive database, by the content of
// each protocol file (the archive knows a test by its content wherever the file lies).
#include <unordered_map>

#include "base/errors.h"
#include "base/file_io.h"
#include "cli/batch_norms.h"

#if ORVIX_BATCH_ARCHIVE
#include "archive/archive.h"
#include "archive/content_hash.h"
#endif

namespace orvix::batch {
namespace fs = std::filesystem;

#if ORVIX_BATCH_ARCHIVE
namespace {

// Everything the archive knows of its tests, read once: a run asks for every protocol it is
// given, from several threads, and a lookup in memory needs no lock.
class TArchiveSource final : public TExamineeSource {
  public:
    explicit TArchiveSource(const fs::path& database) {
        std::error_code ec;
        // Opening a database that is not there would make a new, empty one.
        if (!fs::is_regular_file(database, ec))
            throw archive::EArchiveError::Utf8("архива нет: такого файла не найдено");
        archive::TArchive archive(database);
        for (archive::TTestRow& row : archive.Tests()) {
            TKnownTest known;
            known.TestDate = stats::ParseDate(row.Date);
            const bool present = row.Status != archive::TTestStatus::Missing;
            const auto [it, added] = tests_.try_emplace(std::move(row.Hash), std::move(known));
            // The same content at two paths is one test; a file still there speaks for it.
            if (!added && present) it->second = std::move(known);
        }
    }

    std::optional<TKnownTest> Find(const fs::path& protocol) const override {
        std::string bytes;
        try {
            bytes = ReadWholeFile(protocol);
        } catch (const Exception&) {
            return std::nullopt;  // the load tells why
        }
        const auto it = tests_.find(archive::ContentHash(bytes));
        if (it == tests_.end()) return std::nullopt;
        return it->second;
    }

  private:
    std::unordered_map<std::string, TKnownTest> tests_;
};

}  // namespace

std::unique_ptr<TExamineeSource> OpenArchiveSource(const fs::path& database) {
    return std::make_unique<TArchiveSource>(database);
}
#else
std::unique_ptr<TExamineeSource> OpenArchiveSource(const fs::path& database) {
    throw EFOpenError(WithArgument(msg::kCannotOpenFile, PathText(database)));
}
#endif

bool CanReadArchives() noexcept {
    return ORVIX_BATCH_ARCHIVE != 0;
}

}  // namespace orvix::batch
