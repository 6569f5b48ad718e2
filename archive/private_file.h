// Files that hold personal data: created readable and writable by their owner only (on
// POSIX systems, whatever the umask), written atomically like every other output.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orvix::archive {

// Writes `bytes` as the whole of `target`: a temporary file (mode 0600) in the target's
// folder, flushed, renamed over the target. The target ends up with mode 0600 even when it
// existed with another. Fails as base's WriteFileAtomically does ("Cannot create file %s",
// "Stream write error"); the target then keeps its previous content.
void WritePrivateFile(const std::filesystem::path& target, std::string_view bytes);

// Makes an existing file readable and writable by its owner only (POSIX; elsewhere nothing).
void MakeOwnerOnly(const std::filesystem::path& file);

// A path as UTF-8 text, and back.
std::string Utf8Path(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view utf8);

}  // namespace orvix::archive
