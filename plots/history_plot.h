// One examinee's tests over the calendar: selections per minute and accuracy of each test at its
// date. Plain C++ like the other plots; the archive window shows it in a chart widget.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "charts/custom_chart.h"
#include "charts/legend_entry.h"

namespace orvix {

// The size the history chart is laid out at in the archive window.
inline constexpr int kHistoryChartWidth = 640;
inline constexpr int kHistoryChartHeight = 260;

// One test of the history. A test whose figures are unknown (a failed analysis) has none.
struct THistoryTest {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    std::optional<double> SelectionsPerMinute;
    std::optional<double> Accuracy;  // a share, 0 .. 1
};

// Days since 1970-01-01 of a calendar date, and back as "dd.mm.yyyy".
int DayNumber(int year, int month, int day);
std::string DayText(int dayNumber);

class THistoryPlot {
  public:
    // Sets `chart` up in the look of the result charts: dates along the bottom, selections per
    // minute from 0 on the left, accuracy in percent on the right, and the two series with
    // markers at each test.
    explicit THistoryPlot(TCustomChart& chart);
    THistoryPlot(const THistoryPlot&) = delete;
    THistoryPlot& operator=(const THistoryPlot&) = delete;

    TCustomChart& Chart() const noexcept { return chart_; }

    // X: the test's day number. Accuracy is drawn in percent against the right axis, which
    // ends at 100 and starts at a multiple of ten some way below the lowest accuracy.
    TLineSeries* Selections;
    TLineSeries* Accuracy;

    // Empties both series and fills them from `tests` in date order (a test without a value
    // leaves no point in that series); the dates of the first and the last test span the
    // bottom axis with a little room either side. Foot: `examinee1251`.
    void Fill(std::vector<THistoryTest> tests, std::string_view examinee1251);

    std::vector<TLegendEntry> Legend() const;

  private:
    TCustomChart& chart_;
};

}  // namespace orvix
