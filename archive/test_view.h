// The tests of the archive as a list that can be sorted by any column and filtered as one
// types, for the window: the rows stay where they are and the view holds their order.
// Plain C++, no database: sorting and filtering 10,000 rows takes milliseconds.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_rows.h"

namespace orvix::archive {

// A column to sort by: one of the row's own fields or a figure (stats::kFigureColumns).
struct TTestColumn {
    enum class TField : unsigned char { Examinee, Date, FileTag, File, Status, Figure };
    TField Field = TField::Examinee;
    std::size_t Figure = 0;  // Figure: the index in stats::kFigureColumns
};

class TTestView {
  public:
    // Takes the rows (e.g. TArchive::Tests()); shown all, in the order given.
    explicit TTestView(std::vector<TTestRow> rows);

    const std::vector<TTestRow>& Rows() const noexcept { return rows_; }
    // The rows shown, in their order: indices into Rows().
    const std::vector<std::size_t>& Order() const noexcept { return order_; }
    std::size_t Shown() const noexcept { return order_.size(); }
    const TTestRow& ShownRow(std::size_t i) const { return rows_[order_[i]]; }

    // Sorts the shown rows, stably: texts by letters ignoring case, numbers by value, dates in
    // time order, empty cells last in either direction; ties keep examinee, date and file order.
    void Sort(TTestColumn column, bool ascending = true);
    // Shows the rows whose examinee, FileTag or file name holds `text` (ignoring case and
    // "ё"/"е"), in the current sort order; an empty text shows all.
    void Filter(std::string_view text);
    // Only the tests of one examinee (nothing: everyone), in the current sort order.
    void OnlyExaminee(std::optional<std::int64_t> examineeId);

  private:
    void Refresh();

    std::vector<TTestRow> rows_;
    std::vector<std::string> examineeKey_, fileTagKey_, fileKey_;  // folded, for sort and filter
    std::vector<std::size_t> sorted_;                              // every row, in sort order
    std::vector<std::size_t> order_;                               // the rows shown
    std::string filter_;
    std::optional<std::int64_t> examinee_;
};

}  // namespace orvix::archive
