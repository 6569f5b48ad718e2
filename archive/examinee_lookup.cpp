#include "archive/examinee_lookup.h"

#include <system_error>

#include "archive/archive_internal.h"
#include "archive/archive_schema.h"
#include "archive/content_hash.h"
#include "archive/private_file.h"
#include "stats/norm_table_csv.h"

namespace orvix::archive {
namespace fs = std::filesystem;

namespace {

// Present files first, so that a hash shared by a file and a missing copy of it gives the
// file's row.
constexpr std::string_view kQuery =
    "SELECT p.path, p.hash, e.id, e.name, COALESCE(c.test_date, p.date), {DATA} FROM protocol p "
    "LEFT JOIN test_correction c ON c.hash = p.hash LEFT JOIN examinee_key k ON k.key = "
    "p.name_key LEFT JOIN examinee e ON e.id = COALESCE(c.examinee_id, k.examinee_id) ORDER BY "
    "p.present DESC, p.id";

std::string QueryFor(bool hasData) {
    std::string sql(kQuery);
    sql.replace(sql.find("{DATA}"), 6,
                hasData ? "e.birth_date, e.sex, e.group_label" : "NULL, NULL, NULL");
    return sql;
}

}  // namespace

TExamineeLookup::TExamineeLookup(const fs::path& database) {
    std::error_code ec;
    if (!fs::is_regular_file(database, ec))
        throw EArchiveError::Utf8("Базы архива " + Utf8Path(database) + " нет.");
    TDatabase db(fs::absolute(database).lexically_normal(), false);
    TReadTransaction read(db);
    const auto version = db.QueryInt("PRAGMA user_version").value_or(0);
    if (version < 1 || version > kSchemaVersion)
        throw EArchiveError::Utf8("Файл " + Utf8Path(database) +
                                  " не является базой архива этой версии программы.");
    auto s = db.Prepare(QueryFor(version >= 2));
    while (s.Step()) {
        TProtocolExaminee entry;
        entry.ExamineeId = s.Int(2);
        entry.Examinee = s.IsNull(3) ? std::string(detail::kNoName) : s.Text(3);
        entry.TestDate = stats::ParseDate(s.Text(4));
        entry.Data = detail::ExamineeDataAt(s, 5);
        const std::size_t at = entries_.size();
        entries_.push_back(std::move(entry));
        byPath_.emplace(s.Text(0), at);
        byHash_.emplace(s.Text(1), at);  // the first (a present file) wins
    }
    if (version >= 2) {
        auto n = db.Prepare(
            "SELECT t.id, t.name, t.text FROM meta m JOIN norm_table t ON t.uid = m.value "
            "WHERE m.key = 'norm table in use'");
        if (n.Step()) {
            stats::TNormRead table = stats::ReadNormTable(n.Text(2));
            if (!table.Error)
                norms_ =
                    TStoredNorms{n.Int(0), n.Text(1),
                                 std::make_shared<const stats::TNormTable>(std::move(table.Table))};
        }
    }
}

std::optional<TProtocolExaminee> TExamineeLookup::Find(std::string_view hash,
                                                       const fs::path& file) const {
    if (auto it = byHash_.find(std::string(hash)); it != byHash_.end()) return entries_[it->second];
    std::error_code ec;
    fs::path absolute = fs::absolute(file, ec);
    if (ec) return std::nullopt;
    if (auto it = byPath_.find(Utf8Path(absolute.lexically_normal())); it != byPath_.end())
        return entries_[it->second];
    return std::nullopt;
}

std::optional<TProtocolExaminee> TExamineeLookup::FindContent(std::string_view bytes,
                                                              const fs::path& file) const {
    return Find(ContentHash(bytes), file);
}

}  // namespace orvix::archive
