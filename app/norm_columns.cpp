#include "norm_columns.h"

#include <QStringList>
#include <algorithm>

#include "stats/norm_input.h"
#include "stats/stats_text.h"

namespace orvix {
namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The index as the list's own column heads it, or by its caption.
QString ShortName(std::string_view index) {
    const std::optional<std::size_t> figure = stats::FigureColumn(index);
    for (const TArchiveColumn& c : ArchiveColumns())
        if (figure && c.Sort.Field == archive::TTestColumn::TField::Figure &&
            c.Sort.Figure == *figure)
            return c.Heading;
    return Utf8(stats::NormIndexCaption(index));
}

}  // namespace

TNormColumns::TNormColumns(std::shared_ptr<const stats::TNormTable> table,
                           std::vector<std::string_view> indices)
    : table_(std::move(table)), lookup_(*table_) {
    // The table's order; a choice kept from another table drops what this one lacks.
    for (const std::string_view i : lookup_.Indices())
        if (indices.empty() || std::find(indices.begin(), indices.end(), i) != indices.end())
            indices_.push_back(i);
    if (indices_.empty()) indices_ = lookup_.Indices();
}

void TNormColumns::Score(const std::vector<archive::TTestRow>& rows) {
    const auto& known = lookup_.Indices();
    std::vector<std::size_t> at;  // each shown index's place among the table's
    for (const std::string_view i : indices_)
        at.push_back(
            static_cast<std::size_t>(std::find(known.begin(), known.end(), i) - known.begin()));
    rows_.assign(rows.size(), {});
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const archive::TTestRow& row = rows[r];
        TRowScores& out = rows_[r];
        out.T.resize(indices_.size());
        out.Percentile.resize(indices_.size());
        out.Notes.resize(indices_.size());
        if (row.Status != archive::TTestStatus::Ok || row.Figures.empty()) continue;
        const stats::TExaminee examinee =
            stats::ExamineeAt(row.ExamineeData, stats::ParseDate(row.Date));
        const std::vector<stats::TNormScore> scores = lookup_.Score(examinee, row.Figures);
        for (std::size_t k = 0; k < at.size(); ++k) {
            if (at[k] >= scores.size()) continue;
            const stats::TNormScore& s = scores[at[k]];
            out.T[k] = s.T;
            out.Percentile[k] = s.Percentile;
            for (const stats::TNormWarning w : s.Warnings) {
                if (!out.Notes[k].isEmpty()) out.Notes[k] += QLatin1Char('\n');
                out.Notes[k] += QString::fromStdString(stats::NormWarningText(w, s, examinee));
                ++out.Warnings;
            }
        }
    }
}

QString TNormColumns::Heading(int column) const {
    const auto k = static_cast<std::size_t>(column / 2);
    if (k >= indices_.size()) return QStringLiteral("Нормы: замечания");
    return (column % 2 == 0 ? QStringLiteral("T ") : QStringLiteral("П ")) + ShortName(indices_[k]);
}

QString TNormColumns::HeadingTip(int column) const {
    const auto k = static_cast<std::size_t>(column / 2);
    if (k >= indices_.size())
        return QStringLiteral(
            "Возраст вне нормативной группы, группа меньше 30 человек, нет "
            "подходящей нормы");
    const QString caption = Utf8(stats::NormIndexCaption(indices_[k]));
    return column % 2 == 0 ? caption + QStringLiteral(": T-балл по нормам")
                           : caption + QStringLiteral(": процентиль по нормам");
}

TArchiveCell TNormColumns::Cell(std::size_t row, int column, char decimal) const {
    if (row >= rows_.size()) return {};
    const TRowScores& s = rows_[row];
    const auto k = static_cast<std::size_t>(column / 2);
    if (k >= indices_.size()) {
        if (s.Warnings == 0) return {};
        QStringList all;
        for (std::size_t i = 0; i < s.Notes.size(); ++i)
            if (!s.Notes[i].isEmpty())
                all.append(Utf8(stats::NormIndexCaption(indices_[i])) + QStringLiteral(": ") +
                           s.Notes[i]);
        return {QStringLiteral("замечаний: %1").arg(s.Warnings), all.join(QLatin1Char('\n'))};
    }
    const std::optional<double>& value = column % 2 == 0 ? s.T[k] : s.Percentile[k];
    if (!value) return {};
    TArchiveCell cell{QString::fromStdString(stats::NumberText(*value, 0, decimal)), s.Notes[k]};
    // A score with a warning is shown as one to read with care.
    cell.Dim = !s.Notes[k].isEmpty();
    return cell;
}

std::optional<double> TNormColumns::Key(std::size_t row, int column) const {
    if (row >= rows_.size()) return std::nullopt;
    const TRowScores& s = rows_[row];
    const auto k = static_cast<std::size_t>(column / 2);
    if (k >= indices_.size()) return s.Warnings ? std::optional<double>(s.Warnings) : std::nullopt;
    return column % 2 == 0 ? s.T[k] : s.Percentile[k];
}

}  // namespace orvix
