// The database's layout: its version, the tables of a new database and the steps that bring
// an older one up to date. Internal to the archive (and its tests).
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "archive/database.h"

namespace orvix::archive {

// The layout this program writes (PRAGMA user_version).
inline constexpr int kSchemaVersion = 2;

// The number of figure columns the protocol table has (c0 .. c20).
inline constexpr std::size_t kStoredFigures = 21;

// Makes the tables of an empty database, at kSchemaVersion.
void CreateSchema(TDatabase& db);

// Brings a database of layout `steps`-index + 1 ... up to date: steps[v - 1] takes version v
// to v + 1. Before the first step the whole database is copied beside it (VACUUM INTO, owner
// only), and that copy's path is returned; each step with its version change is one
// transaction. A database that is up to date is left alone (nothing returned).
std::optional<std::filesystem::path> Migrate(TDatabase& db, int target,
                                             std::span<const std::string_view> steps);

// The steps of this program: steps[v - 1] takes version v to v + 1.
std::span<const std::string_view> MigrationSteps();

// A name beside `path` for a copy made now: path + "." + what + "-YYYYMMDD-HHMMSS" (and a
// number when that exists already).
std::filesystem::path NameBeside(const std::filesystem::path& path, std::string_view what);

}  // namespace orvix::archive
