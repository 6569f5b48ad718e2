// --db: the examinees' data and the tests' dates from an archive database, found by the content
// of each protocol file (the archive knows a test by its content wherever the file lies).
#include "base/errors.h"
#include "base/file_io.h"
#include "cli/batch_norms.h"

#if ORVIX_BATCH_ARCHIVE
#include "archive/examinee_lookup.h"
#endif

namespace orvix::batch {
namespace fs = std::filesystem;

#if ORVIX_BATCH_ARCHIVE
namespace {

// The archive is read once, when the run starts; a run asks for every protocol it is given,
// from several threads, and the lookup answers from memory.
class TArchiveSource final : public TExamineeSource {
  public:
    explicit TArchiveSource(const fs::path& database) : lookup_(database) {}

    std::optional<TKnownTest> Find(const fs::path& protocol) const override {
        std::string bytes;
        try {
            bytes = ReadWholeFile(protocol);
        } catch (const Exception&) {
            return std::nullopt;  // the load says why
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
        const std::optional<archive::TProtocolExaminee> found =
            lookup_.FindContent(bytes, protocol);
        if (!found) return std::nullopt;
        return TKnownTest{found->Data, found->TestDate};
    }

  private:
    archive::TExamineeLookup lookup_;
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
