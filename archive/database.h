// A small RAII layer over SQLite's C library: one connection, prepared statements, and
// transactions that roll back unless committed. Failures throw EArchiveError (EArchiveBusy
// when the database stays locked past the busy timeout).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "archive/archive_errors.h"

struct sqlite3;
struct sqlite3_stmt;

namespace orvix::archive {

// How long a change waits for another writer before it gives up.
inline constexpr int kBusyTimeoutMs = 15000;

class TStatement {
  public:
    TStatement(sqlite3* db, std::string_view sql);
    ~TStatement();
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    TStatement(TStatement&& other) noexcept;

    // Parameters are numbered from 1.
    TStatement& Bind(int i, std::int64_t v);
    TStatement& Bind(int i, double v);
    TStatement& Bind(int i, std::string_view utf8);
    TStatement& BindNull(int i);
    TStatement& Bind(int i, const std::optional<std::string>& v);

    // The next row: true while there is one. A statement that returns no rows: false.
    bool Step();
    // Runs to its end.
    void Run();
    // Makes it ready to run again (keeps the parameters until bound anew).
    void Reset();

    // Columns are numbered from 0.
    bool IsNull(int c) const;
    int Type(int c) const;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL
    std::int64_t Int(int c) const;
    double Real(int c) const;
    std::string Text(int c) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class TDatabase {
  public:
    // Opens (creating when `create`) the file. The file is made readable and writable by its
    // owner only before SQLite creates it; SQLite gives its -wal and -shm files the same mode.
    TDatabase(const std::filesystem::path& path, bool create);
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    const std::filesystem::path& Path() const noexcept { return path_; }
    sqlite3* Handle() const noexcept { return db_; }

    void Exec(std::string_view sql);
    TStatement Prepare(std::string_view sql) { return TStatement(db_, sql); }
    // The first column of the first row, if any.
    std::optional<std::int64_t> QueryInt(std::string_view sql);
    std::optional<std::string> QueryText(std::string_view sql);
    std::int64_t LastInsertId() const;

  private:
    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
};

// A write transaction: BEGIN IMMEDIATE (the write lock is taken at once, so two writers wait
// for each other instead of failing half-way); rolled back unless Commit is called.
class TTransaction {
  public:
    explicit TTransaction(TDatabase& db);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit();

  private:
    TDatabase& db_;
    bool open_ = true;
};

// The database file is not a sound database (SQLITE_CORRUPT, SQLITE_NOTADB).
class EArchiveDamaged : public EArchiveError {
  public:
    using EArchiveError::EArchiveError;
};

// A read transaction: every query in it sees one state of the database, whatever other
// connections commit meanwhile. Ended (nothing to undo) when it goes out of scope.
class TReadTransaction {
  public:
    explicit TReadTransaction(TDatabase& db) : db_(db) { db_.Exec("BEGIN DEFERRED"); }
    ~TReadTransaction() {
        try {
            db_.Exec("COMMIT");
        } catch (...) {
            // A read transaction has nothing to lose.
        }
    }
    TReadTransaction(const TReadTransaction&) = delete;
    TReadTransaction& operator=(const TReadTransaction&) = delete;

  private:
    TDatabase& db_;
};

// The message for an SQLite failure (Russian, UTF-8), naming the database file.
[[noreturn]] void ThrowSqlite(sqlite3* db, int code, const std::filesystem::path& path);

// SQLite's result codes that mean the file is not a sound database.
bool IsDamageCode(int code) noexcept;

}  // namespace orvix::archive
