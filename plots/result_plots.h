// The program's two result charts without their windows: the search-time chart (ChartSel) and
// the five-second chart (Chart5sec), each set up on a chart it is given and filled from an
// analysis. Plain C++: the window shows them in chart widgets, the batch tool fills them
// without any window, so both meet the same failures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "charts/custom_chart.h"
#include "protocol/analysis.h"
#include "protocol/load.h"
#include "protocol/report.h"

namespace orvix {

// The size both charts have in the window and in pictures.
inline constexpr int kResultChartWidth = 1023;
inline constexpr int kResultChartHeight = 369;

// The colour of the +/-2 SD band lines: RGB (64, 0, 64).
inline constexpr TColor clBandLine = RGBColor(64, 0, 64);

// The look of the result charts, for other charts to share: margins, white plot, blue Arial 13
// title and foot, number labels on both axes with black titles.
void SetUpResultChartLook(TCustomChart& chart);

class TSearchTimePlot {
  public:
    // Sets `chart` up: margins, colours, fonts, a fixed left axis 0 .. 504 until the first
    // load, 60 points per page, and the four series.
    explicit TSearchTimePlot(TCustomChart& chart);
    TSearchTimePlot(const TSearchTimePlot&) = delete;
    TSearchTimePlot& operator=(const TSearchTimePlot&) = delete;

    TCustomChart& Chart() const noexcept { return chart_; }

    // In drawing order: the selections (coloured per point), the mean, the +2 SD and -2 SD
    // lines.
    TLineSeries* SeriesSel;
    TLineSeries* SeriesSelAv;
    TLineSeries* SeriesSel2Dp;
    TLineSeries* SeriesSel2Dm;

    // The default bottom axis title, shown again when the mouse is over no point.
    static const std::string& BottomTitle();

    // Empties the four series (the bottom axis range stays as it is).
    void ClearSeries();
    // Title: `heading` (protocol line 25) with the orientation and the search statistics;
    // foot: `subject`.
    void SetTexts(std::string_view heading, const TAnalysisResult& result,
                  std::string_view subject);
    // One selection: its point, caption and colour, and the mean and band at its timer.
    void AddSelection(const TSelectionPoint& point, const TAnalysisResult& result);
    // The left axis range from the search statistics and the points' extremes.
    void SetLeftRange(const TAnalysisResult& result);
    // The selection count of the last load; the right arrow reads the point before it.
    void SetSelectionCount(std::int32_t count) noexcept { selectionCount_ = count; }
    std::int32_t SelectionCount() const noexcept { return selectionCount_; }

    // The mouse at client pixel (x, y): inside the plot, the caption of the point there
    // replaces the bottom axis title, or the default title comes back over no point.
    void HoverAt(int x, int y);

  private:
    TCustomChart& chart_;
    std::int32_t selectionCount_ = 0;
};

class TTempoPlot {
  public:
    // Sets `chart` up: the left axis from 0 following the data, and the five series.
    explicit TTempoPlot(TCustomChart& chart);
    TTempoPlot(const TTempoPlot&) = delete;
    TTempoPlot& operator=(const TTempoPlot&) = delete;

    TCustomChart& Chart() const noexcept { return chart_; }

    // In drawing order, the bars underneath: omissions per interval, selections per interval
    // (coloured per point), the mean, the +2 SD and -2 SD lines.
    TBarSeries* Series5secNpl;
    TLineSeries* Series5sec;
    TLineSeries* Series5secAv;
    TLineSeries* Series5sec2Dp;
    TLineSeries* Series5sec2Dm;

    static const std::string& BottomTitle();

    void ClearSeries();
    // Every interval's points, then the two title lines and the foot.
    void Fill(const TAnalysisResult& result, std::string_view subject);
    // The mouse at client pixel (x, y), as for the search-time chart.
    void HoverAt(int x, int y);

  private:
    TCustomChart& chart_;
};

// Both charts without any window, as a window has them after start-up (the batch tool's).
struct TDetachedCharts {
    TCustomChart TempoChart;
    TCustomChart SearchChart;
    TTempoPlot Tempo{TempoChart};
    TSearchTimePlot Search{SearchChart};
};

// Shows a load in the report and both charts, in the order of the Data command: the charts
// emptied (the five-second chart's series, then the search-time chart's, whose bottom axis
// title goes back to its default); the report's head;
// the search-time chart's texts, points and left axis range; the five-second chart; the
// report's tempo lines. Each view gets what the analysis reached before its first failure,
// or before the first failure a chart meets itself (a left axis range that cannot be set, a
// band beyond the double range); that failure is then thrown.
void ShowLoad(const TLoadedProtocol& load, TLineList& report, TTempoPlot& tempo,
              TSearchTimePlot& search);

// Loads a protocol as the Data command loads it, both charts filled without windows with
// `decimal` as their separator, so it meets every failure the window's load meets; throws that
// failure. What a second protocol beside the loaded one (a retest) is read with.
TLoadedProtocol LoadAsDataCommand(const std::filesystem::path& path, char decimal);

}  // namespace orvix
