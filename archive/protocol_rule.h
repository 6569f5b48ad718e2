// Which files of a folder are protocols. Protocol files have no extension of their own, so
// the rule looks at the name first and then at the first bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace orvix::archive {

// The bytes of the file's beginning the rule reads.
inline constexpr std::size_t kSniffBytes = 1024;

// By name alone, a file that is certainly not a protocol: the program's own outputs
// ("… KL.txt", ".gif", ".pdf", ".csv", ".xlsx"), pictures, documents, archives, programs, the
// archive's own database files and temporary files. Case does not matter.
bool IsPassedOverByName(const std::filesystem::path& file);

// By its first bytes (up to kSniffBytes, as they are in the file): once descrambled they are
// text (no control characters but tab, CR and LF, no byte 0) holding at least three line
// breaks. A spoilt protocol still passes (and is listed with Data's message); a picture, a
// PDF, a report, a plain text or any other binary file does not. An empty file does not.
bool LooksLikeProtocol(std::string_view head);

}  // namespace orvix::archive
