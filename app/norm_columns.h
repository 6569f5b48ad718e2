// The archive window's "Norms" columns: for each chosen index of the norm table in use, the
// test's T and percentile against it, computed from the examinee's data at the test's date,
// and a column of warnings (age outside the group, a small group, no row matches). Every test
// is scored once when the rows or the choice change, so that painting and sorting read stored
// numbers only.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/archive_rows.h"
#include "archive_columns.h"
#include "stats/norm_scores.h"

namespace orvix {

class TNormColumns {
  public:
    // The indices of `indices` the table has norms for, in the table's order; all the table
    // has when `indices` is empty or names none of them.
    TNormColumns(std::shared_ptr<const stats::TNormTable> table,
                 std::vector<std::string_view> indices = {});

    // The indices the table has norms for, and those shown.
    const std::vector<std::string_view>& TableIndices() const noexcept { return lookup_.Indices(); }
    const std::vector<std::string_view>& Indices() const noexcept { return indices_; }

    // Scores `rows` (the tests' own order; cells are asked for by that order's place).
    void Score(const std::vector<archive::TTestRow>& rows);

    // Two columns per index (T, then percentile) and the warnings last.
    int ColumnCount() const noexcept { return static_cast<int>(indices_.size()) * 2 + 1; }
    QString Heading(int column) const;
    QString HeadingTip(int column) const;
    TArchiveCell Cell(std::size_t row, int column, char decimal) const;
    // The value a column sorts by (empty cells last).
    std::optional<double> Key(std::size_t row, int column) const;

  private:
    struct TRowScores {
        std::vector<std::optional<double>> T, Percentile;  // per shown index
        std::vector<QString> Notes;                        // per shown index, the warnings
        int Warnings = 0;
    };

    std::shared_ptr<const stats::TNormTable> table_;
    stats::TNormLookup lookup_;
    std::vector<std::string_view> indices_;
    std::vector<TRowScores> rows_;
};

}  // namespace orvix
