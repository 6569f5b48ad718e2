// What the archive's own source files share; not for its users.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/database.h"
#include "stats/examinee.h"

namespace orvix::archive::detail {

// The examinee that protocols whose name key is `key` belong to, made (with `display` as its
// name) when there is none: an examinee whose name has this key takes it, otherwise a new
// one. Runs inside the caller's transaction.
std::int64_t ExamineeForKey(TDatabase& db, const std::string& key, const std::string& display);

// A new examinee named `name`; returns its id. Inside the caller's transaction.
std::int64_t NewExaminee(TDatabase& db, std::string_view name);

// The pseudonym key of this database (made on first use, inside the caller's transaction or
// one of its own).
std::string PseudonymKey(TDatabase& db);

// The user's data as text, and read back (inside the caller's transaction).
std::string CorrectionsText(TDatabase& db);
void ReadCorrectionsText(TDatabase& db, std::string_view text);

// Where the copy of the user's data lives, beside the database.
std::string CorrectionsCopyName();

// Writes the copy of the user's data beside the database as the transaction `t` has made it,
// then commits: a copy that cannot be written undoes the change.
void CommitWithCopy(TDatabase& db, TTransaction& t);

// The examinee's data as the columns birth_date, sex and group_label hold it (NULL: unknown),
// and back: the three columns from `first` on of a row of `s`.
std::optional<std::string> SexColumn(stats::TSex sex);
std::optional<stats::TSex> SexFromColumn(std::string_view text);
stats::TExamineeData ExamineeDataAt(const TStatement& s, int first);

// Checks what the user gave of an examinee: a birth date must be a real date (years 1900 to
// 2199, as test dates), the group label is trimmed. Throws EArchiveError (Russian) otherwise.
stats::TExamineeData CheckedExamineeData(const stats::TExamineeData& data);

// Sets the examinee's data, inside the caller's transaction.
void WriteExamineeData(TDatabase& db, std::int64_t examineeId, const stats::TExamineeData& data);

// The name shown for an examinee whose caption gave no text at all.
inline constexpr const char* kNoName = "(без имени)";

}  // namespace orvix::archive::detail
