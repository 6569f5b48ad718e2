#include "database.h"

#include <sqlite3.h>

#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "archive/archive_errors.h"
#include "base/cp1251.h"

namespace orvix::archive {
namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& p) {
    const auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

// Creates the file readable and writable by its owner only, whatever the umask, before
// SQLite opens it. An existing file keeps its mode.
void CreateOwnerOnly(const fs::path& path) {
#ifndef _WIN32
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
#else
    (void)path;
#endif
}

fs::path DatabaseFile(sqlite3* db) {
    const char* name = sqlite3_db_filename(db, "main");
    const std::string_view text = name ? name : "";
    return fs::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

bool IsDamageCode(int code) noexcept {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

void ThrowSqlite(sqlite3* db, int code, const fs::path& path) {
    const int primary = code & 0xFF;
    const std::string file = Utf8(path);
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw EArchiveBusy(Utf8ToCp1251(
            "База архива " + file +
            " занята другой программой (идёт сканирование или запись) и не освободилась за " +
            std::to_string(kBusyTimeoutMs / 1000) + " с. Повторите позже."));
    const std::string detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    if (IsDamageCode(code))
        throw EArchiveDamaged(
            Utf8ToCp1251("База архива " + file + " повреждена (" + detail + ")."));
    if (primary == SQLITE_FULL)
        throw EArchiveError(Utf8ToCp1251("Нет места на диске для базы архива " + file + "."));
    if (primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_CANTOPEN)
        throw EArchiveError(Utf8ToCp1251("Не удаётся открыть или записать базу архива " + file +
                                         " (" + detail + ")."));
    throw EArchiveError(Utf8ToCp1251("Ошибка базы архива " + file + ": " + detail + "."));
}

TStatement::TStatement(sqlite3* db, std::string_view sql) : db_(db) {
    const int rc =
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc, DatabaseFile(db));
}

TStatement::~TStatement() {
    sqlite3_finalize(stmt_);
}

TStatement::TStatement(TStatement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

TStatement& TStatement::Bind(int i, std::int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
}

TStatement& TStatement::Bind(int i, double v) {
    sqlite3_bind_double(stmt_, i, v);
    return *this;
}

TStatement& TStatement::Bind(int i, std::string_view utf8) {
    sqlite3_bind_text(stmt_, i, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

TStatement& TStatement::BindNull(int i) {
    sqlite3_bind_null(stmt_, i);
    return *this;
}

TStatement& TStatement::Bind(int i, const std::optional<std::string>& v) {
    return v ? Bind(i, std::string_view(*v)) : BindNull(i);
}

bool TStatement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    ThrowSqlite(db_, rc, DatabaseFile(db_));
}

void TStatement::Run() {
    while (Step()) {
    }
    sqlite3_reset(stmt_);
}

void TStatement::Reset() {
    sqlite3_reset(stmt_);
}

bool TStatement::IsNull(int c) const {
    return sqlite3_column_type(stmt_, c) == SQLITE_NULL;
}

int TStatement::Type(int c) const {
    return sqlite3_column_type(stmt_, c);
}

std::int64_t TStatement::Int(int c) const {
    return sqlite3_column_int64(stmt_, c);
}

double TStatement::Real(int c) const {
    return sqlite3_column_double(stmt_, c);
}

std::string TStatement::Text(int c) const {
    const auto* text = sqlite3_column_text(stmt_, c);
    if (!text) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c)));
}

TDatabase::TDatabase(const fs::path& path, bool create) : path_(path) {
    if (create) CreateOwnerOnly(path);
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(Utf8(path).c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        try {
            ThrowSqlite(db_, rc, path);
        } catch (...) {
            sqlite3_close(db_);
            db_ = nullptr;
            throw;
        }
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
}

TDatabase::~TDatabase() {
    sqlite3_close_v2(db_);
}

void TDatabase::Exec(std::string_view sql) {
    char* error = nullptr;
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc, path_);
}

std::optional<std::int64_t> TDatabase::QueryInt(std::string_view sql) {
    TStatement s = Prepare(sql);
    if (!s.Step() || s.IsNull(0)) return std::nullopt;
    return s.Int(0);
}

std::optional<std::string> TDatabase::QueryText(std::string_view sql) {
    TStatement s = Prepare(sql);
    if (!s.Step() || s.IsNull(0)) return std::nullopt;
    return s.Text(0);
}

std::int64_t TDatabase::LastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

TTransaction::TTransaction(TDatabase& db) : db_(db) {
    db_.Exec("BEGIN IMMEDIATE");
}

TTransaction::~TTransaction() {
    if (!open_) return;
    try {
        db_.Exec("ROLLBACK");
    } catch (...) {
        // The transaction is gone already (SQLite rolls back by itself on some failures).
    }
}

void TTransaction::Commit() {
    db_.Exec("COMMIT");
    open_ = false;
}

}  // namespace orvix::archive
