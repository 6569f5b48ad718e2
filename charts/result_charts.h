// The program's two result charts, drawn with the chart component: the search-time chart
// (ChartSel) with its scroll arrows and the five-second chart (Chart5sec). Each sets itself up
// once when created; a load empties and refills them through TResultChartViews in the order of
// the analysis steps. Both show the caption of the point under the mouse in place of their
// bottom axis title.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "chart.h"
#include "protocol/analysis.h"
#include "protocol/report.h"
#include "speed_button.h"

namespace orvix {

// The size both charts have in the window and in pictures.
inline constexpr int kResultChartWidth = 1023;
inline constexpr int kResultChartHeight = 369;

// The colour of the +/-2 SD band lines: RGB (64, 0, 64).
inline constexpr TColor clBandLine = RGBColor(64, 0, 64);

class TSearchTimeChart final : public TChart {
    Q_OBJECT

  public:
    explicit TSearchTimeChart(QWidget* parent = nullptr);

    // In drawing order: the selections (coloured per point), the mean, the +2 SD and -2 SD
    // lines.
    TLineSeries* SeriesSel;
    TLineSeries* SeriesSelAv;
    TLineSeries* SeriesSel2Dp;
    TLineSeries* SeriesSel2Dm;
    // Scroll arrows in the lower right corner: one minute back and forth.
    TSpeedButton* sbLeftSel;
    TSpeedButton* sbRightSel;

    // The default bottom axis title, shown again when the mouse is over no point.
    static const std::string& BottomTitle();

    // Empties the four series (the bottom axis range and the arrows stay as they are).
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

    // The arrows: shift the bottom axis by 60 s and update which arrows can go further.
    void sbLeftSelClick();
    void sbRightSelClick();
    // Mouse movement over the chart, client coordinates.
    void ChartSelMouseMove(int x, int y);

  private:
    std::int32_t selectionCount_ = 0;
};

class TTempoChart final : public TChart {
    Q_OBJECT

  public:
    explicit TTempoChart(QWidget* parent = nullptr);

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
    // Mouse movement over the chart, client coordinates.
    void ChartTimeMouseMove(int x, int y);
};

// The charts as a load fills them.
class TResultChartViews final : public TAnalysisViews {
  public:
    TResultChartViews(TTempoChart& chart5sec, TSearchTimeChart& chartSel)
        : chart5sec_(chart5sec), chartSel_(chartSel) {}

    // Before a load: every series of Chart5sec, then every series of ChartSel, emptied.
    void ClearSeries();

    void SearchChartTexts(const TLineBuffer& protocol, const TAnalysisResult& result) override;
    void SearchChartPoint(const TSelectionPoint& point, const TAnalysisResult& result) override;
    void SearchChartRange(const TAnalysisResult& result) override;
    void TempoChart(const TAnalysisResult& result) override;

  private:
    TTempoChart& chart5sec_;
    TSearchTimeChart& chartSel_;
    std::string subject_;
};

}  // namespace orvix
