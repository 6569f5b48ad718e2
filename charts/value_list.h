// One list of point values of a series (its X or its Y values), with cached statistics.
#pragma once

#include <string>
#include <vector>

namespace orvix {

enum TChartListOrder { loNone, loAscending, loDescending };

class TChartValueList {
  public:
    TChartValueList(std::string name, TChartListOrder order)
        : Name(std::move(name)), Order(order) {}

    std::string Name;
    TChartListOrder Order;
    bool DateTime = false;
    double Multiplier = 1.0;

    int Count() const noexcept { return static_cast<int>(values_.size()); }
    // The value at `index` times Multiplier; an index outside the list raises EListError.
    double Value(int index) const;
    // The stored values, in list order, without the multiplier.
    const std::vector<double>& Raw() const noexcept { return values_; }

    // Where a new value goes under Order: ascending lists put it after every value not greater
    // than it (so equal values keep their order of arrival), descending lists after every value
    // not smaller; unordered lists append.
    int InsertPosition(double value) const noexcept;
    void Insert(int index, double value);
    void Clear() noexcept;
    void Reserve(std::size_t count) { values_.reserve(count); }

    // Statistics over all values (times Multiplier), recomputed only after a change; an empty
    // list gives 0 for all four.
    double MinValue() const { return Stats().min; }
    double MaxValue() const { return Stats().max; }
    double Total() const { return Stats().total; }
    double TotalAbs() const { return Stats().totalAbs; }

  private:
    struct Statistics {
        double min = 0;
        double max = 0;
        double total = 0;
        double totalAbs = 0;
    };
    const Statistics& Stats() const;

    std::vector<double> values_;
    mutable Statistics stats_;
    mutable bool stale_ = false;
};

}  // namespace orvix
