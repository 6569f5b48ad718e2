#include "chart_painter.h"

#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>
#include <algorithm>
#include <vector>

#include "base/cp1251.h"

namespace orvix {

QColor ToQColor(TColor color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

TColor FromQColor(const QColor& color) {
    return RGBColor(color.red(), color.green(), color.blue());
}

QFont ToQFont(const TChartFont& font) {
    QFont f(QString::fromStdString(font.Name));
    f.setPixelSize(std::max(1, font.Height));
    f.setBold(font.Bold);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QString QStringOf1251(std::string_view text1251) {
    bool ascii = true;
    for (char c : text1251)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    if (ascii) return QString::fromLatin1(text1251.data(), static_cast<qsizetype>(text1251.size()));
    return QString::fromStdString(Cp1251ToUtf8(text1251));
}

const QFontMetrics& TQtTextMeasure::Metrics(const TChartFont& font) const {
    for (const Entry& e : cache_)
        if (e.key.Name == font.Name && e.key.Height == font.Height && e.key.Bold == font.Bold)
            return e.metrics;
    QFont f = ToQFont(font);
    cache_.push_back(Entry{font, f, QFontMetrics(f)});
    return cache_.back().metrics;
}

const QFont& TQtTextMeasure::Font(const TChartFont& font) const {
    Metrics(font);
    for (const Entry& e : cache_)
        if (e.key.Name == font.Name && e.key.Height == font.Height && e.key.Bold == font.Bold)
            return e.font;
    return cache_.back().font;
}

int TQtTextMeasure::TextWidth(const TChartFont& font, std::string_view text) const {
    return Metrics(font).horizontalAdvance(QStringOf1251(text));
}

int TQtTextMeasure::TextHeight(const TChartFont& font) const {
    return Metrics(font).height();
}

namespace {

// Restores the painter's state however the scope is left.
class PainterStateGuard {
  public:
    explicit PainterStateGuard(QPainter& painter) : painter_(painter) { painter_.save(); }
    ~PainterStateGuard() { painter_.restore(); }
    PainterStateGuard(const PainterStateGuard&) = delete;
    PainterStateGuard& operator=(const PainterStateGuard&) = delete;

  private:
    QPainter& painter_;
};

constexpr int kCoordLimit = 32766;

class ChartPainter {
  public:
    ChartPainter(TCustomChart& chart, QPainter& painter, const TQtTextMeasure& measure)
        : chart_(chart), p_(painter), measure_(measure) {
        QPaintDevice* device = painter.device();
        if (device && device->devType() == QInternal::Image && painter.transform().isIdentity() &&
            !painter.hasClipping()) {
            auto* image = static_cast<QImage*>(device);
            const auto format = image->format();
            if (image->devicePixelRatio() == 1 &&
                (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied)) {
                direct_ = image;
                bits_ = image->bits();
                stride_ = image->bytesPerLine();
                bounds_ = image->rect();
            }
        }
    }

    void Paint(int width, int height) {
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setRenderHint(QPainter::TextAntialiasing, false);
        Fill(0, 0, width, height, chart_.Color);
        DrawBevel(width, height);
        chart_.CalcLayout(width, height, measure_);
        const TChartLayout& layout = chart_.Layout();
        DrawLines(layout.TitleLines, chart_.Title.Font);
        DrawLines(layout.FootLines, chart_.Foot.Font);
        DrawBackWall();
        for (const TChartAxis* axis : {&chart_.BottomAxis, &chart_.LeftAxis})
            if (axis->Shown()) DrawAxis(*axis);
        for (int i = 0; i < chart_.SeriesCount(); ++i) {
            const TChartSeries& s = *chart_.Series(i);
            if (!s.Active()) continue;
            PainterStateGuard guard(p_);
            if (chart_.ClipPoints) {
                // Inside the back wall's frame, less one more row at the bottom.
                const TRect r = chart_.PlotRect();
                SetClip(QRect(r.Left + 1, r.Top + 1, r.Width() - 1, r.Height() - 2));
            }
            penSet_ = false;
            if (const auto* line = dynamic_cast<const TLineSeries*>(&s))
                DrawLineSeries(*line);
            else if (const auto* bars = dynamic_cast<const TBarSeries*>(&s))
                DrawBarSeries(*bars);
            clipping_ = false;
        }
    }

  private:
    // Rectangle fills are most of a chart's primitives (markers, bars, ticks). On a 32-bit
    // raster image they are written straight into its memory, clipped as the painter would.
    void Fill(int x, int y, int w, int h, TColor color) {
        if (w <= 0 || h <= 0) return;
        // Large areas go to the painter's own block fill, which is faster on whole rows.
        if (!direct_ || static_cast<long long>(w) * h > 4096) {
            p_.fillRect(x, y, w, h, ToQColor(color));
            return;
        }
        QRect r = QRect(x, y, w, h) & bounds_;
        if (clipping_) r &= clip_;
        if (r.isEmpty()) return;
        const QRgb value = qRgb(RedOf(color), GreenOf(color), BlueOf(color));
        for (int row = r.top(); row <= r.bottom(); ++row) {
            QRgb* line = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(row) * stride_);
            std::fill_n(line + r.left(), r.width(), value);
        }
    }

    void SetClip(const QRect& clip) {
        p_.setClipRect(clip);
        clip_ = clip;
        clipping_ = true;
    }

    // The 1-pixel outline of the w x h pixels at (x, y).
    void Frame(int x, int y, int w, int h, TColor c) {
        Fill(x, y, w, 1, c);
        Fill(x, y + h - 1, w, 1, c);
        Fill(x, y, 1, h, c);
        Fill(x + w - 1, y, 1, h, c);
    }

    void DrawBevel(int width, int height) {
        const TColor light = clWhite;
        const TColor shadow = RGBColor(160, 160, 160);
        Fill(0, 0, width, 1, light);
        Fill(0, 0, 1, height, light);
        Fill(0, height - 1, width, 1, shadow);
        Fill(width - 1, 0, 1, height, shadow);
    }

    void DrawText(int x, int top, const TChartFont& font, const std::string& text) {
        p_.setFont(measure_.Font(font));
        p_.setPen(ToQColor(font.Color));
        p_.drawText(QPoint(x, top + measure_.Metrics(font).ascent()), QStringOf1251(text));
    }

    void DrawLines(const std::vector<TTextPlace>& lines, const TChartFont& font) {
        for (const TTextPlace& line : lines) DrawText(line.X, line.Top, font, line.Text);
    }

    void DrawBackWall() {
        const TRect r = chart_.PlotRect();
        const TChartWall& wall = chart_.BackWall;
        if (wall.Brush.Style == bsSolid) {
            const TColor c = wall.Color == clSeriesDefault ? clWhite : wall.Color;
            Fill(r.Left, r.Top, r.Width() + 1, r.Height() + 1, c);
        }
        if (wall.Pen.Visible) Frame(r.Left, r.Top, r.Width() + 1, r.Height() + 1, wall.Pen.Color);
    }

    // Axis pieces outside the plot run away from it: downwards for the bottom axis, to the
    // left for the left axis. The axis line covers the plot's edge pixel and the ones beyond
    // it; the ticks start right after the line, so line and ticks fill the tick band.
    void DrawAxis(const TChartAxis& axis) {
        const bool horizontal = axis.Horizontal();
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
                Fill(at, edge + from, 1, length, c);
            else
                Fill(edge - from - length + 1, at, length, 1, c);
        };
        if (lineWidth > 0) {
            const TColor c = axis.AxisPen.Color;
            const int lo = std::min(map.Start, map.End);
            const int len = std::abs(map.End - map.Start) + 1;
            if (horizontal)
                Fill(lo, edge, len, lineWidth, c);
            else
                Fill(edge - lineWidth + 1, lo, lineWidth, len, c);
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
            p_.setPen(QPen(ToQColor(axis.Grid.Color), 0));
            p_.drawPoints(dots.data(), static_cast<int>(dots.size()));
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
        p_.setFont(measure_.Font(font));
        p_.setPen(ToQColor(font.Color));
        if (axis.Horizontal()) {
            p_.drawText(QPoint(centre - w / 2, axis.PosTitle() + fm.ascent()), text);
            return;
        }
        // Turned by 90 degrees, reading upwards, inside the band left of the title position.
        PainterStateGuard guard(p_);
        p_.translate(axis.PosTitle() - fm.height(), centre + w / 2);
        p_.rotate(-90);
        p_.drawText(QPoint(0, fm.ascent()), text);
    }

    QPen LinePen(const TChartPen& pen, TColor color) const {
        if (!pen.Visible || pen.Style == psClear) return QPen(Qt::NoPen);
        QPen q(ToQColor(color));
        q.setWidth(std::max(1, pen.Width));
        q.setCosmetic(true);
        q.setCapStyle(Qt::FlatCap);
        switch (pen.Style) {
            case psDash:
                q.setStyle(Qt::DashLine);
                break;
            case psDot:
                q.setStyle(Qt::DotLine);
                break;
            case psDashDot:
                q.setStyle(Qt::DashDotLine);
                break;
            case psDashDotDot:
                q.setStyle(Qt::DashDotDotLine);
                break;
            default:
                q.setStyle(Qt::SolidLine);
                break;
        }
        return q;
    }

    void DrawMarker(const TSeriesPointer& ptr, int x, int y, TColor color) {
        if (color == clNone) return;
        const int h = ptr.HorizSize();
        const int v = ptr.VertSize();
        const TColor fill = ptr.Brush.Color == clSeriesDefault ? color : ptr.Brush.Color;
        const bool solid = ptr.Brush.Style == bsSolid;
        if (ptr.Pen.Visible && solid) {
            Fill(x - h, y - v, 2 * h + 1, 2 * v + 1, ptr.Pen.Color);
            Fill(x - h + 1, y - v + 1, 2 * h - 1, 2 * v - 1, fill);
        } else if (ptr.Pen.Visible) {
            Frame(x - h, y - v, 2 * h + 1, 2 * v + 1, ptr.Pen.Color);
        } else if (solid) {
            Fill(x - h, y - v, 2 * h + 1, 2 * v + 1, fill);
        }
    }

    // Joined segments of one colour are sent to the painter as one polyline, so a dashed
    // line keeps its pattern from segment to segment.
    struct LineBatch {
        std::vector<QPoint> points;
        TColor color = clNone;
    };

    // Pen changes are costly: the pen is set only when its colour changes.
    void UsePen(const TChartPen& pen, TColor color) {
        if (penSet_ && penColor_ == color) return;
        p_.setPen(LinePen(pen, color));
        penColor_ = color;
        penSet_ = true;
    }

    void Flush(LineBatch& batch, const TChartPen& pen) {
        if (batch.points.size() >= 2) {
            UsePen(pen, batch.color);
            p_.drawPolyline(batch.points.data(), static_cast<int>(batch.points.size()));
        }
        batch.points.clear();
    }

    // A solid one-pixel line (both end pixels included) written straight into the image, so
    // per-point colours cost no pen changes.
    void DirectLine(QPoint from, QPoint to, TColor color) {
        QRect limit = bounds_;
        if (clipping_) limit &= clip_;
        int x = from.x();
        int y = from.y();
        const int x1 = to.x();
        const int y1 = to.y();
        if ((x < limit.left() && x1 < limit.left()) || (x > limit.right() && x1 > limit.right()) ||
            (y < limit.top() && y1 < limit.top()) || (y > limit.bottom() && y1 > limit.bottom()))
            return;
        const QRgb value = qRgb(RedOf(color), GreenOf(color), BlueOf(color));
        const int dx = std::abs(x1 - x);
        const int dy = -std::abs(y1 - y);
        const int sx = x < x1 ? 1 : -1;
        const int sy = y < y1 ? 1 : -1;
        int err = dx + dy;
        const int left = limit.left();
        const int right = limit.right();
        const int top = limit.top();
        const int bottom = limit.bottom();
        for (;;) {
            if (x >= left && x <= right && y >= top && y <= bottom)
                reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_)[x] = value;
            if (x == x1 && y == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }

    static bool PlainPen(const TChartPen& pen) {
        return pen.Visible && pen.Style == psSolid && pen.Width <= 1;
    }

    void AddSegment(LineBatch& batch, const TChartPen& pen, QLine line, TColor color) {
        if (direct_ && PlainPen(pen)) {
            DirectLine(line.p1(), line.p2(), color);
            return;
        }
        if (color != batch.color || batch.points.empty() || batch.points.back() != line.p1()) {
            Flush(batch, pen);
            batch.color = color;
            batch.points.push_back(line.p1());
        }
        batch.points.push_back(line.p2());
    }

    void DrawLineSeries(const TLineSeries& s) {
        const int first = s.FirstVisible();
        const int last = std::min(s.LastVisible(), s.PointCount() - 1);
        if (first < 0 || last < first) return;
        const TAxisMap& hx = chart_.BottomAxis.Map();
        const TAxisMap& vy = chart_.LeftAxis.Map();
        const TRect plot = chart_.PlotRect();
        const auto& xs = s.XValues.Raw();
        const auto& ys = s.YValues.Raw();
        const double mx = s.XValues.Multiplier;
        const double my = s.YValues.Multiplier;
        const bool pointer = s.Pointer.Visible;
        LineBatch batch;
        batch.points.reserve(static_cast<std::size_t>(last - first + 2));
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
                    AddSegment(batch, s.LinePen, QLine(plot.Left, edgeY, x, y), c);
                }
                if (i == last && pointer) {
                    Flush(batch, s.LinePen);
                    DrawMarker(s.Pointer, x, y, c);
                }
            } else {
                if (here != prev && c != clNone) AddSegment(batch, s.LinePen, QLine(prev, here), c);
                if (pointer) {
                    // Each marker goes over the segments on both its sides.
                    Flush(batch, s.LinePen);
                    DrawMarker(s.Pointer, prev.x(), prev.y(), prevColor);
                    if (i == last) DrawMarker(s.Pointer, x, y, c);
                }
            }
            prev = here;
            prevColor = c;
        }
        Flush(batch, s.LinePen);
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
                Fill(b.Left, top, std::max(w, 1), std::max(h, 1), c);
                continue;
            }
            const TColor fill = s.BarBrush.Color == clSeriesDefault ? c : s.BarBrush.Color;
            if (s.BarBrush.Style == bsSolid && s.BarPen.Visible && w > 2 && h > 2) {
                Fill(b.Left, top, w, h, s.BarPen.Color);
                Fill(b.Left + 1, top + 1, w - 2, h - 2, fill);
            } else {
                if (s.BarBrush.Style == bsSolid) Fill(b.Left, top, w, h, fill);
                if (s.BarPen.Visible) Frame(b.Left, top, w, h, s.BarPen.Color);
            }
        }
    }

    TCustomChart& chart_;
    QPainter& p_;
    const TQtTextMeasure& measure_;
    QImage* direct_ = nullptr;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    QRect bounds_;
    QRect clip_;
    bool clipping_ = false;
    TColor penColor_ = clNone;
    bool penSet_ = false;
};

}  // namespace

void PaintChart(TCustomChart& chart, QPainter& painter, int width, int height,
                const TQtTextMeasure& measure) {
    PainterStateGuard guard(painter);
    ChartPainter(chart, painter, measure).Paint(width, height);
}

}  // namespace orvix
