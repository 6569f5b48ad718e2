#include "archive_columns.h"

#include <QFileInfo>
#include <array>

#include "qt_text.h"
#include "stats/norm_table.h"
#include "stats/stats_text.h"
#include "stats/summary_figures.h"
#include "stats/work_curve.h"

namespace orvix {
namespace {

using archive::TTestColumn;
using archive::TTestRow;
using TField = TTestColumn::TField;

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::size_t Figure(std::string_view name) {
    return *stats::FigureColumn(name);
}

const stats::TCell* FigureCell(const TTestRow& row, std::size_t figure) {
    return figure < row.Figures.size() ? &row.Figures[figure] : nullptr;
}

// A figure written with `decimals` digits after the user's separator; empty when there is none.
TArchiveCell NumberCell(const TTestRow& row, std::size_t figure, int decimals, char decimal) {
    const stats::TCell* cell = FigureCell(row, figure);
    if (!cell || !cell->IsNumber()) return {};
    if (cell->Kind == stats::TCell::TKind::Integer) return {QString::number(cell->Value), {}};
    return {Utf8(stats::NumberText(cell->Value, decimals, decimal)), {}};
}

TArchiveColumn FigureNumber(const char* heading, std::string_view figure, int decimals, int width) {
    const std::size_t at = Figure(figure);
    return {QString::fromUtf8(heading),
            FigureTitle(figure),
            {TField::Figure, at},
            true,
            width,
            [at, decimals](const TTestRow& row, char decimal) {
                return NumberCell(row, at, decimals, decimal);
            }};
}

// The verdict's Russian words for its English name in the figures.
QString VerdictWords(const std::string& name) {
    using stats::TVerdict;
    for (const TVerdict v :
         {TVerdict::Steady, TVerdict::Slowing, TVerdict::SpeedingUp, TVerdict::Unstable})
        if (stats::VerdictName(v) == name) return Utf8(std::string(stats::VerdictRussian(v)));
    return Utf8(name);
}

std::vector<TArchiveColumn> MakeColumns() {
    std::vector<TArchiveColumn> columns;
    columns.push_back({QStringLiteral("Испытуемый"),
                       QStringLiteral("Испытуемый, к кому отнесён протокол"),
                       {TField::Examinee, 0},
                       false,
                       190,
                       [](const TTestRow& row, char) {
                           TArchiveCell cell{Utf8(row.Examinee), Utf8(row.Subject)};
                           if (row.ExamineeCorrected)
                               cell.ToolTip += QStringLiteral("\nПеренесён к испытуемому вручную");
                           return cell;
                       }});
    columns.push_back({QStringLiteral("Дата"),
                       QStringLiteral("Дата обследования"),
                       {TField::Date, 0},
                       false,
                       80,
                       [](const TTestRow& row, char) {
                           TArchiveCell cell{ShownDate(row.Date), {}};
                           if (row.DateSource == archive::TDateSource::FileTime) {
                               cell.Dim = true;
                               cell.ToolTip = QStringLiteral("дата файла");
                           } else if (row.DateSource == archive::TDateSource::User) {
                               cell.ToolTip = QStringLiteral("дата задана вручную");
                           }
                           return cell;
                       }});
    columns.push_back({QStringLiteral("FileTag"),
                       QStringLiteral("Строка 1 протокола"),
                       {TField::FileTag, 0},
                       false,
                       170,
                       [](const TTestRow& row, char) {
                           return TArchiveCell{Utf8(row.FileTag), {}};
                       }});
    columns.push_back({QStringLiteral("Файл"),
                       QStringLiteral("Файл протокола"),
                       {TField::File, 0},
                       false,
                       150,
                       [](const TTestRow& row, char) {
                           return TArchiveCell{FromPath(row.File.filename()), FromPath(row.File)};
                       }});
    const std::size_t orientation = Figure("orientation");
    columns.push_back({QStringLiteral("Ориентация"),
                       FigureTitle("orientation"),
                       {TField::Figure, orientation},
                       false,
                       80,
                       [orientation](const TTestRow& row, char) {
                           const stats::TCell* cell = FigureCell(row, orientation);
                           return TArchiveCell{cell ? Utf8(cell->Text) : QString(), {}};
                       }});
    columns.push_back(FigureNumber("N+", "N+", 0, 45));
    columns.push_back(FigureNumber("Nпр", "Nomit", 0, 45));
    columns.push_back(FigureNumber("Nо.в.", "Nwrong", 0, 45));
    columns.push_back(FigureNumber("Точность", "accuracy", 3, 70));
    columns.push_back(FigureNumber("Выб./мин", "selections per minute", 2, 70));
    columns.push_back(FigureNumber("V темпа, %", "tempo V", 1, 75));
    const std::size_t verdict = Figure("work curve");
    columns.push_back({QStringLiteral("Кривая работы"),
                       FigureTitle("work curve"),
                       {TField::Figure, verdict},
                       false,
                       130,
                       [verdict](const TTestRow& row, char) {
                           const stats::TCell* cell = FigureCell(row, verdict);
                           return TArchiveCell{cell ? VerdictWords(cell->Text) : QString(), {}};
                       }});
    columns.push_back({QStringLiteral("Состояние"),
                       QStringLiteral("Загружается ли протокол"),
                       {TField::Status, 0},
                       false,
                       200,
                       [](const TTestRow& row, char) {
                           TArchiveCell cell{StatusText(row), {}};
                           cell.ToolTip = cell.Text;
                           cell.Dim = row.Status == archive::TTestStatus::Missing;
                           return cell;
                       }});
    return columns;
}

}  // namespace

const std::vector<TArchiveColumn>& ArchiveColumns() {
    static const std::vector<TArchiveColumn> columns = MakeColumns();
    return columns;
}

QString FigureTitle(std::string_view column) {
    // The indices norms are given for keep the one caption the pages show them with; the
    // other columns are named here.
    if (const stats::TNormIndex* index = stats::FindNormIndex(column))
        return QString::fromUtf8(index->Caption.data(),
                                 static_cast<qsizetype>(index->Caption.size()));
    static const std::array<std::pair<std::string_view, const char*>, 6> titles{{
        {"orientation", "Ориентация колец"},
        {"T", "T"},
        {"interval count", "Пятисекундных интервалов"},
        {"trend CI low", "Тренд темпа: 95 % ДИ, от"},
        {"trend CI high", "Тренд темпа: 95 % ДИ, до"},
        {"work curve", "Кривая работы"},
    }};
    for (const auto& [name, title] : titles)
        if (name == column) return QString::fromUtf8(title);
    return QString::fromUtf8(column.data(), static_cast<qsizetype>(column.size()));
}

QString ShownDate(const std::string& iso) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') return Utf8(iso);
    return Utf8(iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4));
}

QString StatusText(const archive::TTestRow& row) {
    switch (row.Status) {
        case archive::TTestStatus::Ok:
            return QStringLiteral("ок");
        case archive::TTestStatus::Failed:
            return Utf8(row.Message);
        case archive::TTestStatus::Missing:
            break;
    }
    return QStringLiteral("нет файла");
}

}  // namespace orvix
