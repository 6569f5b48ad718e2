#include "archive_schema.h"

#include <ctime>
#include <iterator>
#include <string>
#include <system_error>

#include "archive/pseudonym.h"
#include "base/local_time.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvix::archive {
namespace fs = std::filesystem;

namespace {

// The user's own data comes first: nothing but the user's actions writes it, and no scan or
// forgotten index touches it. Then the index, which the files can always give again.
constexpr std::string_view kUserTables = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE folder(path TEXT PRIMARY KEY);
CREATE TABLE examinee(
    id INTEGER PRIMARY KEY,
    uid TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL,
    name_key TEXT NOT NULL,
    birth_date TEXT,
    sex TEXT,
    group_label TEXT);
CREATE INDEX examinee_by_name ON examinee(name_key);
CREATE TABLE examinee_key(
    key TEXT PRIMARY KEY,
    examinee_id INTEGER NOT NULL REFERENCES examinee(id));
CREATE INDEX examinee_key_by_examinee ON examinee_key(examinee_id);
CREATE TABLE test_correction(
    hash TEXT PRIMARY KEY,
    examinee_id INTEGER REFERENCES examinee(id),
    test_date TEXT);
CREATE TABLE norm_table(
    id INTEGER PRIMARY KEY,
    uid TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL,
    imported TEXT NOT NULL,
    text TEXT NOT NULL);
)sql";

// Version 1 to 2: the examinee's birth date (YYYY-MM-DD), sex ('male', 'female') and group
// label, each NULL when not known; norm tables imported by the user, kept as the text of their
// file (the table in use is named in meta by its uid).
constexpr std::string_view kStep1To2 = R"sql(
ALTER TABLE examinee ADD COLUMN birth_date TEXT;
ALTER TABLE examinee ADD COLUMN sex TEXT;
ALTER TABLE examinee ADD COLUMN group_label TEXT;
CREATE TABLE norm_table(
    id INTEGER PRIMARY KEY,
    uid TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL,
    imported TEXT NOT NULL,
    text TEXT NOT NULL);
)sql";

constexpr std::string_view kSteps[] = {kStep1To2};
static_assert(std::size(kSteps) == kSchemaVersion - 1, "a step for every version");

constexpr std::string_view kIndexTables = R"sql(
CREATE TABLE protocol(
    id INTEGER PRIMARY KEY,
    path TEXT NOT NULL UNIQUE,
    size INTEGER NOT NULL,
    mtime INTEGER NOT NULL,
    decimal TEXT NOT NULL,
    hash TEXT NOT NULL,
    present INTEGER NOT NULL,
    ok INTEGER NOT NULL,
    message TEXT NOT NULL,
    file_tag TEXT NOT NULL,
    subject TEXT NOT NULL,
    heading TEXT NOT NULL,
    name_key TEXT NOT NULL,
    date TEXT NOT NULL,
    date_source INTEGER NOT NULL,
    digits TEXT NOT NULL,
    c0, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14, c15, c16, c17, c18, c19,
    c20);
CREATE INDEX protocol_by_hash ON protocol(hash);
CREATE TABLE passed_over(path TEXT PRIMARY KEY, size INTEGER NOT NULL, mtime INTEGER NOT NULL);
)sql";

void CreateOwnerOnlyEmpty(const fs::path& path) {
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

std::string Utf8(const fs::path& p) {
    const auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

}  // namespace

void CreateSchema(TDatabase& db) {
    TTransaction t(db);
    // Another program may have made it while this one waited for the lock.
    if (db.QueryInt("PRAGMA user_version").value_or(0) != 0) return;
    db.Exec(kUserTables);
    db.Prepare("INSERT INTO meta(key, value) VALUES ('pseudonym key', ?1)")
        .Bind(1, std::string_view(NewPseudonymKey()))
        .Run();
    db.Exec(kIndexTables);
    db.Exec("PRAGMA user_version = " + std::to_string(kSchemaVersion));
    t.Commit();
}

fs::path NameBeside(const fs::path& path, std::string_view what) {
    const std::string base =
        std::string(".") + std::string(what) + "-" + LocalTimeText("%Y%m%d-%H%M%S");
    for (int n = 1;; ++n) {
        fs::path candidate = path;
        candidate += base + (n > 1 ? "-" + std::to_string(n) : "");
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

std::optional<fs::path> Migrate(TDatabase& db, int target,
                                std::span<const std::string_view> steps) {
    const int version = static_cast<int>(db.QueryInt("PRAGMA user_version").value_or(0));
    if (version >= target) return std::nullopt;
    const fs::path backup = NameBeside(db.Path(), "v" + std::to_string(version) + "-backup");
    CreateOwnerOnlyEmpty(backup);
    TStatement copy = db.Prepare("VACUUM INTO ?1");
    copy.Bind(1, std::string_view(Utf8(backup)));
    copy.Run();
    for (int v = version; v < target; ++v) {
        TTransaction t(db);
        // Another program may have taken this step while this one waited for the lock.
        if (db.QueryInt("PRAGMA user_version").value_or(0) != v) continue;
        if (v < 1 || static_cast<std::size_t>(v) > steps.size())
            throw EArchiveError::Utf8("Нет шага перехода базы архива с версии " +
                                      std::to_string(v) + ".");
        db.Exec(steps[static_cast<std::size_t>(v - 1)]);
        db.Exec("PRAGMA user_version = " + std::to_string(v + 1));
        t.Commit();
    }
    return backup;
}

std::span<const std::string_view> MigrationSteps() {
    return kSteps;
}

}  // namespace orvix::archive
