// A group of tests at a glance: for each numeric index, how many tests have it and its mean,
// standard deviation, median, quartiles, minimum and maximum.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "stats/summary_figures.h"

namespace orvix::stats {

struct TIndexSummary {
    std::string Index;  // the column's name
    std::size_t N = 0;  // tests with a number in the column
    // Empty without numbers; SD needs two of them (sample SD, n - 1).
    std::optional<double> Mean, SD, Median, Q1, Q3, Min, Max;
};

// The summary of the numbers among `values` (cells that are no number are passed over).
// Quartiles and median interpolate linearly between order statistics: the p-quantile of n
// sorted values x1..xn is x at position 1 + (n - 1) p (the common spreadsheet QUARTILE.INC).
TIndexSummary SummariseIndex(std::string index, std::span<const TCell> values);

// The summary of each of `columns` (indices into every row) over `rows`; `names` names every
// column of the rows.
std::vector<TIndexSummary> SummariseColumns(const std::vector<std::string>& names,
                                            const std::vector<std::vector<TCell>>& rows,
                                            const std::vector<std::size_t>& columns);

// The figure columns that hold numbers (all of stats::kFigureColumns but the texts).
std::vector<std::size_t> NumericFigureColumns();

// The summary as a table: a header (index, n, mean, SD, median, Q1, Q3, min, max) and one row
// per index, numbers as cells with kStatisticsDigits significant digits.
std::vector<std::string> SummaryHeader();
std::vector<std::vector<TCell>> SummaryCells(const std::vector<TIndexSummary>& summary);

// A table as UTF-8 CSV the way the batch summary writes its cells: the header first, "," between
// fields, "\n" after each row.
std::string CsvTable(const std::vector<std::string>& header,
                     const std::vector<std::vector<TCell>>& rows);

}  // namespace orvix::stats
