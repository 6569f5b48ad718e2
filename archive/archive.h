// The archive: an index of protocol files in one SQLite database, with the user's own
// corrections beside it. The protocol files stay the source of truth and are never written;
// the index can always be rebuilt from them. The user's data (examinees, their names, tests
// moved between them, dates set, folders added) lives in tables of its own that no scan and
// no rebuild touches, and a copy of it is written beside the database after every change.
//
// Threads: one TArchive is used from one thread at a time. Open another TArchive on the same
// file for another thread or process: readers and one writer run side by side (the database
// is in WAL mode), writers wait for each other (a busy timeout); Scan uses worker threads of
// its own. Every change is one transaction: a process killed at any moment leaves a database
// that opens and holds every change that was finished.
//
// Errors: every call throws EArchiveError (an orvix::Exception; Russian message) when the
// database cannot be read or written, and EArchiveBusy when another program holds it locked
// for longer than the busy timeout. A change that throws has changed nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_errors.h"
#include "archive/archive_rows.h"

namespace orvix::archive {

class TDatabase;

// What opening the database found and did.
struct TOpenReport {
    bool Created = false;  // there was no database: a new, empty one was made
    // The file was damaged: it was renamed to SetAside (never deleted), a new database made,
    // and the user's corrections read back from their last copy when CorrectionsRestored.
    bool Recovered = false;
    std::filesystem::path SetAside;
    bool CorrectionsRestored = false;
    // The database's layout was brought up to date; Backup is the copy made before.
    std::optional<std::filesystem::path> Backup;
    // What the user should be told (Russian, UTF-8), empty when nothing happened worth telling.
    std::string Message;
};

struct TScanOptions {
    // The decimal separator the protocols are read with (the Data command's). A protocol read
    // with another separator before is read again. The analysis reads numbers with the
    // process-wide separator, so Scan sets it (SetDecimalChar) to this one: the window passes
    // the separator it uses itself, DecimalChar().
    char Decimal = '.';
    // Worker threads for reading and analysing; 0: as many as the machine has.
    unsigned Workers = 0;
    // Called on the thread that runs Scan, before the first file and then about every 100 ms.
    std::function<void(const TScanProgress&)> Progress;
    // Set (from any thread) to stop the scan after the files being read; what is done is kept.
    const std::atomic<bool>* Cancel = nullptr;
};

// How an export writes names.
struct TExportOptions {
    // Replace every name by the examinee's pseudonym: the examinee and subject columns carry
    // the pseudonym, FileTag is left empty, the file column carries the test's code (from its
    // content hash) and a message naming the file names the code instead.
    bool Pseudonyms = false;
};

class TArchive {
  public:
    // Opens the database at `path`, creating it (and its folder) when there is none, readable
    // by its owner only. A damaged file is set aside and replaced (see TOpenReport); a file of
    // an older layout is copied, then brought up to date. A database made by a newer version
    // of the program, or one that cannot be created, throws EArchiveError.
    explicit TArchive(const std::filesystem::path& path, TOpenReport* report = nullptr);
    ~TArchive();
    TArchive(TArchive&&) noexcept;
    TArchive& operator=(TArchive&&) noexcept;

    const std::filesystem::path& Path() const noexcept;

    // The folders the user added (the Data folder is not stored: the caller always gives it).
    std::vector<std::filesystem::path> Folders();
    void AddFolder(const std::filesystem::path& folder);
    void RemoveFolder(const std::filesystem::path& folder);

    // Scans `roots` recursively: new and changed protocol files are read and analysed as the
    // Data command does, unchanged ones (same size and modification time, same separator) are
    // not read, protocols no longer found under a root are marked missing. Files that are not
    // protocols are counted as passed over (see protocol_rule.h); unreadable folders and files
    // that vanish or change while being read do not stop it. The scan commits its work in
    // small transactions, so a scan that is stopped or killed goes on where it stopped the
    // next time. Never writes a protocol file.
    TScanCounts Scan(const std::vector<std::filesystem::path>& roots, const TScanOptions& options);

    // Forgets the index (not the user's data): the next scan reads every file again.
    void ForgetIndex();

    // Every test of the index (missing files included), corrections applied, in no order.
    std::vector<TTestRow> Tests();
    // One test, if the index has it.
    std::optional<TTestRow> Test(std::int64_t testId);
    // Every examinee that has a test present, in no order.
    std::vector<TExamineeRow> Examinees();

    // The user's corrections. Each is one transaction, followed by a new copy of the
    // corrections beside the database. They hold for a test by its content (the same file
    // moved or renamed keeps them) and survive every scan and a forgotten index. Unknown ids
    // throw EArchiveError.
    //
    // The test belongs to `examineeId` from now on.
    void MoveTest(std::int64_t testId, std::int64_t examineeId);
    // The test belongs to a new examinee named `name`; returns the new examinee's id.
    std::int64_t MoveTestToNewExaminee(std::int64_t testId, std::string_view name);
    // The test goes back to the examinee its caption names.
    void UndoMoveTest(std::int64_t testId);
    // Every test and every name of `from` goes to `into`; `from` is no more.
    void MergeExaminees(std::int64_t from, std::int64_t into);
    // The examinee is shown as `name` (UTF-8, not empty).
    void RenameExaminee(std::int64_t examineeId, std::string_view name);
    // The test's date is `isoDate` ("2026-03-10", a real date); nothing: back to the date
    // found in the texts or the file's time.
    void SetTestDate(std::int64_t testId, std::optional<std::string> isoDate);

    // The examinee's birth date, sex and group label (school grade, education, any label),
    // each of which may be unknown; the age at a test follows from the birth date and the
    // test's date (stats::ExamineeAt). A birth date must be a real date of the years 1900 to
    // 2199; the label is trimmed (empty: unknown). Merging two examinees keeps what the one
    // merged into has and takes the rest from the other.
    void SetExamineeData(std::int64_t examineeId, const stats::TExamineeData& data);
    stats::TExamineeData ExamineeData(std::int64_t examineeId);

    // Norm tables (stats/norm_table_csv.h), kept as the text of the file they came from. The
    // text is checked whole first: a bad one throws EArchiveError with the reader's one
    // message, naming its line and column, and nothing is stored. `name` is what the lists
    // call it (the file's name). The first table imported is put in use. Returns its id.
    std::int64_t ImportNormTable(std::string_view name, std::string_view csvText);
    std::vector<TNormTableRow> NormTables();
    // The table the scores use (nothing: none).
    void UseNormTable(std::optional<std::int64_t> tableId);
    // Removes a table; removing the one in use leaves none in use.
    void RemoveNormTable(std::int64_t tableId);
    // The table in use, read; nothing when none is chosen.
    std::optional<TStoredNorms> NormTableInUse();

    // The user's data as a UTF-8 text (examinees with their data, the names that lead to them,
    // the tests' corrections, the folders, the norm tables and the one in use, the pseudonym
    // key), and reading such a text back: entries the database has already are matched and
    // updated, others added; one transaction. A text that is not such an export throws
    // EArchiveError and changes nothing. Texts of the earlier version (without examinee data
    // and norm tables) are read too and leave those as they are.
    std::string ExportCorrections();
    void ImportCorrections(std::string_view text);
    // Where the copy of the corrections beside the database is written.
    std::filesystem::path CorrectionsCopyPath() const;

    // The examinee's pseudonym: the same for the same examinee in this database, not
    // reversible without it ("П-" and ten letters and digits).
    std::string Pseudonym(std::int64_t examineeId);

    // Writes one row per test present to `target`: the batch summary's columns with
    // `examinee` and `test date` after `file` (see archive_export.h). ".xlsx" writes a
    // workbook, any other name a UTF-8 CSV. The file is readable by its owner only.
    // Returns true when every test exported is ok (the exit status of the command line).
    bool Export(const std::filesystem::path& target, const TExportOptions& options = {});

    // For the scan and tests: the connection under this archive.
    TDatabase& Database();

  private:
    std::unique_ptr<TDatabase> db_;
};

}  // namespace orvix::archive
