#include "value_list.h"

#include <algorithm>
#include <cmath>

#include "chart_errors.h"

namespace orvix {

void RaiseListIndex(int index) {
    throw EListError(WithArgument(msg::kListIndex, std::to_string(index)));
}

double TChartValueList::Value(int index) const {
    if (index < 0 || index >= Count()) RaiseListIndex(index);
    return values_[static_cast<std::size_t>(index)] * Multiplier;
}

int TChartValueList::InsertPosition(double value) const noexcept {
    const int n = Count();
    if (Order == loNone || n == 0) return n;
    // Points mostly arrive in order: check the end first, then walk back from it.
    if (Order == loAscending) {
        if (!(value < values_.back())) return n;
        int i = n - 1;
        while (i >= 0 && values_[static_cast<std::size_t>(i)] > value) --i;
        return i + 1;
    }
    if (!(value > values_.back())) return n;
    int i = n - 1;
    while (i >= 0 && values_[static_cast<std::size_t>(i)] < value) --i;
    return i + 1;
}

void TChartValueList::Insert(int index, double value) {
    values_.insert(values_.begin() + index, value);
    stale_ = true;
}

void TChartValueList::Clear() noexcept {
    values_.clear();
    stale_ = true;
}

const TChartValueList::Statistics& TChartValueList::Stats() const {
    if (stale_) {
        Statistics s;
        if (!values_.empty()) {
            const auto [lo, hi] = std::minmax_element(values_.begin(), values_.end());
            s.min = *lo;
            s.max = *hi;
            for (double v : values_) {
                s.total += v;
                s.totalAbs += std::fabs(v);
            }
            s.min *= Multiplier;
            s.max *= Multiplier;
            if (s.min > s.max) std::swap(s.min, s.max);
            s.total *= Multiplier;
            s.totalAbs *= std::fabs(Multiplier);
        }
        stats_ = s;
        stale_ = false;
    }
    return stats_;
}

}  // namespace orvix
