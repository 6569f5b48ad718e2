#include "archive_models.h"

#include <QColor>
#include <QFont>

#include "archive/examinee_name.h"
#include "archive_columns.h"
#include "norm_columns.h"

namespace orvix {

// ---- TArchiveTestModel -----------------------------------------------------------------

TArchiveTestModel::TArchiveTestModel(QObject* parent)
    : QAbstractTableModel(parent),
      view_(std::make_unique<archive::TTestView>(std::vector<archive::TTestRow>{})) {}

TArchiveTestModel::~TArchiveTestModel() = default;

void TArchiveTestModel::SetRows(std::vector<archive::TTestRow> rows) {
    beginResetModel();
    view_ = std::make_unique<archive::TTestView>(std::move(rows));
    if (norms_) norms_->Score(view_->Rows());
    if (sortColumn_ >= 0 && !SortedByNorm())
        view_->Sort(ArchiveColumns()[static_cast<std::size_t>(sortColumn_)].Sort,
                    sortOrder_ == Qt::AscendingOrder);
    view_->Filter(filter_.toStdString());
    view_->OnlyExaminee(examinee_);
    SortByNorm();
    endResetModel();
}

void TArchiveTestModel::SetNorms(std::shared_ptr<TNormColumns> norms) {
    beginResetModel();
    norms_ = std::move(norms);
    if (norms_) norms_->Score(view_->Rows());
    if (sortColumn_ >= columnCount()) sortColumn_ = -1;
    SortByNorm();
    endResetModel();
}

bool TArchiveTestModel::SortedByNorm() const noexcept {
    return sortColumn_ >= static_cast<int>(ArchiveColumns().size());
}

void TArchiveTestModel::SortByNorm() {
    normOrder_.clear();
    if (!SortedByNorm() || !norms_) return;
    const int column = sortColumn_ - static_cast<int>(ArchiveColumns().size());
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    std::vector<std::optional<double>> keys(view_->Shown());
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = norms_->Key(view_->Order()[i], column);
    normOrder_.resize(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) normOrder_[i] = i;
    // Stable over the view's own order; empty cells last either way.
    std::stable_sort(normOrder_.begin(), normOrder_.end(), [&](std::size_t a, std::size_t b) {
        if (!keys[a] || !keys[b]) return keys[a].has_value() && !keys[b].has_value();
        return ascending ? *keys[a] < *keys[b] : *keys[b] < *keys[a];
    });
}

void TArchiveTestModel::SetFilter(const QString& text) {
    if (text == filter_) return;
    beginResetModel();
    filter_ = text;
    view_->Filter(filter_.toStdString());
    SortByNorm();
    endResetModel();
}

void TArchiveTestModel::SetExaminee(std::optional<std::int64_t> examineeId) {
    if (examineeId == examinee_) return;
    beginResetModel();
    examinee_ = examineeId;
    view_->OnlyExaminee(examinee_);
    SortByNorm();
    endResetModel();
}

void TArchiveTestModel::SetDecimal(char decimal) {
    if (decimal == decimal_) return;
    decimal_ = decimal;
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

const archive::TTestRow& TArchiveTestModel::Row(int shownRow) const {
    const auto at = static_cast<std::size_t>(shownRow);
    return view_->ShownRow(normOrder_.empty() ? at : normOrder_[at]);
}

int TArchiveTestModel::ShownRowOf(std::int64_t testId) const {
    for (std::size_t i = 0; i < view_->Shown(); ++i)
        if (view_->ShownRow(i).Id == testId) return static_cast<int>(i);
    return -1;
}

std::unordered_set<std::int64_t> TArchiveTestModel::ExamineesMatchingFilter() {
    // The view applies filter and examinee together; the filter alone is asked of the view
    // without the examinee restriction, which then goes back (the rows shown are as before).
    archive::TTestView& view = *view_;
    if (examinee_) view.OnlyExaminee(std::nullopt);
    std::unordered_set<std::int64_t> ids;
    for (std::size_t i = 0; i < view.Shown(); ++i) ids.insert(view.ShownRow(i).ExamineeId);
    if (examinee_) view.OnlyExaminee(examinee_);
    return ids;
}

int TArchiveTestModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(view_->Shown());
}

int TArchiveTestModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(ArchiveColumns().size()) + (norms_ ? norms_->ColumnCount() : 0);
}

QVariant TArchiveTestModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto fixed = static_cast<int>(ArchiveColumns().size());
    const bool norm = index.column() >= fixed;
    const TArchiveColumn& column =
        ArchiveColumns()[norm ? 0 : static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
        case Qt::ForegroundRole:
        case Qt::FontRole: {
            const archive::TTestRow& row = Row(index.row());
            const TArchiveCell cell =
                norm ? norms_->Cell(static_cast<std::size_t>(&row - view_->Rows().data()),
                                    index.column() - fixed, decimal_)
                     : column.Cell(row, decimal_);
            if (role == Qt::DisplayRole) return cell.Text;
            if (role == Qt::ToolTipRole)
                return cell.ToolTip.isEmpty() ? QVariant() : QVariant(cell.ToolTip);
            if (!cell.Dim) return {};
            if (role == Qt::ForegroundRole) return QColor(Qt::gray);
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (norm || column.Number ? Qt::AlignRight : Qt::AlignLeft));
        default:
            return {};
    }
}

QVariant TArchiveTestModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (const int fixed = static_cast<int>(ArchiveColumns().size()); section >= fixed) {
        if (role == Qt::DisplayRole) return norms_->Heading(section - fixed);
        if (role == Qt::ToolTipRole) return norms_->HeadingTip(section - fixed);
        return {};
    }
    const TArchiveColumn& column = ArchiveColumns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return column.Heading;
    if (role == Qt::ToolTipRole) return column.ToolTip;
    return {};
}

void TArchiveTestModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Persistent indexes (the selection, the current row) follow their rows.
    const QModelIndexList before = persistentIndexList();
    // Each row by its place in Rows() (a norm column's order maps shown rows to the view's).
    std::vector<std::size_t> rowsBefore;
    rowsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        rowsBefore.push_back(static_cast<std::size_t>(&Row(i.row()) - view_->Rows().data()));
    sortColumn_ = column;
    sortOrder_ = order;
    if (!SortedByNorm())
        view_->Sort(ArchiveColumns()[static_cast<std::size_t>(column)].Sort,
                    order == Qt::AscendingOrder);
    SortByNorm();
    std::vector<int> shownAt(view_->Rows().size(), -1);
    for (int i = 0; i < rowCount(); ++i)
        shownAt[static_cast<std::size_t>(&Row(i) - view_->Rows().data())] = i;
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k)
        after.append(index(shownAt[rowsBefore[static_cast<std::size_t>(k)]], before[k].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- TExamineeModel --------------------------------------------------------------------

TExamineeModel::TExamineeModel(QObject* parent) : QAbstractTableModel(parent) {}

void TExamineeModel::SetRows(std::vector<archive::TExamineeRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TExamineeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TExamineeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 6;
}

namespace {

QString SexText(stats::TSex sex) {
    switch (sex) {
        case stats::TSex::Male:
            return QStringLiteral("м");
        case stats::TSex::Female:
            return QStringLiteral("ж");
        case stats::TSex::Any:
            break;
    }
    return {};
}

// The age at the examinee's latest test, when the birth date and that test's date are known.
std::optional<int> AgeAtLast(const archive::TExamineeRow& row) {
    return stats::ExamineeAt(row.Data, stats::ParseDate(row.LastDate)).Age;
}

}  // namespace

QVariant TExamineeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const archive::TExamineeRow& row = Row(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::UserRole: {
            const bool shown = role == Qt::DisplayRole;
            switch (index.column()) {
                case 0:
                    return QString::fromStdString(shown ? row.Name : archive::FoldCase(row.Name));
                case 1:
                    return static_cast<qulonglong>(row.Tests);
                case 2:
                    return shown ? ShownDate(row.LastDate) : QString::fromStdString(row.LastDate);
                case 3:
                    return SexText(row.Data.Sex);
                case 4: {
                    const std::optional<int> age = AgeAtLast(row);
                    if (!age) return shown ? QVariant(QString()) : QVariant(-1);
                    return *age;
                }
                default:
                    return QString::fromStdString(row.Data.Group);
            }
        }
        case Qt::ToolTipRole:
            if (index.column() == 4 && row.Data.BirthDate)
                return QStringLiteral("Дата рождения ") +
                       ShownDate(stats::DateText(*row.Data.BirthDate)) +
                       QStringLiteral("; возраст на дату последнего обследования");
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::AlignVCenter |
                (index.column() == 1 || index.column() == 4 ? Qt::AlignRight : Qt::AlignLeft));
        default:
            return {};
    }
}

QVariant TExamineeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case 0:
            return QStringLiteral("Испытуемый");
        case 1:
            return QStringLiteral("Тестов");
        case 2:
            return QStringLiteral("Последний");
        case 3:
            return QStringLiteral("Пол");
        case 4:
            return QStringLiteral("Возраст");
        case 5:
            return QStringLiteral("Группа");
        default:
            return {};
    }
}

// ---- TExamineeFilter -------------------------------------------------------------------

TExamineeFilter::TExamineeFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(Qt::UserRole);
    setSortLocaleAware(true);
}

void TExamineeFilter::SetAllowed(std::optional<std::unordered_set<std::int64_t>> allowed) {
    allowed_ = std::move(allowed);
    invalidateRowsFilter();
}

bool TExamineeFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (!allowed_) return true;
    const auto* model = static_cast<const TExamineeModel*>(sourceModel());
    return allowed_->count(model->Row(sourceRow).Id) > 0;
}

}  // namespace orvix
