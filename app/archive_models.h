// The archive window's lists as item models: the tests over the archive's sortable and
// filterable view (no item per cell: cells are made when the view paints them, so ten
// thousand rows cost nothing until seen), and the examinees with a filter by who has tests
// shown.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "archive/archive_rows.h"
#include "archive/test_view.h"

namespace orvix {

class TNormColumns;

class TArchiveTestModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit TArchiveTestModel(QObject* parent = nullptr);
    ~TArchiveTestModel() override;

    // Replaces every row; the sort, the filter and the examinee shown stay.
    void SetRows(std::vector<archive::TTestRow> rows);
    // Shows the rows whose examinee, FileTag or file name holds `text`.
    void SetFilter(const QString& text);
    // Only one examinee's tests (nothing: everyone's).
    void SetExaminee(std::optional<std::int64_t> examineeId);
    // The decimal separator numbers are shown with.
    void SetDecimal(char decimal);
    // The norm columns after the list's own (nothing: none). They score the rows held now and
    // every set given later.
    void SetNorms(std::shared_ptr<TNormColumns> norms);
    const TNormColumns* Norms() const noexcept { return norms_.get(); }

    const archive::TTestView& View() const noexcept { return *view_; }
    const archive::TTestRow& Row(int shownRow) const;
    // The shown row of a test, or -1.
    int ShownRowOf(std::int64_t testId) const;
    // The examinees that have a row passing the filter (whoever is shown).
    std::unordered_set<std::int64_t> ExamineesMatchingFilter();
    int SortColumn() const noexcept { return sortColumn_; }
    Qt::SortOrder SortOrder() const noexcept { return sortOrder_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Sorts in place; selected rows stay selected.
    void sort(int column, Qt::SortOrder order) override;

  private:
    bool SortedByNorm() const noexcept;
    // After the view's rows shown changed: the order of a norm column's sort made again.
    void SortByNorm();

    std::unique_ptr<archive::TTestView> view_;
    std::shared_ptr<TNormColumns> norms_;
    // Sorted by a norm column: the view's shown rows in that order (places in the view's order).
    std::vector<std::size_t> normOrder_;
    QString filter_;
    std::optional<std::int64_t> examinee_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    char decimal_ = '.';
};

// The examinees: name, number of tests, last test date.
class TExamineeModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit TExamineeModel(QObject* parent = nullptr);

    void SetRows(std::vector<archive::TExamineeRow> rows);
    const archive::TExamineeRow& Row(int row) const { return rows_.at(static_cast<size_t>(row)); }
    const std::vector<archive::TExamineeRow>& Rows() const noexcept { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Qt::UserRole: the value to sort by (the name folded, the count, the ISO date).
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<archive::TExamineeRow> rows_;
};

// Sorts the examinees by any column and shows only those allowed (all without a restriction).
class TExamineeFilter final : public QSortFilterProxyModel {
    Q_OBJECT

  public:
    explicit TExamineeFilter(QObject* parent = nullptr);
    void SetAllowed(std::optional<std::unordered_set<std::int64_t>> allowed);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    std::optional<std::unordered_set<std::int64_t>> allowed_;
};

}  // namespace orvix
