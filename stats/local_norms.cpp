#include "stats/local_norms.h"

#include <algorithm>
#include <cmath>

namespace orvix::stats {

TPercentiles InclusivePercentiles(const std::vector<double>& sorted) {
    TPercentiles p{};
    const auto m = static_cast<long long>(sorted.size()) - 1;
    for (std::size_t k = 0; k < kPercentileRanks.size(); ++k) {
        const long long position = kPercentileRanks[k] * m;
        const long long j = position / 100;
        const long long delta = position - j * 100;
        const auto at = [&](long long i) { return sorted[static_cast<std::size_t>(i)]; };
        p[k] = (at(j) * static_cast<double>(100 - delta) +
                at(std::min(j + 1, m)) * static_cast<double>(delta)) /
               100;
    }
    return p;
}

TLocalNorms BuildLocalNorms(const std::vector<TNormSample>& samples, const TLocalNormGroup& group) {
    TLocalNorms out;
    std::optional<TDate> first;
    std::optional<TDate> last;
    for (const TNormSample& s : samples) {
        if (!s.TestDate) continue;
        if (!first || *s.TestDate < *first) first = s.TestDate;
        if (!last || *last < *s.TestDate) last = s.TestDate;
    }
    std::vector<double> values;
    for (const TNormIndex& index : kNormIndices) {
        const std::optional<std::size_t> column = FigureColumn(index.Column);
        values.clear();
        for (const TNormSample& s : samples) {
            if (!column || *column >= s.Figures.size()) continue;
            const TCell& cell = s.Figures[*column];
            if (cell.IsNumber() && std::isfinite(cell.Value)) values.push_back(cell.Value);
        }
        const std::size_t n = values.size();
        if (n < 2) {
            out.Skipped.push_back(index.Column);
            continue;
        }
        // Two passes: deviations from the mean keep large offsets exact.
        double mean = 0;
        for (const double v : values) mean += v;
        mean /= static_cast<double>(n);
        double squares = 0;
        for (const double v : values) squares += (v - mean) * (v - mean);
        const double sd = std::sqrt(squares / static_cast<double>(n - 1));
        if (!(sd > 0)) {
            out.Skipped.push_back(index.Column);
            continue;
        }
        std::sort(values.begin(), values.end());
        TNormRow row;
        row.NormId = group.NormId;
        row.Version = group.Version;
        row.Index = index.Column;
        row.Sex = group.Sex;
        row.AgeFrom = group.AgeFrom;
        row.AgeTo = group.AgeTo;
        row.Group = group.Group;
        row.N = static_cast<long long>(n);
        row.Mean = mean;
        row.SD = sd;
        row.Percentiles = InclusivePercentiles(values);
        row.Direction = index.Better;
        row.Source = group.Source;
        if (first) row.DateFrom = DateText(*first);
        if (last) row.DateTo = DateText(*last);
        out.Table.Rows.push_back(std::move(row));
    }
    return out;
}

}  // namespace orvix::stats
