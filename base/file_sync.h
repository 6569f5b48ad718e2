// Getting a written file onto the disk before it replaces another: the platform's flush and
// rename, kept apart so that no system header reaches the rest of the code.
#pragma once

#include <cstdio>
#include <filesystem>

namespace orvix {

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

// Renames `from` over `to`, replacing it, and makes the rename itself reach the disk: the
// folder is flushed after the rename (on Windows the move is done with write-through). False
// when the rename fails; a folder that cannot be flushed does not undo a done rename.
bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace orvix
