// Norm tables the user imported: kept whole, as the text of their file, with the user's other
// data, so that an export of the corrections carries them and a rebuilt index keeps them.
#include <algorithm>
#include <ctime>

#include "archive/archive.h"
#include "archive/archive_internal.h"
#include "archive/pseudonym.h"
#include "base/local_time.h"
#include "stats/norm_table_csv.h"

namespace orvix::archive {
namespace {

constexpr std::string_view kInUseKey = "norm table in use";

std::string LocalTimeNow() {
    return LocalTimeText("%Y-%m-%d %H:%M");
}

// A stored text is checked when it comes in; one that no longer reads (changed by hand in the
// database file) is reported rather than used.
stats::TNormTable ReadStored(const std::string& name, const std::string& text) {
    stats::TNormRead read = stats::ReadNormTable(text);
    if (read.Error)
        throw EArchiveError::Utf8("Таблица норм «" + name + "»: " + read.Error->Message);
    return std::move(read.Table);
}

void RequireTable(TDatabase& db, std::int64_t id) {
    if (!db.Prepare("SELECT 1 FROM norm_table WHERE id = ?1").Bind(1, id).Step())
        throw EArchiveError::Utf8("Нет таблицы норм с номером " + std::to_string(id) + ".");
}

}  // namespace

std::int64_t TArchive::ImportNormTable(std::string_view name, std::string_view csvText) {
    const stats::TNormRead read = stats::ReadNormTable(csvText);
    if (read.Error)
        throw EArchiveError::Utf8("Таблица норм «" + std::string(name) +
                                  "»: " + read.Error->Message);
    TTransaction t(*db_);
    db_->Prepare("INSERT INTO norm_table(uid, name, imported, text) VALUES (?1, ?2, ?3, ?4)")
        .Bind(1, std::string_view(NewPseudonymKey().substr(0, 32)))
        .Bind(2, name)
        .Bind(3, std::string_view(LocalTimeNow()))
        .Bind(4, csvText)
        .Run();
    const std::int64_t id = db_->LastInsertId();
    const bool noneInUse =
        !db_->Prepare("SELECT 1 FROM meta m JOIN norm_table n ON n.uid = m.value WHERE m.key = ?1")
             .Bind(1, kInUseKey)
             .Step();
    if (noneInUse)
        db_->Prepare(
               "INSERT OR REPLACE INTO meta(key, value) SELECT ?1, uid FROM norm_table WHERE id "
               "= ?2")
            .Bind(1, kInUseKey)
            .Bind(2, id)
            .Run();
    detail::CommitWithCopy(*db_, t);
    return id;
}

std::vector<TNormTableRow> TArchive::NormTables() {
    TReadTransaction read(*db_);
    const std::string inUse =
        db_->QueryText("SELECT value FROM meta WHERE key = 'norm table in use'").value_or("");
    std::vector<TNormTableRow> rows;
    auto s = db_->Prepare("SELECT id, uid, name, imported, text FROM norm_table ORDER BY id");
    while (s.Step()) {
        TNormTableRow row;
        row.Id = s.Int(0);
        row.InUse = s.Text(1) == inUse;
        row.Name = s.Text(2);
        row.Imported = s.Text(3);
        const stats::TNormRead table = stats::ReadNormTable(s.Text(4));
        row.Rows = table.Table.Rows.size();
        for (const stats::TNormRow& r : table.Table.Rows)
            if (std::find(row.NormIds.begin(), row.NormIds.end(), r.NormId) == row.NormIds.end())
                row.NormIds.push_back(r.NormId);
        rows.push_back(std::move(row));
    }
    return rows;
}

void TArchive::UseNormTable(std::optional<std::int64_t> tableId) {
    TTransaction t(*db_);
    if (tableId) {
        RequireTable(*db_, *tableId);
        db_->Prepare(
               "INSERT OR REPLACE INTO meta(key, value) SELECT ?1, uid FROM norm_table WHERE id "
               "= ?2")
            .Bind(1, kInUseKey)
            .Bind(2, *tableId)
            .Run();
    } else {
        db_->Prepare("DELETE FROM meta WHERE key = ?1").Bind(1, kInUseKey).Run();
    }
    detail::CommitWithCopy(*db_, t);
}

void TArchive::RemoveNormTable(std::int64_t tableId) {
    TTransaction t(*db_);
    RequireTable(*db_, tableId);
    db_->Prepare(
           "DELETE FROM meta WHERE key = ?1 AND value = (SELECT uid FROM norm_table WHERE id = "
           "?2)")
        .Bind(1, kInUseKey)
        .Bind(2, tableId)
        .Run();
    db_->Prepare("DELETE FROM norm_table WHERE id = ?1").Bind(1, tableId).Run();
    detail::CommitWithCopy(*db_, t);
}

std::optional<TStoredNorms> TArchive::NormTableInUse() {
    auto s = db_->Prepare(
        "SELECT n.id, n.name, n.text FROM meta m JOIN norm_table n ON n.uid = m.value WHERE "
        "m.key = 'norm table in use'");
    if (!s.Step()) return std::nullopt;
    TStoredNorms norms;
    norms.Id = s.Int(0);
    norms.Name = s.Text(1);
    norms.Table = std::make_shared<const stats::TNormTable>(ReadStored(norms.Name, s.Text(2)));
    return norms;
}

}  // namespace orvix::archive
