// Getting a written file onto the disk before it replaces another: the platform's open, flush
// and rename, kept apart so that no system header reaches the rest of the code.
#pragma once

#include <cstdio>
#include <filesystem>

namespace orvix {

// Opens a file with the C library's `mode` ("rb", "wb", ...); Windows paths as wide names.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Starts writing what the system holds of an open, already flushed file to the disk without
// waiting for it (Linux: sync_file_range), so that the FlushToDisk calls of several files
// overlap. Elsewhere nothing: FlushToDisk does it all.
void StartFlushToDisk(std::FILE* file) noexcept;

// Writes what the system still holds of an open, already flushed file through to the disk
// (fsync; FlushFileBuffers on Windows). False when the system reports that it could not.
bool FlushToDisk(std::FILE* file);

// Whether an existing file may be replaced now.
enum class ReplaceAccess {
    kAllowed,
    // Another program holds it open in a way that forbids replacing it (on Windows: opened
    // without sharing write or delete access, as spreadsheet programs do with an open file).
    kInUse,
    // It may not be written for another reason: no permission, read-only, a folder.
    kRefused,
};
ReplaceAccess CheckReplace(const std::filesystem::path& target);

// Renames `from` over `to`, replacing it (on Windows with write-through). False when the
// rename fails.
bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes the renames done in `folder` reach the disk by flushing its entries (nothing on
// Windows, whose renames are written through). Some file systems cannot flush a folder; the
// files' content is on the disk already, so that is no failure.
void FlushFolder(const std::filesystem::path& folder) noexcept;

// RenameOver, then FlushFolder of the target's folder.
bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace orvix
