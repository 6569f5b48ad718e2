// Chart series: the points of one data set, their colours and labels, the range of them the
// last paint showed, and the hit test. Line series join their points and may show square
// markers; bar series draw vertical bars standing on an origin value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "axis_map.h"
#include "chart_types.h"
#include "value_list.h"

namespace orvix {

class TCustomChart;

// What a series draws; painting and bar grouping go by it.
enum class TSeriesKind { Line, Bar };

// The vertical axis a series is drawn against: its values take that axis's range and map.
enum TVertAxis { aLeftAxis, aRightAxis };

class TChartSeries {
  public:
    virtual ~TChartSeries() = default;
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    virtual TSeriesKind Kind() const noexcept = 0;

    TChartValueList XValues{"X", loAscending};
    TChartValueList YValues;

    TColor SeriesColor = clRed;

    // The left axis unless set otherwise; changing it marks the chart for repainting.
    TVertAxis VertAxis() const noexcept { return vertAxis_; }
    void SetVertAxis(TVertAxis axis);

    bool Active() const noexcept { return active_; }
    void SetActive(bool active);

    // Inserts a point in X order (a new X equal to existing ones lands after them) and returns
    // its index. `label` is Windows-1251 text.
    int AddPoint(double x, double y, std::string_view label = {}, TColor color = clSeriesDefault);
    // Empties the point lists; axis state, titles and paging stay as they are.
    void ClearPoints();
    // Makes room for `count` points in all, so that adding them does not reallocate.
    void ReservePoints(std::size_t count);

    int PointCount() const noexcept { return XValues.Count(); }
    double PointX(int index) const { return XValues.Value(index); }
    double PointY(int index) const { return YValues.Value(index); }
    // The label of a point; empty when it has none or the index is past the end.
    std::string PointLabel(int index) const;
    // The stored colour, or SeriesColor when it is clSeriesDefault or the index is past the end.
    TColor PointColor(int index) const;

    virtual double LowestY() const { return YValues.MinValue(); }
    virtual double HighestY() const { return YValues.MaxValue(); }
    double LowestX() const { return XValues.MinValue(); }
    double HighestX() const { return XValues.MaxValue(); }

    // The index range the last paint showed; -1 and -1 when nothing was visible.
    int FirstVisible() const noexcept { return first_; }
    int LastVisible() const noexcept { return last_; }

    // The pixel of a point (client coordinates) under the axes of the last paint.
    int CalcXPos(int index) const;
    int CalcYPos(int index) const;

    // The point under client pixel (x, y) by the last paint's state, or -1.
    int HitTest(int x, int y) const;

    TCustomChart* ParentChart() const noexcept { return chart_; }

    // The pixels this series asks to keep free at the two ends of an axis.
    virtual void CalcHorizMargins(int& start, int& end) {
        start = 0;
        end = 0;
    }
    virtual void CalcVertMargins(int& start, int& end) {
        start = 0;
        end = 0;
    }

  protected:
    explicit TChartSeries(std::string yName) : YValues(std::move(yName), loNone) {}
    void Changed() const;
    double RawX(int i) const noexcept { return XValues.Raw()[static_cast<std::size_t>(i)]; }
    double RawY(int i) const noexcept { return YValues.Raw()[static_cast<std::size_t>(i)]; }
    const TAxisMap& HorizMap() const;
    const TAxisMap& VertMap() const;
    // Hit test over first..last (both valid indices).
    virtual int HitTestRange(int x, int y, int first, int last) const = 0;
    // Bars drop the first point past the right edge; lines keep it to draw the line towards it.
    virtual bool KeepsPointBeyondRight() const noexcept { return true; }

  private:
    friend class TCustomChart;
    void CalcVisibleRange(const TAxisMap& horiz, const TRect& plot);
    void ResetVisibleRange() noexcept { first_ = last_ = -1; }

    TCustomChart* chart_ = nullptr;
    bool active_ = true;
    TVertAxis vertAxis_ = aLeftAxis;
    std::vector<TColor> colors_;
    std::vector<std::string> labels_;
    int first_ = -1;
    int last_ = -1;

  public:
    // Settings that layout and painting do not read; kept so a chart may still set them.
    bool ColorEachPoint = false;  // unused by the result charts: no palette colour per point
    bool ShowInLegend = true;     // unused by the result charts: no legend is drawn
    struct {
        bool Visible = true;
    } Marks;  // unused by the result charts: no mark labels are drawn
};

enum TSeriesPointerStyle { psRectangle };

// The square marker of a line series' points.
class TSeriesPointer {
  public:
    bool Visible = false;
    bool InflateMargins = true;
    TChartPen Pen;
    TChartBrush Brush;

    // Half-width and half-height in pixels; both at least 1.
    int HorizSize() const noexcept { return horizSize_; }
    int VertSize() const noexcept { return vertSize_; }
    void SetHorizSize(int size);
    void SetVertSize(int size);

  private:
    int horizSize_ = 4;
    int vertSize_ = 4;

  public:
    // Not read by layout or painting: the two result charts leave it unused.
    TSeriesPointerStyle Style = psRectangle;  // unused by the result charts: markers are squares
};

class TLineSeries : public TChartSeries {
  public:
    TLineSeries() : TChartSeries("Y") {}
    TSeriesKind Kind() const noexcept override { return TSeriesKind::Line; }

    // Width and style of the line; its colour is each point's colour.
    TChartPen LinePen;
    TSeriesPointer Pointer;

    void CalcHorizMargins(int& start, int& end) override;
    void CalcVertMargins(int& start, int& end) override;

    // Y at X value `x` on the straight line from point i - 1 to point i.
    double InterpolatedY(int i, double x) const;

  protected:
    int HitTestRange(int x, int y, int first, int last) const override;

  public:
    // Not read by layout or painting: the two result charts leave it unused.
    bool Stairs = false;  // unused by the result charts: points are joined straight
};

enum TMultiBar { mbNone, mbSide, mbStacked, mbStacked100 };
enum TBarStyle { bsRectangle };

class TBarSeries : public TChartSeries {
  public:
    TBarSeries() : TChartSeries("Bar") {}
    TSeriesKind Kind() const noexcept override { return TSeriesKind::Bar; }

    TMultiBar MultiBar = mbSide;
    bool UseYOrigin = true;
    double YOrigin = 0;
    bool SideMargins = true;
    int CustomBarWidth = 0;
    int OffsetPercent = 0;
    TChartPen BarPen;
    TChartBrush BarBrush;

    int BarWidthPercent() const noexcept { return barWidthPercent_; }
    void SetBarWidthPercent(int percent);

    // The bar width in pixels of the last paint.
    int BarWidth() const noexcept { return barWidth_; }
    // Recomputes the bar width for a horizontal axis `axisLength` pixels long.
    void CalcBarWidth(int axisLength);

    double LowestY() const override;
    double HighestY() const override;
    void CalcHorizMargins(int& start, int& end) override;

    // The bar of point i in client pixels: left..right (right exclusive), top and origin rows.
    struct TBarBounds {
        int Left;
        int Right;
        int Top;
        int Origin;
    };
    TBarBounds BarBounds(int i) const;

  protected:
    int HitTestRange(int x, int y, int first, int last) const override;
    bool KeepsPointBeyondRight() const noexcept override { return false; }

  private:
    int GroupedBars() const;
    int BarLeft(int i) const;

    int barWidthPercent_ = 70;
    int barWidth_ = 0;

  public:
    // Settings that layout and painting do not read; kept so a chart may still set them.
    TBarStyle BarStyle = bsRectangle;  // unused by the result charts: bars are rectangles
    bool AutoBarSize = false;          // unused by the result charts: widths come from percent
};

}  // namespace orvix
