// What the archive hands out: the rows of its lists and the outcome of a scan. Plain values,
// texts in UTF-8, dates as ISO 8601 texts ("2026-03-10").
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "stats/examinee.h"
#include "stats/norm_table.h"
#include "stats/summary_figures.h"

namespace orvix::archive {

// Where a test's date comes from.
enum class TDateSource : std::uint8_t {
    Text,      // the first date in FileTag, SubjectCaption or the heading
    FileTime,  // no date in the texts: the file's modification date (show it as such)
    User,      // set by the user
};

enum class TTestStatus : std::uint8_t {
    Ok,       // loaded as the Data command loads it
    Failed,   // Data refuses it: Message holds Data's message
    Missing,  // the file was not found by the last scan of its folder
};

// One protocol file of the index, with the user's corrections applied.
struct TTestRow {
    std::int64_t Id = 0;  // the file's row; stable while the file stays at its path
    std::filesystem::path File;
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;  // modification time, nanoseconds since 1970 (UTC)
    std::string Hash;             // content hash, 32 hexadecimal digits

    std::int64_t ExamineeId = 0;
    std::string Examinee;  // the examinee's name as the archive shows it
    // What the user typed of the examinee (birth date, sex, group); the age at this test
    // follows from it and Date (stats::ExamineeAt).
    stats::TExamineeData ExamineeData;
    std::string Date;  // ISO 8601, empty only when nothing gave a date
    TDateSource DateSource = TDateSource::Text;
    bool ExamineeCorrected = false;  // the user moved this test to its examinee

    std::string FileTag;  // protocol line 1
    std::string Subject;  // SubjectCaption, protocol line 2
    std::string Heading;  // protocol line 0
    TTestStatus Status = TTestStatus::Ok;
    // Failed: the message exactly as the Data command's message box shows it. Missing: empty.
    std::string Message;
    // One cell per stats::kFigureColumns, exactly the cells stats::FigureCells gives for the
    // file (all empty for a failed test).
    std::vector<stats::TCell> Figures;
};

// One examinee: a person, with the names that the scan found for them and the user's changes.
struct TExamineeRow {
    std::int64_t Id = 0;
    std::string Name;
    std::size_t Tests = 0;      // tests present (failed ones included, missing files not)
    std::string LastDate;       // ISO 8601 of the latest test, empty without tests
    stats::TExamineeData Data;  // birth date, sex, group: each as the user gave it, or unknown
};

// A norm table the user imported.
struct TNormTableRow {
    std::int64_t Id = 0;
    std::string Name;                  // the file it came from
    std::string Imported;              // when: "2026-03-10 14:05" (local time)
    std::size_t Rows = 0;              // norm rows
    std::vector<std::string> NormIds;  // the norms it holds, in their order
    bool InUse = false;
};

// The norm table in use, read.
struct TStoredNorms {
    std::int64_t Id = 0;
    std::string Name;
    std::shared_ptr<const stats::TNormTable> Table;
};

// How far a scan is. Done counts the files looked at so far out of Total found.
struct TScanProgress {
    std::size_t Done = 0;
    std::size_t Total = 0;
};

// What a scan did, over the folders it was given.
struct TScanCounts {
    std::size_t Added = 0;       // protocols new to the index (also a file moved to a new path)
    std::size_t Changed = 0;     // protocols read again because their size or time changed
    std::size_t Unchanged = 0;   // protocols not read: size and time as in the index
    std::size_t Missing = 0;     // protocols of the index no longer found (marked missing)
    std::size_t Failed = 0;      // protocols present that Data refuses (new or old)
    std::size_t PassedOver = 0;  // files that are not protocols (by name or by content)
    bool Cancelled = false;      // stopped early: what was done is kept, the rest is not
    // Folders or files that could not be looked at (UTF-8, Russian): the scan went on.
    std::vector<std::string> Warnings;
};

}  // namespace orvix::archive
