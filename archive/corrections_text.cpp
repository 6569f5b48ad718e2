// The user's data as a text: written beside the database after every change, exported and
// imported.
#include <map>
#include <vector>

#include "archive/archive_internal.h"
#include "archive/examinee_name.h"
#include "archive/test_date.h"
#include "stats/norm_table_csv.h"

namespace orvix::archive::detail {
namespace {

// Version 2 adds the examinee's data and the norm tables; a version 1 text is still read.
constexpr std::string_view kFirstLine = "ORVIX-KL archive corrections 2";
constexpr std::string_view kFirstLineV1 = "ORVIX-KL archive corrections 1";

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

stats::TExamineeData DataOfFields(const std::vector<std::string>& f) {
    stats::TExamineeData data;
    if (!f[2].empty()) data.BirthDate = stats::ParseDate(f[2]);
    data.Sex = SexFromColumn(f[3]).value_or(stats::TSex::Any);
    data.Group = f[4];
    return data;
}

// Whether a line of the text has the fields its kind needs, each of a form the database takes.
bool WellFormed(const std::string& kind, const std::vector<std::string>& f) {
    if (kind == "pseudonym key" || kind == "folder" || kind == "norm in use") return f.size() == 1;
    if (kind == "name") return f.size() == 2;
    if (kind == "examinee") {
        if (f.size() == 2) return true;
        return f.size() == 5 && SexFromColumn(f[3]) && (f[2].empty() || ParseIsoDate(f[2]));
    }
    if (kind == "test") return f.size() == 3 && (f[2].empty() || ParseIsoDate(f[2]));
    // A norm table is taken only as a sound one, as an import of its file would take it.
    if (kind == "norm table") return f.size() == 4 && !stats::ReadNormTable(f[3]).Error;
    return false;
}

}  // namespace

std::string CorrectionsText(TDatabase& db) {
    std::string text(kFirstLine);
    text += "\npseudonym key\t" + Escape(PseudonymKey(db)) + "\n";
    auto folders = db.Prepare("SELECT path FROM folder ORDER BY path");
    while (folders.Step()) text += "folder\t" + Escape(folders.Text(0)) + "\n";
    auto examinees =
        db.Prepare("SELECT uid, name, birth_date, sex, group_label FROM examinee ORDER BY id");
    while (examinees.Step()) {
        text += "examinee";
        for (int c = 0; c < 5; ++c) text += "\t" + Escape(examinees.Text(c));
        text += "\n";
    }
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
    auto norms = db.Prepare("SELECT uid, name, imported, text FROM norm_table ORDER BY id");
    while (norms.Step()) {
        text += "norm table";
        for (int c = 0; c < 4; ++c) text += "\t" + Escape(norms.Text(c));
        text += "\n";
    }
    if (auto inUse = db.QueryText("SELECT value FROM meta WHERE key = 'norm table in use'"))
        text += "norm in use\t" + Escape(*inUse) + "\n";
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
            if (line != kFirstLine && line != kFirstLineV1) NotCorrections(number);
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
        if (!WellFormed(parsed.Kind, parsed.Fields)) NotCorrections(number);
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
            // A version 1 text has no examinee data: what the database has stays.
            if (f.size() == 5) WriteExamineeData(db, id, DataOfFields(f));
        } else if (line.Kind == "name") {
            const std::int64_t id = examineeOf(f[1], number);
            db.Prepare("INSERT OR REPLACE INTO examinee_key(key, examinee_id) VALUES (?1, ?2)")
                .Bind(1, std::string_view(f[0]))
                .Bind(2, id)
                .Run();
        } else if (line.Kind == "norm table") {
            db.Prepare(
                  "INSERT INTO norm_table(uid, name, imported, text) VALUES (?1, ?2, ?3, ?4) ON "
                  "CONFLICT(uid) DO UPDATE SET name = ?2, imported = ?3, text = ?4")
                .Bind(1, std::string_view(f[0]))
                .Bind(2, std::string_view(f[1]))
                .Bind(3, std::string_view(f[2]))
                .Bind(4, std::string_view(f[3]))
                .Run();
        } else if (line.Kind == "norm in use") {
            db.Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES ('norm table in use', ?1)")
                .Bind(1, std::string_view(f[0]))
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

}  // namespace orvix::archive::detail
