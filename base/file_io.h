// Whole-file reading and writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvix {

// The largest file ReadWholeFile takes: 256 MiB.
inline constexpr std::uint64_t kMaxTextBytes = std::uint64_t{256} << 20;

// A path as Windows-1251 text, for messages and views.
std::string PathText(const std::filesystem::path& path);

// A Windows-1251 text made fit to stand as a file name: the characters / \ : * ? " < > | and
// the control characters become "_", so a name taken from a protocol cannot leave its folder.
std::string SafeFileName(std::string_view name);

// Reads every byte of a regular file, to its end whatever size the system reports. Anything
// that is not a regular file that can be opened (missing, no access, a folder, a pipe, a
// device, a socket) fails at once with EFOpenError "Cannot open file %s"; a file larger than
// `limit` bytes with EInvalidOperation "Text exceeds memo capacity".
std::string ReadWholeFile(const std::filesystem::path& path, std::uint64_t limit = kMaxTextBytes);

// Writes `bytes` as the whole content of `target`, atomically: the bytes go to a temporary
// file in the target's folder, which is renamed over the target only when complete. On any
// failure the target keeps its previous content (or does not appear) and the temporary file
// is removed. The temporary file is flushed to the disk before the rename, and the rename
// after it. A target that cannot be created or written fails with EFCreateError
// "Cannot create file %s" naming the target, one that another program holds open so that it
// may not be replaced (Windows) with EFCreateError msg::kFileInUse naming it; a short write (disk
// full) or a failed flush with EWriteError "Stream write error". (Several files saved
// together: staged_files.h.)
void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace orvix
