// The rows for the window and the export.
#include "archive/archive.h"
#include "archive/archive_internal.h"
#include "archive/archive_schema.h"
#include "archive/private_file.h"

namespace orvix::archive {
namespace {

constexpr std::string_view kTestQuery =
    "SELECT p.id, p.path, p.size, p.mtime, p.hash, e.id, e.name, COALESCE(c.test_date, p.date), "
    "CASE WHEN c.test_date IS NOT NULL THEN 2 ELSE p.date_source END, c.examinee_id IS NOT NULL, "
    "p.file_tag, p.subject, p.heading, p.present, p.ok, p.message, p.digits, p.c0, p.c1, p.c2, "
    "p.c3, p.c4, p.c5, p.c6, p.c7, p.c8, p.c9, p.c10, p.c11, p.c12, p.c13, p.c14, p.c15, p.c16, "
    "p.c17, p.c18, p.c19, p.c20, e.birth_date, e.sex, e.group_label FROM protocol p LEFT JOIN "
    "test_correction c ON c.hash = p.hash "
    "LEFT JOIN examinee_key k ON k.key = p.name_key LEFT JOIN examinee e ON e.id = "
    "COALESCE(c.examinee_id, k.examinee_id)";
constexpr int kFirstFigure = 17;
constexpr int kExamineeData = kFirstFigure + static_cast<int>(kStoredFigures);

TTestRow ReadRow(const TStatement& s) {
    TTestRow row;
    row.Id = s.Int(0);
    row.File = PathFromUtf8(s.Text(1));
    row.Size = static_cast<std::uint64_t>(s.Int(2));
    row.ModifiedNs = s.Int(3);
    row.Hash = s.Text(4);
    row.ExamineeId = s.Int(5);
    row.Examinee = s.IsNull(6) ? std::string(detail::kNoName) : s.Text(6);
    row.ExamineeData = detail::ExamineeDataAt(s, kExamineeData);
    row.Date = s.Text(7);
    row.DateSource = static_cast<TDateSource>(s.Int(8));
    row.ExamineeCorrected = s.Int(9) != 0;
    row.FileTag = s.Text(10);
    row.Subject = s.Text(11);
    row.Heading = s.Text(12);
    row.Status = s.Int(13) == 0   ? TTestStatus::Missing
                 : s.Int(14) != 0 ? TTestStatus::Ok
                                  : TTestStatus::Failed;
    if (row.Status == TTestStatus::Failed) row.Message = s.Text(15);
    const std::string digits = s.Text(16);
    row.Figures.resize(stats::kFigureColumns.size());
    for (std::size_t i = 0; i < row.Figures.size(); ++i) {
        const int c = kFirstFigure + static_cast<int>(i);
        stats::TCell& cell = row.Figures[i];
        const int d = i < digits.size() ? digits[i] - 'a' : 0;
        switch (s.Type(c)) {
            case 1:  // SQLITE_INTEGER
                cell = stats::TCell::Whole(static_cast<double>(s.Int(c)));
                break;
            case 2:  // SQLITE_FLOAT
                cell = stats::TCell::Real(s.Real(c), d);
                break;
            case 3:  // SQLITE_TEXT
                cell = stats::TCell::Of(s.Text(c));
                break;
            default:
                break;
        }
    }
    return row;
}

}  // namespace

std::vector<TTestRow> TArchive::Tests() {
    std::vector<TTestRow> rows;
    TStatement s = db_->Prepare(kTestQuery);
    while (s.Step()) rows.push_back(ReadRow(s));
    return rows;
}

std::optional<TTestRow> TArchive::Test(std::int64_t testId) {
    TStatement s = db_->Prepare(std::string(kTestQuery) + " WHERE p.id = ?1");
    s.Bind(1, testId);
    if (!s.Step()) return std::nullopt;
    return ReadRow(s);
}

std::vector<TExamineeRow> TArchive::Examinees() {
    std::vector<TExamineeRow> rows;
    TStatement s = db_->Prepare(
        "SELECT e.id, e.name, count(*), max(COALESCE(c.test_date, p.date)), e.birth_date, e.sex, "
        "e.group_label FROM protocol p "
        "LEFT JOIN test_correction c ON c.hash = p.hash LEFT JOIN examinee_key k ON k.key = "
        "p.name_key JOIN examinee e ON e.id = COALESCE(c.examinee_id, k.examinee_id) WHERE "
        "p.present = 1 GROUP BY e.id");
    while (s.Step())
        rows.push_back({s.Int(0), s.Text(1), static_cast<std::size_t>(s.Int(2)), s.Text(3),
                        detail::ExamineeDataAt(s, 4)});
    return rows;
}

}  // namespace orvix::archive
