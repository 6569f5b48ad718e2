// The archive's failures: orvix::Exception with a Russian message (Windows-1251, as every
// message of the program), shown by the caller.
#pragma once

#include <string_view>

#include "base/errors.h"

namespace orvix::archive {

// The database cannot be read or written, or a call was given what does not exist.
class EArchiveError : public Exception {
  public:
    using Exception::Exception;
    // From a UTF-8 text.
    static EArchiveError Utf8(std::string_view text);
};

// Another program holds the database locked for longer than the busy timeout.
class EArchiveBusy : public EArchiveError {
  public:
    using EArchiveError::EArchiveError;
};

}  // namespace orvix::archive
