#include "archive_models.h"

#include <QColor>
#include <QFont>

#include "archive/examinee_name.h"
#include "archive_columns.h"

namespace orvix {

// ---- TArchiveTestModel -----------------------------------------------------------------

TArchiveTestModel::TArchiveTestModel(QObject* parent)
    : QAbstractTableModel(parent),
      view_(std::make_unique<archive::TTestView>(std::vector<archive::TTestRow>{})) {}

TArchiveTestModel::~TArchiveTestModel() = default;

void TArchiveTestModel::SetRows(std::vector<archive::TTestRow> rows) {
    beginResetModel();
    view_ = std::make_unique<archive::TTestView>(std::move(rows));
    if (sortColumn_ >= 0)
        view_->Sort(ArchiveColumns()[static_cast<std::size_t>(sortColumn_)].Sort,
                    sortOrder_ == Qt::AscendingOrder);
    view_->Filter(filter_.toStdString());
    view_->OnlyExaminee(examinee_);
    endResetModel();
}

void TArchiveTestModel::SetFilter(const QString& text) {
    if (text == filter_) return;
    beginResetModel();
    filter_ = text;
    view_->Filter(filter_.toStdString());
    endResetModel();
}

void TArchiveTestModel::SetExaminee(std::optional<std::int64_t> examineeId) {
    if (examineeId == examinee_) return;
    beginResetModel();
    examinee_ = examineeId;
    view_->OnlyExaminee(examinee_);
    endResetModel();
}

void TArchiveTestModel::SetDecimal(char decimal) {
    if (decimal == decimal_) return;
    decimal_ = decimal;
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

const archive::TTestRow& TArchiveTestModel::Row(int shownRow) const {
    return view_->ShownRow(static_cast<std::size_t>(shownRow));
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
    return parent.isValid() ? 0 : static_cast<int>(ArchiveColumns().size());
}

QVariant TArchiveTestModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TArchiveColumn& column = ArchiveColumns()[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
        case Qt::ForegroundRole:
        case Qt::FontRole: {
            const TArchiveCell cell = column.Cell(Row(index.row()), decimal_);
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
                                       (column.Number ? Qt::AlignRight : Qt::AlignLeft));
        default:
            return {};
    }
}

QVariant TArchiveTestModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
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
    std::vector<std::size_t> rowsBefore;
    rowsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        rowsBefore.push_back(view_->Order()[static_cast<std::size_t>(i.row())]);
    sortColumn_ = column;
    sortOrder_ = order;
    view_->Sort(ArchiveColumns()[static_cast<std::size_t>(column)].Sort,
                order == Qt::AscendingOrder);
    std::vector<int> shownAt(view_->Rows().size(), -1);
    for (std::size_t i = 0; i < view_->Shown(); ++i)
        shownAt[view_->Order()[i]] = static_cast<int>(i);
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
    return parent.isValid() ? 0 : 3;
}

QVariant TExamineeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const archive::TExamineeRow& row = Row(index.row());
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == 0) return QString::fromStdString(row.Name);
            if (index.column() == 1) return static_cast<qulonglong>(row.Tests);
            return ShownDate(row.LastDate);
        case Qt::UserRole:
            if (index.column() == 0) return QString::fromStdString(archive::FoldCase(row.Name));
            if (index.column() == 1) return static_cast<qulonglong>(row.Tests);
            return QString::fromStdString(row.LastDate);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (index.column() == 1 ? Qt::AlignRight : Qt::AlignLeft));
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
