// The chart without its window: series, axes, titles, margins and paging, the layout of one
// paint given text measurements, and the state that paint leaves for the hit test.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "axis.h"
#include "chart_types.h"
#include "series.h"

namespace orvix {

class TCustomChart;

// Text measurement of the platform that paints. Texts are Windows-1251.
class TTextMeasure {
  public:
    virtual ~TTextMeasure() = default;
    virtual int TextWidth(const TChartFont& font, std::string_view text) const = 0;
    // The line height of the font: the height of "W".
    virtual int TextHeight(const TChartFont& font) const = 0;
};

// A block of centred text lines above (Title) or below (Foot) the plot.
class TChartTitle {
  public:
    explicit TChartTitle(TCustomChart* owner) : owner_(owner) {}

    // The lines, Windows-1251. Every change marks the chart for repainting.
    const std::vector<std::string>& Text() const noexcept { return lines_; }
    void Clear();
    void Add(std::string line);
    void SetText(std::vector<std::string> lines);

    TChartFont Font{"Arial", PointsToPixels(8), clBlue, false};
    bool Visible = true;

  private:
    TCustomChart* owner_;
    std::vector<std::string> lines_;
};

struct TChartWall {
    TColor Color = clSeriesDefault;
    TChartBrush Brush{bsClear, clSeriesDefault};
    TChartPen Pen;
};

// Where one text line of a title block goes: its left pixel and top row.
struct TTextPlace {
    int X;
    int Top;
    std::string Text;
};

// What the layout step of one paint computed apart from the axes' own state.
struct TChartLayout {
    int Width = 0;
    int Height = 0;
    TRect InitialPlot;
    std::vector<TTextPlace> TitleLines;
    std::vector<TTextPlace> FootLines;
};

class TCustomChart {
  public:
    TCustomChart();
    virtual ~TCustomChart();
    TCustomChart(const TCustomChart&) = delete;
    TCustomChart& operator=(const TCustomChart&) = delete;

    // Creates a series at the end of the drawing order; the chart owns it.
    template <class S>
    S* AddSeries() {
        auto series = std::make_unique<S>();
        S* raw = series.get();
        Adopt(std::move(series));
        return raw;
    }
    int SeriesCount() const noexcept { return static_cast<int>(series_.size()); }
    // The series at `index` in drawing order; EListError outside.
    TChartSeries* Series(int index) const;

    TChartTitle Title{this};
    TChartTitle Foot{this};
    TChartWall BackWall;
    TColor BackColor() const noexcept { return BackWall.Color; }
    void SetBackColor(TColor color) { BackWall.Color = color; }
    // The background outside the plot.
    TColor Color = RGBColor(240, 240, 240);

    // Margins in percent of the chart's width (left, right) and height (top, bottom).
    int MarginLeft = 3;
    int MarginRight = 3;
    int MarginTop = 4;
    int MarginBottom = 4;

    // Points per page along the bottom axis; 0 = no paging.
    int MaxPointsPerPage() const noexcept { return maxPointsPerPage_; }
    void SetMaxPointsPerPage(int points);
    bool ScaleLastPage = true;
    int Page() const noexcept { return page_; }
    void SetPage(int page);
    int NumPages() const;

    // The decimal separator of the axis labels; whoever owns the chart sets the user's.
    char DecimalSeparator = '.';

    bool ClipPoints = true;
    bool AxisVisible = true;

    TChartAxis BottomAxis{this, true};
    TChartAxis LeftAxis{this, false};
    // Shown only while an active series is drawn against it (TChartSeries::SetVertAxis).
    TChartAxis RightAxis{this, false, true};

    // The vertical axis `series` is drawn against.
    const TChartAxis& VertAxisOf(const TChartSeries& series) const noexcept {
        return series.VertAxis() == aRightAxis ? RightAxis : LeftAxis;
    }

    // The plot rectangle of the last paint (empty before the first).
    TRect PlotRect() const noexcept { return plotRect_; }
    const TChartLayout& Layout() const noexcept { return layout_; }

    // The data range an automatic end of `axis` takes (paging included, no pixel margins).
    void CalcDataRange(const TChartAxis& axis, double& low, double& high) const;

    // Steps of a paint that come before drawing: plot rectangle, titles, axis ranges, bands,
    // pixel spans and margins, bar widths, labels and ticks, visible index ranges.
    void CalcLayout(int width, int height, const TTextMeasure& measure);

    // Marks the chart for repainting at the next paint of its window.
    virtual void Invalidate() { needsRepaint_ = true; }
    // Paints at once.
    virtual void RepaintNow() { needsRepaint_ = true; }
    bool NeedsRepaint() const noexcept { return needsRepaint_; }

  protected:
    void ClearRepaintMark() noexcept { needsRepaint_ = false; }

  private:
    void Adopt(std::unique_ptr<TChartSeries> series);
    std::vector<const TChartSeries*> CountingSeries() const;
    bool HasActiveSeries() const;
    void CalcStoredRange(TChartAxis& axis);
    void CalcAxisBands(TChartAxis& axis, TRect& rect, const TTextMeasure& measure);
    void ApplyPixelMargins(TChartAxis& axis);
    void CalcLabels(TChartAxis& axis, const TTextMeasure& measure);

    std::vector<std::unique_ptr<TChartSeries>> series_;
    int maxPointsPerPage_ = 0;
    int page_ = 1;
    TRect plotRect_;
    TChartLayout layout_;
    bool needsRepaint_ = true;
};

}  // namespace orvix
