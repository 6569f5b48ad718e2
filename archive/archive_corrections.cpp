// The user's corrections: examinees moved, merged, renamed, dates set, and their text form.
#include <map>
#include <vector>

#include "archive/archive.h"
#include "archive/archive_internal.h"
#include "archive/examinee_name.h"
#include "archive/private_file.h"
#include "archive/pseudonym.h"
#include "archive/test_date.h"

namespace orvix::archive {
namespace detail {
namespace {

std::string NewUid() {
    return NewPseudonymKey().substr(0, 32);
}

}  // namespace

std::string CorrectionsCopyName() {
    return ".corrections";
}

void CommitWithCopy(TDatabase& db, TTransaction& t) {
    std::filesystem::path copy = db.Path();
    copy += CorrectionsCopyName();
    WritePrivateFile(copy, CorrectionsText(db));
    t.Commit();
}

std::int64_t NewExaminee(TDatabase& db, std::string_view name) {
    db.Prepare("INSERT INTO examinee(uid, name, name_key) VALUES (?1, ?2, ?3)")
        .Bind(1, std::string_view(NewUid()))
        .Bind(2, name)
        .Bind(3, std::string_view(NameKey(name)))
        .Run();
    return db.LastInsertId();
}

std::int64_t ExamineeForKey(TDatabase& db, const std::string& key, const std::string& display) {
    auto known = db.Prepare("SELECT examinee_id FROM examinee_key WHERE key = ?1");
    known.Bind(1, std::string_view(key));
    if (known.Step()) return known.Int(0);
    auto named = db.Prepare("SELECT id FROM examinee WHERE name_key = ?1 ORDER BY id LIMIT 1");
    named.Bind(1, std::string_view(key));
    const std::int64_t id =
        named.Step() ? named.Int(0) : NewExaminee(db, display.empty() ? kNoName : display);
    db.Prepare("INSERT INTO examinee_key(key, examinee_id) VALUES (?1, ?2)")
        .Bind(1, std::string_view(key))
        .Bind(2, id)
        .Run();
    return id;
}

std::string PseudonymKey(TDatabase& db) {
    if (auto key = db.QueryText("SELECT value FROM meta WHERE key = 'pseudonym key'")) return *key;
    db.Prepare("INSERT OR IGNORE INTO meta(key, value) VALUES ('pseudonym key', ?1)")
        .Bind(1, std::string_view(NewPseudonymKey()))
        .Run();
    return db.QueryText("SELECT value FROM meta WHERE key = 'pseudonym key'").value_or("");
}

}  // namespace detail

namespace {

std::string HashOf(TDatabase& db, std::int64_t testId) {
    auto s = db.Prepare("SELECT hash FROM protocol WHERE id = ?1");
    s.Bind(1, testId);
    if (!s.Step()) throw EArchiveError::Utf8("Нет теста с номером " + std::to_string(testId) + ".");
    return s.Text(0);
}

void RequireExaminee(TDatabase& db, std::int64_t id) {
    auto s = db.Prepare("SELECT 1 FROM examinee WHERE id = ?1");
    s.Bind(1, id);
    if (!s.Step())
        throw EArchiveError::Utf8("Нет испытуемого с номером " + std::to_string(id) + ".");
}

void SetTestExaminee(TDatabase& db, const std::string& hash, std::optional<std::int64_t> id) {
    db.Prepare("INSERT OR IGNORE INTO test_correction(hash) VALUES (?1)")
        .Bind(1, std::string_view(hash))
        .Run();
    auto s = db.Prepare("UPDATE test_correction SET examinee_id = ?2 WHERE hash = ?1");
    s.Bind(1, std::string_view(hash));
    if (id)
        s.Bind(2, *id);
    else
        s.BindNull(2);
    s.Run();
    db.Exec("DELETE FROM test_correction WHERE examinee_id IS NULL AND test_date IS NULL");
}

std::string TrimmedName(std::string_view name) {
    const auto first = name.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        throw EArchiveError::Utf8("Имя испытуемого не может быть пустым.");
    const auto last = name.find_last_not_of(" \t\r\n");
    return std::string(name.substr(first, last - first + 1));
}

}  // namespace

void TArchive::MoveTest(std::int64_t testId, std::int64_t examineeId) {
    TTransaction t(*db_);
    const std::string hash = HashOf(*db_, testId);
    RequireExaminee(*db_, examineeId);
    SetTestExaminee(*db_, hash, examineeId);
    detail::CommitWithCopy(*db_, t);
}

std::int64_t TArchive::MoveTestToNewExaminee(std::int64_t testId, std::string_view name) {
    TTransaction t(*db_);
    const std::string hash = HashOf(*db_, testId);
    const std::int64_t id = detail::NewExaminee(*db_, TrimmedName(name));
    SetTestExaminee(*db_, hash, id);
    detail::CommitWithCopy(*db_, t);
    return id;
}

void TArchive::UndoMoveTest(std::int64_t testId) {
    TTransaction t(*db_);
    SetTestExaminee(*db_, HashOf(*db_, testId), std::nullopt);
    detail::CommitWithCopy(*db_, t);
}

void TArchive::MergeExaminees(std::int64_t from, std::int64_t into) {
    if (from == into) return;
    TTransaction t(*db_);
    RequireExaminee(*db_, from);
    RequireExaminee(*db_, into);
    // What the user typed of `into` stays; what only `from` has comes along.
    for (const char* sql : {"UPDATE examinee_key SET examinee_id = ?2 WHERE examinee_id = ?1",
                            "UPDATE test_correction SET examinee_id = ?2 WHERE examinee_id = ?1",
                            "UPDATE examinee SET birth_date = COALESCE(birth_date, (SELECT "
                            "birth_date FROM examinee WHERE id = ?1)), sex = COALESCE(sex, (SELECT "
                            "sex FROM examinee WHERE id = ?1)), group_label = COALESCE("
                            "group_label, (SELECT group_label FROM examinee WHERE id = ?1)) WHERE "
                            "id = ?2",
                            "DELETE FROM examinee WHERE id = ?1"})
        db_->Prepare(sql).Bind(1, from).Bind(2, into).Run();
    detail::CommitWithCopy(*db_, t);
}

void TArchive::RenameExaminee(std::int64_t examineeId, std::string_view name) {
    const std::string trimmed = TrimmedName(name);
    TTransaction t(*db_);
    RequireExaminee(*db_, examineeId);
    db_->Prepare("UPDATE examinee SET name = ?2, name_key = ?3 WHERE id = ?1")
        .Bind(1, examineeId)
        .Bind(2, std::string_view(trimmed))
        .Bind(3, std::string_view(NameKey(trimmed)))
        .Run();
    detail::CommitWithCopy(*db_, t);
}

void TArchive::SetTestDate(std::int64_t testId, std::optional<std::string> isoDate) {
    if (isoDate && !ParseIsoDate(*isoDate))
        throw EArchiveError::Utf8("Дата " + *isoDate + " не является датой вида ГГГГ-ММ-ДД.");
    TTransaction t(*db_);
    const std::string hash = HashOf(*db_, testId);
    db_->Prepare("INSERT OR IGNORE INTO test_correction(hash) VALUES (?1)")
        .Bind(1, std::string_view(hash))
        .Run();
    db_->Prepare("UPDATE test_correction SET test_date = ?2 WHERE hash = ?1")
        .Bind(1, std::string_view(hash))
        .Bind(2, isoDate)
        .Run();
    db_->Exec("DELETE FROM test_correction WHERE examinee_id IS NULL AND test_date IS NULL");
    detail::CommitWithCopy(*db_, t);
}

std::string TArchive::ExportCorrections() {
    // One state: a scan of another program may add examinees meanwhile.
    TReadTransaction read(*db_);
    return detail::CorrectionsText(*db_);
}

void TArchive::ImportCorrections(std::string_view text) {
    TTransaction t(*db_);
    detail::ReadCorrectionsText(*db_, text);
    detail::CommitWithCopy(*db_, t);
}

}  // namespace orvix::archive
