#include "archive_errors.h"

#include "base/cp1251.h"

namespace orvix::archive {

EArchiveError EArchiveError::Utf8(std::string_view text) {
    return EArchiveError(Utf8ToCp1251(text));
}

}  // namespace orvix::archive
