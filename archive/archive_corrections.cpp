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

constexpr std::string_view kFirstLine = "ORVIX-KL archive corrections 1";

std::string Escape(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out.push_back(c);
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out.push_back(s[i]);
            continue;
        }
        if (++i >= s.size()) return std::nullopt;
        switch (s[i]) {
            case '\\':
                out.push_back('\\');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

[[noreturn]] void NotCorrections(std::size_t lineNumber) {
    throw EArchiveError::Utf8("Текст не является выгрузкой исправлений архива (строка " +
                              std::to_string(lineNumber) + ").");
}

std::string NewUid() {
    return NewPseudonymKey().substr(0, 32);
}

}  // namespace

std::string CorrectionsCopyName() {
    return ".corrections";
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

std::string CorrectionsText(TDatabase& db) {
    std::string text(kFirstLine);
    text += "\npseudonym key\t" + Escape(PseudonymKey(db)) + "\n";
    auto folders = db.Prepare("SELECT path FROM folder ORDER BY path");
    while (folders.Step()) text += "folder\t" + Escape(folders.Text(0)) + "\n";
    auto examinees = db.Prepare("SELECT uid, name FROM examinee ORDER BY id");
    while (examinees.Step())
        text += "examinee\t" + Escape(examinees.Text(0)) + "\t" + Escape(examinees.Text(1)) + "\n";
    auto keys = db.Prepare(
        "SELECT k.key, e.uid FROM examinee_key k JOIN examinee e ON e.id = k.examinee_id "
        "ORDER BY k.key");
    while (keys.Step())
        text += "name\t" + Escape(keys.Text(0)) + "\t" + Escape(keys.Text(1)) + "\n";
    auto tests = db.Prepare(
        "SELECT c.hash, e.uid, c.test_date FROM test_correction c "
        "LEFT JOIN examinee e ON e.id = c.examinee_id ORDER BY c.hash");
    while (tests.Step())
        text += "test\t" + Escape(tests.Text(0)) + "\t" + Escape(tests.Text(1)) + "\t" +
                Escape(tests.Text(2)) + "\n";
    return text;
}

void ReadCorrectionsText(TDatabase& db, std::string_view text) {
    // Read it all first: a text that is not an export changes nothing.
    struct TLine {
        std::string Kind;
        std::vector<std::string> Fields;
    };
    std::vector<TLine> lines;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (number == 1) {
            if (line != kFirstLine) NotCorrections(number);
            continue;
        }
        if (line.empty()) continue;
        const auto raw = SplitTabs(line);
        TLine parsed{std::string(raw[0]), {}};
        for (std::size_t i = 1; i < raw.size(); ++i) {
            auto field = Unescape(raw[i]);
            if (!field) NotCorrections(number);
            parsed.Fields.push_back(std::move(*field));
        }
        const std::size_t want = parsed.Kind == "pseudonym key" || parsed.Kind == "folder" ? 1
                                 : parsed.Kind == "examinee" || parsed.Kind == "name"      ? 2
                                 : parsed.Kind == "test"                                   ? 3
                                                                                           : 0;
        if (want == 0 || parsed.Fields.size() != want) NotCorrections(number);
        if (parsed.Kind == "test" && !parsed.Fields[2].empty() && !ParseIsoDate(parsed.Fields[2]))
            NotCorrections(number);
        lines.push_back(std::move(parsed));
    }
    if (number == 0) NotCorrections(1);

    std::map<std::string, std::int64_t> byUid;
    auto examineeOf = [&](const std::string& uid, std::size_t at) -> std::int64_t {
        const auto it = byUid.find(uid);
        if (it == byUid.end()) NotCorrections(at);
        return it->second;
    };
    number = 1;
    for (const TLine& line : lines) {
        ++number;
        const auto& f = line.Fields;
        if (line.Kind == "pseudonym key") {
            db.Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES ('pseudonym key', ?1)")
                .Bind(1, std::string_view(f[0]))
                .Run();
        } else if (line.Kind == "folder") {
            db.Prepare("INSERT OR IGNORE INTO folder(path) VALUES (?1)")
                .Bind(1, std::string_view(f[0]))
                .Run();
        } else if (line.Kind == "examinee") {
            auto existing = db.Prepare("SELECT id FROM examinee WHERE uid = ?1");
            existing.Bind(1, std::string_view(f[0]));
            std::int64_t id = 0;
            if (existing.Step()) {
                id = existing.Int(0);
                db.Prepare("UPDATE examinee SET name = ?2, name_key = ?3 WHERE id = ?1")
                    .Bind(1, id)
                    .Bind(2, std::string_view(f[1]))
                    .Bind(3, std::string_view(NameKey(f[1])))
                    .Run();
            } else {
                db.Prepare("INSERT INTO examinee(uid, name, name_key) VALUES (?1, ?2, ?3)")
                    .Bind(1, std::string_view(f[0]))
                    .Bind(2, std::string_view(f[1]))
                    .Bind(3, std::string_view(NameKey(f[1])))
                    .Run();
                id = db.LastInsertId();
            }
            byUid[f[0]] = id;
        } else if (line.Kind == "name") {
            const std::int64_t id = examineeOf(f[1], number);
            db.Prepare("INSERT OR REPLACE INTO examinee_key(key, examinee_id) VALUES (?1, ?2)")
                .Bind(1, std::string_view(f[0]))
                .Bind(2, id)
                .Run();
        } else {
            auto stmt = db.Prepare(
                "INSERT OR REPLACE INTO test_correction(hash, examinee_id, test_date) "
                "VALUES (?1, ?2, ?3)");
            stmt.Bind(1, std::string_view(f[0]));
            if (f[1].empty())
                stmt.BindNull(2);
            else
                stmt.Bind(2, examineeOf(f[1], number));
            stmt.Bind(3, f[2].empty() ? std::nullopt : std::optional<std::string>(f[2]));
            stmt.Run();
        }
    }
    // Examinees a scan made that the text has taken every name and test from are no more.
    db.Exec(
        "DELETE FROM examinee WHERE id NOT IN (SELECT examinee_id FROM examinee_key) AND id NOT "
        "IN (SELECT examinee_id FROM test_correction WHERE examinee_id IS NOT NULL)");
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
    t.Commit();
    WritePrivateFile(CorrectionsCopyPath(), ExportCorrections());
}

std::int64_t TArchive::MoveTestToNewExaminee(std::int64_t testId, std::string_view name) {
    TTransaction t(*db_);
    const std::string hash = HashOf(*db_, testId);
    const std::int64_t id = detail::NewExaminee(*db_, TrimmedName(name));
    SetTestExaminee(*db_, hash, id);
    t.Commit();
    WritePrivateFile(CorrectionsCopyPath(), ExportCorrections());
    return id;
}

void TArchive::UndoMoveTest(std::int64_t testId) {
    TTransaction t(*db_);
    SetTestExaminee(*db_, HashOf(*db_, testId), std::nullopt);
    t.Commit();
    WritePrivateFile(CorrectionsCopyPath(), ExportCorrections());
}

void TArchive::MergeExaminees(std::int64_t from, std::int64_t into) {
    if (from == into) return;
    TTransaction t(*db_);
    RequireExaminee(*db_, from);
    RequireExaminee(*db_, into);
    for (const char* sql : {"UPDATE examinee_key SET examinee_id = ?2 WHERE examinee_id = ?1",
                            "UPDATE test_correction SET examinee_id = ?2 WHERE examinee_id = ?1",
                            "DELETE FROM examinee WHERE id = ?1"})
        db_->Prepare(sql).Bind(1, from).Bind(2, into).Run();
    t.Commit();
    WritePrivateFile(CorrectionsCopyPath(), ExportCorrections());
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
    t.Commit();
    WritePrivateFile(CorrectionsCopyPath(), ExportCorrections());
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
    t.Commit();
    WritePrivateFile(CorrectionsCopyPath(), ExportCorrections());
}

std::string TArchive::ExportCorrections() {
    return detail::CorrectionsText(*db_);
}

void TArchive::ImportCorrections(std::string_view text) {
    TTransaction t(*db_);
    detail::ReadCorrectionsText(*db_, text);
    t.Commit();
    WritePrivateFile(CorrectionsCopyPath(), ExportCorrections());
}

}  // namespace orvix::archive
