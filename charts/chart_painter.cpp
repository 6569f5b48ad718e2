#include "chart_painter.h"

#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "raster_canvas.h"

namespace orvix {

namespace {

// Points with a pixel coordinate beyond this are left out.
constexpr int kCoordLimit = 32766;

class TChartPainter {
  public:
    TChartPainter(TCustomChart& chart, TRasterCanvas& canvas, const TQtTextMeasure& measure)
        : chart_(chart), canvas_(canvas), measure_(measure) {}

    void Paint(int width, int height) {
        canvas_.Fill(0, 0, width, height, chart_.Color);
        DrawBevel(width, height);
        chart_.CalcLayout(width, height, measure_);
        const TChartLayout& layout = chart_.Layout();
        DrawLines(layout.TitleLines, chart_.Title.Font);
        DrawLines(layout.FootLines, chart_.Foot.Font);
        DrawBackWall();
        for (const TChartAxis* axis : {&chart_.BottomAxis, &chart_.LeftAxis, &chart_.RightAxis})
            if (axis->Shown()) DrawAxis(*axis);
        for (int i = 0; i < chart_.SeriesCount(); ++i) {
            const TChartSeries& s = *chart_.Series(i);
            if (!s.Active()) continue;
            TRasterCanvas::TScope scope(canvas_);
            if (chart_.ClipPoints) {
                // Inside the back wall's frame, less one more row at the bottom.
                const TRect r = chart_.PlotRect();
                canvas_.SetClip(QRect(r.Left + 1, r.Top + 1, r.Width() - 1, r.Height() - 2));
            }
            switch (s.Kind()) {
                case TSeriesKind::Line:
                    DrawLineSeries(static_cast<const TLineSeries&>(s));
                    break;
                case TSeriesKind::Bar:
                    DrawBarSeries(static_cast<const TBarSeries&>(s));
                    break;
            }
        }
    }

  private:
    void DrawBevel(int width, int height) {
        const TColor light = clWhite;
        const TColor shadow = RGBColor(160, 160, 160);
        canvas_.Fill(0, 0, width, 1, light);
        canvas_.Fill(0, 0, 1, height, light);
        canvas_.Fill(0, height - 1, width, 1, shadow);
        canvas_.Fill(width - 1, 0, 1, height, shadow);
    }

    void DrawText(int x, int top, const TChartFont& font, const std::string& text) {
        canvas_.Text(QPoint(x, top + measure_.Metrics(font).ascent()), measure_.Font(font),
                     font.Color, QStringOf1251(text));
    }

    void DrawLines(const std::vector<TTextPlace>& lines, const TChartFont& font) {
        for (const TTextPlace& line : lines) DrawText(line.X, line.Top, font, line.Text);
    }

    void DrawBackWall() {
        const TRect r = chart_.PlotRect();
        const TChartWall& wall = chart_.BackWall;
        if (wall.Brush.Style == bsSolid) {
            const TColor c = wall.Color == clSeriesDefault ? clWhite : wall.Color;
            canvas_.Fill(r.Left, r.Top, r.Width() + 1, r.Height() + 1, c);
        }
        if (wall.Pen.Visible)
            canvas_.Frame(r.Left, r.Top, r.Width() + 1, r.Height() + 1, wall.Pen.Color);
    }

    // Axis pieces outside the plot run away from it: downwards for the bottom axis, to the
    // left for the left axis, to the right for the right axis. The axis line covers the plot's
    // edge pixel and the ones beyond it; the ticks start right after the line, so line and
    // ticks fill the tick band.
    void DrawAxis(const TChartAxis& axis) {
        const bool horizontal = axis.Horizontal();
        const bool right = axis.OtherSide();
        const TAxisMap& map = axis.Map();
        const TRect plot = chart_.PlotRect();
        const int edge = axis.PosAxis();
        const int lineWidth = axis.AxisPen.Visible ? axis.AxisPen.Width : 0;

        if (!axis.Title.Caption().empty()) DrawAxisTitle(axis);
        if (axis.Labels) {
            const QFontMetrics& fm = measure_.Metrics(axis.LabelsFont);
            for (const TAxisLabel& label : axis.LabelList()) {
                const int w = fm.horizontalAdvance(QStringOf1251(label.Text));
                if (horizontal)
                    DrawText(label.Pixel - w / 2, axis.PosLabels(), axis.LabelsFont, label.Text);
                else if (right)
                    DrawText(axis.PosLabels() + 1, label.Pixel - fm.height() / 2, axis.LabelsFont,
                             label.Text);
                else
                    DrawText(axis.PosLabels() - w, label.Pixel - fm.height() / 2, axis.LabelsFont,
                             label.Text);
            }
        }
        // A run of `length` pixels starting `from` pixels outside the edge, at pixel `at`
        // along the axis.
        const auto outward = [&](int at, int from, int length, TColor c) {
            if (length <= 0) return;
            if (horizontal)
                canvas_.Fill(at, edge + from, 1, length, c);
            else if (right)
                canvas_.Fill(edge + from, at, length, 1, c);
            else
                canvas_.Fill(edge - from - length + 1, at, length, 1, c);
        };
        if (lineWidth > 0) {
            const TColor c = axis.AxisPen.Color;
            const int lo = std::min(map.Start, map.End);
            const int len = std::abs(map.End - map.Start) + 1;
            if (horizontal)
                canvas_.Fill(lo, edge, len, lineWidth, c);
            else if (right)
                canvas_.Fill(edge, lo, lineWidth, len, c);
            else
                canvas_.Fill(edge - lineWidth + 1, lo, lineWidth, len, c);
        }
        if (axis.Ticks.Visible) {
            const TColor c = axis.Ticks.Color;
            for (const TAxisLabel& label : axis.LabelList())
                outward(label.Pixel, lineWidth, axis.TickLength, c);
        }
        if (axis.Grid.Visible) {
            std::vector<QPoint> dots;
            for (const TAxisLabel& label : axis.LabelList()) {
                const int at = label.Pixel;
                if (horizontal && at > plot.Left && at < plot.Right)
                    for (int y = plot.Top + 1; y < plot.Bottom; y += 2) dots.emplace_back(at, y);
                if (!horizontal && at > plot.Top && at < plot.Bottom)
                    for (int x = plot.Left + 1; x < plot.Right; x += 2) dots.emplace_back(x, at);
            }
            canvas_.Points(dots, axis.Grid.Color);
        }
        if (axis.MinorTicks.Visible) {
            const TColor c = axis.MinorTicks.Color;
            for (int at : axis.MinorTickList()) outward(at, lineWidth, axis.MinorTickLength, c);
        }
    }

    void DrawAxisTitle(const TChartAxis& axis) {
        const TChartFont& font = axis.Title.Font;
        const QFontMetrics& fm = measure_.Metrics(font);
        const QString text = QStringOf1251(axis.Title.Caption());
        const int w = fm.horizontalAdvance(text);
        const int centre = axis.Map().Centre();
        if (axis.Horizontal()) {
            canvas_.Text(QPoint(centre - w / 2, axis.PosTitle() + fm.ascent()), measure_.Font(font),
                         font.Color, text);
            return;
        }
        // Reading upwards, inside the band beyond the title position (left of it for the left
        // axis, right of it for the right axis).
        const int left = axis.OtherSide() ? axis.PosTitle() : axis.PosTitle() - fm.height();
        canvas_.TextUpwards(QPoint(left, centre + w / 2), fm.ascent(), measure_.Font(font),
                            font.Color, text);
    }

    void DrawMarker(const TSeriesPointer& ptr, int x, int y, TColor color) {
        if (color == clNone) return;
        const int h = ptr.HorizSize();
        const int v = ptr.VertSize();
        const TColor fill = ptr.Brush.Color == clSeriesDefault ? color : ptr.Brush.Color;
        const bool solid = ptr.Brush.Style == bsSolid;
        if (ptr.Pen.Visible && solid) {
            canvas_.Fill(x - h, y - v, 2 * h + 1, 2 * v + 1, ptr.Pen.Color);
            canvas_.Fill(x - h + 1, y - v + 1, 2 * h - 1, 2 * v - 1, fill);
        } else if (ptr.Pen.Visible) {
            canvas_.Frame(x - h, y - v, 2 * h + 1, 2 * v + 1, ptr.Pen.Color);
        } else if (solid) {
            canvas_.Fill(x - h, y - v, 2 * h + 1, 2 * v + 1, fill);
        }
    }

    void DrawLineSeries(const TLineSeries& s) {
        const int first = s.FirstVisible();
        const int last = std::min(s.LastVisible(), s.PointCount() - 1);
        if (first < 0 || last < first) return;
        const TAxisMap& hx = chart_.BottomAxis.Map();
        const TAxisMap& vy = chart_.VertAxisOf(s).Map();
        const TRect plot = chart_.PlotRect();
        const auto& xs = s.XValues.Raw();
        const auto& ys = s.YValues.Raw();
        const double mx = s.XValues.Multiplier;
        const double my = s.YValues.Multiplier;
        const bool pointer = s.Pointer.Visible;
        canvas_.BeginLines(s.LinePen, static_cast<std::size_t>(last - first + 2));
        QPoint prev;
        TColor prevColor = clNone;
        bool started = false;  // a point has been placed (points far off the axes are skipped)
        for (int i = first; i <= last; ++i) {
            const TColor c = s.PointColor(i);
            const int x = hx.ToPixel(xs[static_cast<std::size_t>(i)] * mx);
            const int y = vy.ToPixel(ys[static_cast<std::size_t>(i)] * my);
            if (x < -kCoordLimit || x > kCoordLimit || y < -kCoordLimit || y > kCoordLimit)
                continue;
            const QPoint here(x, y);
            if (!started) {
                started = true;
                if (i > 0 && c != clNone) {
                    // The line comes in from the point left of the plot.
                    const double edgeX = hx.ToValue(plot.Left);
                    const int edgeY = vy.ToPixel(s.InterpolatedY(i, edgeX));
                    canvas_.Line(QPoint(plot.Left, edgeY), here, c);
                }
                if (i == last && pointer) {
                    canvas_.FlushLines();
                    DrawMarker(s.Pointer, x, y, c);
                }
            } else {
                if (here != prev && c != clNone) canvas_.Line(prev, here, c);
                if (pointer) {
                    // Each marker goes over the segments on both its sides.
                    canvas_.FlushLines();
                    DrawMarker(s.Pointer, prev.x(), prev.y(), prevColor);
                    if (i == last) DrawMarker(s.Pointer, x, y, c);
                }
            }
            prev = here;
            prevColor = c;
        }
        canvas_.FlushLines();
    }

    void DrawBarSeries(const TBarSeries& s) {
        const int first = s.FirstVisible();
        const int last = std::min(s.LastVisible(), s.PointCount() - 1);
        if (first < 0 || last < first) return;
        for (int i = first; i <= last; ++i) {
            const TColor c = s.PointColor(i);
            if (c == clNone) continue;
            const TBarSeries::TBarBounds b = s.BarBounds(i);
            const int top = std::min(b.Top, b.Origin);
            const int bottom = std::max(b.Top, b.Origin);
            const int w = b.Right - b.Left;
            const int h = bottom - top;
            if (w <= 0 || h <= 0) {
                // Flat bars are drawn as a line in the point's colour.
                canvas_.Fill(b.Left, top, std::max(w, 1), std::max(h, 1), c);
                continue;
            }
            const TColor fill = s.BarBrush.Color == clSeriesDefault ? c : s.BarBrush.Color;
            if (s.BarBrush.Style == bsSolid && s.BarPen.Visible && w > 2 && h > 2) {
                canvas_.Fill(b.Left, top, w, h, s.BarPen.Color);
                canvas_.Fill(b.Left + 1, top + 1, w - 2, h - 2, fill);
            } else {
                if (s.BarBrush.Style == bsSolid) canvas_.Fill(b.Left, top, w, h, fill);
                if (s.BarPen.Visible) canvas_.Frame(b.Left, top, w, h, s.BarPen.Color);
            }
        }
    }

    TCustomChart& chart_;
    TRasterCanvas& canvas_;
    const TQtTextMeasure& measure_;
};

}  // namespace

void PaintChart(TCustomChart& chart, QPainter& painter, int width, int height,
                const TQtTextMeasure& measure) {
    TRasterCanvas canvas(painter);
    TChartPainter(chart, canvas, measure).Paint(width, height);
}

}  // namespace orvix
