// One chart axis: its range (automatic or manual), label and tick settings, title, and the
// state the last paint computed for it.
#pragma once

#include <string>
#include <vector>

#include "axis_map.h"
#include "chart_types.h"

namespace orvix {

class TCustomChart;

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

class TChartAxisTitle {
  public:
    TChartAxisTitle(TCustomChart* owner, int angle) : owner_(owner), Angle(angle) {}

    // Windows-1251 text; assigning a different text marks the chart for repainting.
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);

    TChartFont Font;

  private:
    TCustomChart* owner_;
    std::string caption_;

  public:
    // Not read by layout or painting: the two result charts leave it unused.
    int Angle;  // unused by the result charts: a left axis title always reads upwards
};

// One label of the last paint.
struct TAxisLabel {
    double Value;
    int Pixel;
    std::string Text;
};

class TChartAxis {
  public:
    // `otherSide`: a vertical axis on the right of the plot instead of the left.
    TChartAxis(TCustomChart* owner, bool horizontal, bool otherSide = false);

    TCustomChart* ParentChart() const noexcept { return owner_; }
    TChartAxis(const TChartAxis&) = delete;
    TChartAxis& operator=(const TChartAxis&) = delete;

    bool Horizontal() const noexcept { return horizontal_; }
    // A vertical axis whose line, ticks, labels and title lie right of the plot.
    bool OtherSide() const noexcept { return otherSide_; }

    // Automatic sets both ends' flags; an end's flag set False clears Automatic, set True sets
    // it when the other end is automatic too.
    bool Automatic() const noexcept { return automatic_; }
    bool AutomaticMinimum() const noexcept { return automaticMinimum_; }
    bool AutomaticMaximum() const noexcept { return automaticMaximum_; }
    void SetAutomatic(bool value);
    void SetAutomaticMinimum(bool value);
    void SetAutomaticMaximum(bool value);

    // The stored range. Each assignment is checked against the other end (AxisException) and
    // changes no flag; an automatic end is overwritten by the next paint.
    double Minimum() const noexcept { return minimum_; }
    double Maximum() const noexcept { return maximum_; }
    void SetMinimum(double value);
    void SetMaximum(double value);

    // Moves both ends by `offset` axis units and makes the axis manual for good; with
    // `checkLimits` only while data lies beyond the end moved towards. Repaints at once.
    void ShiftRange(double offset, bool checkLimits);

    std::string AxisValuesFormat = "#,##0.###";
    TAxisLabelStyle LabelStyle = talAuto;
    double Increment = 0;
    int LabelsSeparation = 10;
    bool RoundFirstLabel = true;
    bool LabelsOnAxis = true;
    bool Labels = true;
    TChartFont LabelsFont{"Arial", PointsToPixels(8), clBlack, false};
    TChartAxisTitle Title;
    int TickLength = 4;
    int MinorTickLength = 2;
    int MinorTickCount = 3;
    TChartPen Ticks{clGray, 1, psSolid, true};
    TChartPen MinorTicks{clGray, 1, psSolid, true};
    TChartPen Grid{clGray, 1, psDot, true};
    TChartPen AxisPen{clBlack, 2, psSolid, true};
    int StartPosition = 0;
    int EndPosition = 100;
    bool Visible = true;

    // State of the last paint.
    const TAxisMap& Map() const noexcept { return map_; }
    int CalcPosValue(double value) const noexcept { return map_.ToPixel(value); }
    double CalcPosPoint(int pixel) const noexcept { return map_.ToValue(pixel); }
    bool Shown() const noexcept { return shown_; }
    // The plot edge the axis line lies on, and the edges of the labels band and of the title
    // band next to the plot (their inner edges: bands grow away from the plot).
    int PosAxis() const noexcept { return posAxis_; }
    int PosLabels() const noexcept { return posLabels_; }
    int PosTitle() const noexcept { return posTitle_; }
    double LabelStep() const noexcept { return labelStep_; }
    const std::vector<TAxisLabel>& LabelList() const noexcept { return labels_; }
    const std::vector<int>& MinorTickList() const noexcept { return minorTicks_; }
    // The pixels the tick band takes: axis line, ticks.
    int TickBand() const noexcept;

  private:
    friend class TCustomChart;
    TCustomChart* owner_;
    bool horizontal_;
    bool otherSide_;
    bool automatic_ = true;
    bool automaticMinimum_ = true;
    bool automaticMaximum_ = true;
    double minimum_ = 0;
    double maximum_ = 0;

    TAxisMap map_;
    bool shown_ = false;
    int posAxis_ = 0;
    int posLabels_ = 0;
    int posTitle_ = 0;
    double labelStep_ = 0;
    std::vector<TAxisLabel> labels_;
    std::vector<int> minorTicks_;

  public:
    // Settings that layout and painting do not read; kept so a chart may still set them.
    bool TickOnLabelsOnly = true;  // unused by the result charts: ticks are at labels only
    int LabelsAngle = 0;           // unused by the result charts: labels are never turned
    int TickInnerLength = 0;       // unused by the result charts: no ticks inside the plot
    TChartPen TicksInner{clGray, 1, psSolid, true};  // unused by the result charts: as above
    TChartPen MinorGrid{clGray, 1, psDot, false};    // unused by the result charts: no minor grid
    bool Inverted = false;     // unused by the result charts: axes run low to high
    bool Logarithmic = false;  // unused by the result charts: axes are linear
};

}  // namespace orvix
