#include "archive.h"

#include <system_error>

#include "archive/archive_internal.h"
#include "archive/archive_schema.h"
#include "archive/database.h"
#include "archive/examinee_name.h"
#include "archive/private_file.h"
#include "archive/pseudonym.h"
#include "base/cp1251.h"
#include "base/file_io.h"

namespace orvix::archive {
namespace fs = std::filesystem;

namespace {

// Settings of every connection: WAL (readers beside a writer; a killed writer loses only
// its unfinished transaction), and a sync at each checkpoint rather than each commit.
void Configure(TDatabase& db) {
    db.Exec("PRAGMA journal_mode = WAL");
    db.Exec("PRAGMA synchronous = NORMAL");
    // The whole index of a large archive stays in memory between queries.
    db.Exec("PRAGMA cache_size = -32768");
    db.Exec("PRAGMA mmap_size = 268435456");
}

// Opens, makes or updates the layout, and checks the file. Damage throws EArchiveDamaged.
std::unique_ptr<TDatabase> OpenSound(const fs::path& path, TOpenReport& report) {
    std::error_code ec;
    const bool existed = fs::exists(path, ec) && fs::file_size(path, ec) > 0;
    auto db = std::make_unique<TDatabase>(path, true);
    // A newer program's database is left exactly as it is.
    const int version = static_cast<int>(db->QueryInt("PRAGMA user_version").value_or(0));
    if (version > kSchemaVersion)
        throw EArchiveError::Utf8("База архива " + Utf8Path(path) +
                                  " создана более новой версией программы (формат " +
                                  std::to_string(version) + "); эта версия её не изменяет.");
    Configure(*db);
    if (version == 0) {
        if (db->QueryInt("SELECT count(*) FROM sqlite_schema").value_or(0) > 0)
            throw EArchiveDamaged(
                Utf8ToCp1251("Файл " + Utf8Path(path) + " не является базой архива."));
        CreateSchema(*db);
        report.Created = !existed;
    } else if (version < kSchemaVersion) {
        report.Backup = Migrate(*db, kSchemaVersion, MigrationSteps());
        // The copy of the user's data beside the database takes the new layout's form.
        fs::path copy = path;
        copy += detail::CorrectionsCopyName();
        TReadTransaction read(*db);
        WritePrivateFile(copy, detail::CorrectionsText(*db));
    }
    const auto check = db->QueryText("PRAGMA quick_check");
    if (check != "ok")
        throw EArchiveDamaged(Utf8ToCp1251("База архива " + Utf8Path(path) + " повреждена (" +
                                           check.value_or("") + ")."));
    return db;
}

// Renames the damaged file and its companions; returns the new name of the database.
fs::path SetAside(const fs::path& path) {
    const fs::path aside = NameBeside(path, "damaged");
    std::error_code ec;
    fs::rename(path, aside, ec);
    if (ec)
        throw EArchiveError::Utf8("База архива " + Utf8Path(path) +
                                  " повреждена и не может быть переименована: " + ec.message());
    // The journal files belong to the damaged file: left beside a new one they would be
    // applied to it.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        fs::path companion = path;
        companion += suffix;
        if (!fs::exists(companion, ec)) continue;
        fs::path renamed = aside;
        renamed += suffix;
        fs::rename(companion, renamed, ec);
        if (ec) fs::remove(companion, ec);
    }
    return aside;
}

}  // namespace

TArchive::TArchive(const fs::path& path, TOpenReport* report) {
    TOpenReport local;
    TOpenReport& r = report ? *report : local;
    const fs::path absolute = fs::absolute(path).lexically_normal();
    std::error_code ec;
    if (absolute.has_parent_path()) fs::create_directories(absolute.parent_path(), ec);
    try {
        db_ = OpenSound(absolute, r);
    } catch (const EArchiveDamaged& damage) {
        db_.reset();
        r.Recovered = true;
        r.SetAside = SetAside(absolute);
        db_ = OpenSound(absolute, r);
        r.Created = false;
        const fs::path copy = CorrectionsCopyPath();
        std::string text;
        try {
            text = ReadWholeFile(copy);
        } catch (const Exception&) {
            // No copy: nothing to restore.
        }
        if (!text.empty()) {
            TTransaction t(*db_);
            detail::ReadCorrectionsText(*db_, text);
            t.Commit();
            r.CorrectionsRestored = true;
        }
        r.Message = Cp1251ToUtf8(damage.Message()) + " Файл сохранён как " + Utf8Path(r.SetAside) +
                    "; создана новая база, указатель строится заново " + "при сканировании" +
                    (r.CorrectionsRestored
                         ? ", исправления пользователя восстановлены из " + Utf8Path(copy) + "."
                         : "; копии исправлений пользователя не найдено.");
    }
    if (r.Backup && r.Message.empty())
        r.Message =
            "Формат базы архива обновлён; прежняя база сохранена как " + Utf8Path(*r.Backup) + ".";
}

TArchive::~TArchive() = default;
TArchive::TArchive(TArchive&&) noexcept = default;
TArchive& TArchive::operator=(TArchive&&) noexcept = default;

const fs::path& TArchive::Path() const noexcept {
    return db_->Path();
}

TDatabase& TArchive::Database() {
    return *db_;
}

fs::path TArchive::CorrectionsCopyPath() const {
    fs::path copy = db_->Path();
    copy += detail::CorrectionsCopyName();
    return copy;
}

std::vector<fs::path> TArchive::Folders() {
    std::vector<fs::path> folders;
    TStatement s = db_->Prepare("SELECT path FROM folder ORDER BY path");
    while (s.Step()) folders.push_back(PathFromUtf8(s.Text(0)));
    return folders;
}

void TArchive::AddFolder(const fs::path& folder) {
    TTransaction t(*db_);
    db_->Prepare("INSERT OR IGNORE INTO folder(path) VALUES (?1)")
        .Bind(1, std::string_view(Utf8Path(fs::absolute(folder).lexically_normal())))
        .Run();
    detail::CommitWithCopy(*db_, t);
}

void TArchive::RemoveFolder(const fs::path& folder) {
    TTransaction t(*db_);
    db_->Prepare("DELETE FROM folder WHERE path = ?1")
        .Bind(1, std::string_view(Utf8Path(fs::absolute(folder).lexically_normal())))
        .Run();
    detail::CommitWithCopy(*db_, t);
}

void TArchive::ForgetIndex() {
    TTransaction t(*db_);
    db_->Exec("DELETE FROM protocol; DELETE FROM passed_over;");
    t.Commit();
}

std::string TArchive::Pseudonym(std::int64_t examineeId) {
    auto uid = db_->Prepare("SELECT uid FROM examinee WHERE id = ?1");
    uid.Bind(1, examineeId);
    if (!uid.Step())
        throw EArchiveError::Utf8("Нет испытуемого с номером " + std::to_string(examineeId) + ".");
    const std::string identity = uid.Text(0);
    return PseudonymOf(detail::PseudonymKey(*db_), identity);
}

}  // namespace orvix::archive
