// What the user keeps of an examinee besides the name: birth date, sex and a group label.
#include "archive/archive.h"
#include "archive/archive_internal.h"
#include "archive/test_date.h"

namespace orvix::archive {
namespace detail {

std::optional<std::string> SexColumn(stats::TSex sex) {
    switch (sex) {
        case stats::TSex::Male:
            return "male";
        case stats::TSex::Female:
            return "female";
        case stats::TSex::Any:
            break;
    }
    return std::nullopt;
}

std::optional<stats::TSex> SexFromColumn(std::string_view text) {
    if (text.empty()) return stats::TSex::Any;
    if (text == "male") return stats::TSex::Male;
    if (text == "female") return stats::TSex::Female;
    return std::nullopt;
}

stats::TExamineeData ExamineeDataAt(const TStatement& s, int first) {
    stats::TExamineeData data;
    if (!s.IsNull(first)) data.BirthDate = stats::ParseDate(s.Text(first));
    if (!s.IsNull(first + 1))
        data.Sex = SexFromColumn(s.Text(first + 1)).value_or(stats::TSex::Any);
    if (!s.IsNull(first + 2)) data.Group = s.Text(first + 2);
    return data;
}

stats::TExamineeData CheckedExamineeData(const stats::TExamineeData& data) {
    stats::TExamineeData checked = data;
    if (data.BirthDate) {
        const std::string iso = stats::DateText(*data.BirthDate);
        if (!ParseIsoDate(iso))
            throw EArchiveError::Utf8("Дата рождения " + iso +
                                      " вне допустимых дат (1900–2199 годы).");
    }
    const auto first = data.Group.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        checked.Group.clear();
    } else {
        const auto last = data.Group.find_last_not_of(" \t\r\n");
        checked.Group = data.Group.substr(first, last - first + 1);
    }
    return checked;
}

void WriteExamineeData(TDatabase& db, std::int64_t examineeId, const stats::TExamineeData& data) {
    auto s =
        db.Prepare("UPDATE examinee SET birth_date = ?2, sex = ?3, group_label = ?4 WHERE id = ?1");
    s.Bind(1, examineeId);
    if (data.BirthDate)
        s.Bind(2, std::string_view(stats::DateText(*data.BirthDate)));
    else
        s.BindNull(2);
    s.Bind(3, SexColumn(data.Sex));
    s.Bind(4, data.Group.empty() ? std::nullopt : std::optional<std::string>(data.Group));
    s.Run();
}

}  // namespace detail

void TArchive::SetExamineeData(std::int64_t examineeId, const stats::TExamineeData& data) {
    const stats::TExamineeData checked = detail::CheckedExamineeData(data);
    TTransaction t(*db_);
    if (!db_->Prepare("SELECT 1 FROM examinee WHERE id = ?1").Bind(1, examineeId).Step())
        throw EArchiveError::Utf8("Нет испытуемого с номером " + std::to_string(examineeId) + ".");
    detail::WriteExamineeData(*db_, examineeId, checked);
    detail::CommitWithCopy(*db_, t);
}

stats::TExamineeData TArchive::ExamineeData(std::int64_t examineeId) {
    auto s = db_->Prepare("SELECT birth_date, sex, group_label FROM examinee WHERE id = ?1");
    s.Bind(1, examineeId);
    if (!s.Step())
        throw EArchiveError::Utf8("Нет испытуемого с номером " + std::to_string(examineeId) + ".");
    return detail::ExamineeDataAt(s, 0);
}

}  // namespace orvix::archive
