// Where the archive's database lives. Plain C++: the window and the tools ask the same way.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace orvix::archive {

// The file name of the database.
inline constexpr const char* kDatabaseName = "archive.db";

// Reads an environment variable; nothing when it is not set.
using TEnvironment = std::function<std::optional<std::string>(const char* name)>;

// The process's own environment.
std::optional<std::string> ProcessEnvironment(const char* name);

// The database for the program in `programDir`:
// - portable layout (a Data folder beside the program): programDir/archive.db, beside Data and
//   Results;
// - installed: the user's data folder: $XDG_DATA_HOME/orvix-kl/archive.db, or
//   ~/.local/share/orvix-kl/archive.db without it (HOME), on Windows
//   %LOCALAPPDATA%\ORVIX-KL\archive.db.
// Only the environment and the existence of programDir/Data are looked at; nothing is made.
// Without any usable variable the portable place is returned.
std::filesystem::path DatabaseLocation(const std::filesystem::path& programDir,
                                       const TEnvironment& environment = ProcessEnvironment);

}  // namespace orvix::archive
