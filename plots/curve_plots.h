// The work-curve charts without their windows: the course of one test minute by minute with
// its tempo trend, and the curves of an earlier and a later test of one examinee over each
// other. Plain C++ like the result plots: the windows show them in chart widgets and the
// comparison page paints them. The chart component draws no legend, so each plot describes
// its own (Legend()) and whoever shows the chart paints it beside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "charts/custom_chart.h"
#include "charts/legend_entry.h"
#include "stats/work_curve.h"

namespace orvix {

// The size the curve charts are laid out at in the windows and on the pages.
inline constexpr int kCurveChartWidth = 1023;
inline constexpr int kCurveChartHeight = 400;

// Points the trend line and its confidence band are drawn through.
inline constexpr int kTrendSamples = 48;

class TWorkCurvePlot {
  public:
    // Sets `chart` up: margins, colours, fonts, axis titles, the left axis (selections per
    // minute) and the right axis (wrong selections and omissions per minute) from 0, and the six
    // series.
    explicit TWorkCurvePlot(TCustomChart& chart);
    TWorkCurvePlot(const TWorkCurvePlot&) = delete;
    TWorkCurvePlot& operator=(const TWorkCurvePlot&) = delete;

    TCustomChart& Chart() const noexcept { return chart_; }

    // In drawing order: wrong selections and omissions of each minute (bars side by side at
    // the minute's middle, against the right axis), selections per minute (a line with
    // markers), the tempo trend and the two edges of its 95 % confidence band (against the left
    // axis). X is minutes from the start of the test.
    TBarSeries* WrongBars;
    TBarSeries* OmissionBars;
    TLineSeries* Selections;
    TLineSeries* Trend;
    TLineSeries* BandHigh;
    TLineSeries* BandLow;

    // Empties the series and fills them from `curve`: the trend and its band only when the
    // trend is defined, drawn from 0 to the end of the last minute. The right axis reaches
    // twice the highest count (at least 2), so the bars stay in the plot's lower half. Title:
    // what the chart shows and the trend's slope with its interval and the verdict; foot:
    // `subject1251`. Numbers use the chart's decimal separator.
    void Fill(const stats::TWorkCurve& curve, std::string_view subject1251);

    // What the marks of the chart stand for (the trend's entries only when it is drawn).
    std::vector<TLegendEntry> Legend() const;

  private:
    TCustomChart& chart_;
};

class TCurveOverlayPlot {
  public:
    // Sets `chart` up as the work-curve chart, with the four series.
    explicit TCurveOverlayPlot(TCustomChart& chart);
    TCurveOverlayPlot(const TCurveOverlayPlot&) = delete;
    TCurveOverlayPlot& operator=(const TCurveOverlayPlot&) = delete;

    TCustomChart& Chart() const noexcept { return chart_; }

    // In drawing order: the trend lines of the earlier and the later test, then their
    // selections per minute (the earlier one with filled markers, the later with hollow ones,
    // so the two tell apart in grey print too).
    TLineSeries* EarlierTrend;
    TLineSeries* LaterTrend;
    TLineSeries* EarlierSelections;
    TLineSeries* LaterSelections;

    // Empties the series and fills them from both curves; the foot names both examinees
    // (one name when they are the same), Windows-1251.
    void Fill(const stats::TWorkCurve& earlier, const stats::TWorkCurve& later,
              std::string_view earlierSubject1251, std::string_view laterSubject1251);

    std::vector<TLegendEntry> Legend() const;

  private:
    TCustomChart& chart_;
};

}  // namespace orvix
