#include "stats/group_summary.h"

#include <algorithm>
#include <cmath>

namespace orvix::stats {
namespace {

// The p-quantile of sorted values, interpolating between the order statistics around
// position (n - 1) p from 0.
double Quantile(const std::vector<double>& sorted, double p) {
    const double at = (static_cast<double>(sorted.size()) - 1) * p;
    const auto below = static_cast<std::size_t>(std::floor(at));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = at - static_cast<double>(below);
    return sorted[below] + fraction * (sorted[above] - sorted[below]);
}

}  // namespace

TIndexSummary SummariseIndex(std::string index, std::span<const TCell> values) {
    TIndexSummary s;
    s.Index = std::move(index);
    std::vector<double> x;
    x.reserve(values.size());
    for (const TCell& cell : values)
        if (cell.IsNumber() && std::isfinite(cell.Value)) x.push_back(cell.Value);
    s.N = x.size();
    if (x.empty()) return s;
    std::sort(x.begin(), x.end());
    // Two passes: the mean first, then the squared deviations from it (no cancellation).
    double sum = 0;
    for (const double v : x) sum += v;
    const double mean = sum / static_cast<double>(x.size());
    s.Mean = mean;
    if (x.size() >= 2) {
        double squares = 0;
        for (const double v : x) squares += (v - mean) * (v - mean);
        s.SD = std::sqrt(squares / static_cast<double>(x.size() - 1));
    }
    s.Min = x.front();
    s.Max = x.back();
    s.Q1 = Quantile(x, 0.25);
    s.Median = Quantile(x, 0.5);
    s.Q3 = Quantile(x, 0.75);
    return s;
}

std::vector<TIndexSummary> SummariseColumns(const std::vector<std::string>& names,
                                            const std::vector<std::vector<TCell>>& rows,
                                            const std::vector<std::size_t>& columns) {
    std::vector<TIndexSummary> out;
    out.reserve(columns.size());
    std::vector<TCell> column;
    for (const std::size_t c : columns) {
        column.clear();
        for (const std::vector<TCell>& row : rows)
            if (c < row.size()) column.push_back(row[c]);
        out.push_back(SummariseIndex(c < names.size() ? names[c] : std::string(), column));
    }
    return out;
}

std::vector<std::size_t> NumericFigureColumns() {
    std::vector<std::size_t> columns;
    for (std::size_t i = 0; i < kFigureColumns.size(); ++i)
        if (kFigureColumns[i] != "orientation" && kFigureColumns[i] != "work curve")
            columns.push_back(i);
    return columns;
}

std::vector<std::string> SummaryHeader() {
    return {"index", "n", "mean", "SD", "median", "Q1", "Q3", "min", "max"};
}

std::vector<std::vector<TCell>> SummaryCells(const std::vector<TIndexSummary>& summary) {
    std::vector<std::vector<TCell>> rows;
    rows.reserve(summary.size());
    for (const TIndexSummary& s : summary) {
        std::vector<TCell> row{TCell::Of(s.Index), TCell::Whole(static_cast<double>(s.N))};
        for (const auto& v : {s.Mean, s.SD, s.Median, s.Q1, s.Q3, s.Min, s.Max})
            row.push_back(v ? TCell::Real(*v, kStatisticsDigits) : TCell{});
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string CsvTable(const std::vector<std::string>& header,
                     const std::vector<std::vector<TCell>>& rows) {
    std::string csv;
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (i) csv += ",";
        csv += CsvField(header[i]);
    }
    csv += "\n";
    for (const std::vector<TCell>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) csv += ",";
            csv += CsvText(row[i]);
        }
        csv += "\n";
    }
    return csv;
}

}  // namespace orvix::stats
