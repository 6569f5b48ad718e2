// The raster back end of chart painting. A chart is mostly small rectangles (markers, bars,
// ticks) and one-pixel lines; on a plain 32-bit image these are written straight into its
// memory, clipped as the painter would clip them. Everything else, and every device that is
// not such an image, goes through the painter.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstddef>
#include <vector>

#include "chart_types.h"

class QImage;

namespace orvix {

// Restores a painter's state however the scope is left.
class TPainterStateGuard {
  public:
    explicit TPainterStateGuard(QPainter& painter) : painter_(painter) { painter_.save(); }
    ~TPainterStateGuard() { painter_.restore(); }
    TPainterStateGuard(const TPainterStateGuard&) = delete;
    TPainterStateGuard& operator=(const TPainterStateGuard&) = delete;

  private:
    QPainter& painter_;
};

class TRasterCanvas {
  public:
    // Paints with `painter`, antialiasing off; the painter's state comes back as it was when
    // the canvas goes. Direct writes are used when the painter draws on an RGB32 (or
    // premultiplied ARGB32) image at scale 1, untransformed and unclipped.
    explicit TRasterCanvas(QPainter& painter);
    TRasterCanvas(const TRasterCanvas&) = delete;
    TRasterCanvas& operator=(const TRasterCanvas&) = delete;

    bool Direct() const noexcept { return image_ != nullptr; }

    // The w x h pixels at (x, y); nothing when either size is not positive.
    void Fill(int x, int y, int w, int h, TColor color);
    // The 1-pixel outline of the w x h pixels at (x, y).
    void Frame(int x, int y, int w, int h, TColor color);
    // Single pixels.
    void Points(const std::vector<QPoint>& points, TColor color);
    // Text with the left end of its baseline at `origin`.
    void Text(QPoint origin, const QFont& font, TColor color, const QString& text);
    // Text reading upwards, turned by 90 degrees about `corner`: the text box's top left
    // corner before turning. Its baseline lies `baseline` pixels right of `corner`.
    void TextUpwards(QPoint corner, int baseline, const QFont& font, TColor color,
                     const QString& text);

    // Lines of one pen, each segment in its own colour. Joined segments of one colour go to
    // the painter as one polyline, so a dashed line keeps its pattern from segment to segment;
    // a solid one-pixel pen on a direct image is drawn straight into it instead, both end
    // pixels included. Segments wait for FlushLines (or the next change of colour or a gap).
    void BeginLines(const TChartPen& pen, std::size_t expectedPoints = 0);
    void Line(QPoint from, QPoint to, TColor color);
    void FlushLines();

    // Painter and canvas state of one scope: a clip set within it ends with it.
    class TScope {
      public:
        explicit TScope(TRasterCanvas& canvas);
        ~TScope();
        TScope(const TScope&) = delete;
        TScope& operator=(const TScope&) = delete;

      private:
        TRasterCanvas& canvas_;
        TPainterStateGuard guard_;
        QRect limit_;
    };
    // Limits all drawing to `clip`, until the enclosing scope ends.
    void SetClip(const QRect& clip);

  private:
    void DirectLine(QPoint from, QPoint to, TColor color);
    // Pen changes are costly: the line pen is set only when its colour changes.
    void UseLinePen(TColor color);

    QPainter& p_;
    TPainterStateGuard guard_;
    QImage* image_ = nullptr;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    QRect bounds_;
    QRect limit_;  // the pixels direct writes may touch: the image's, within the clip

    TChartPen linePen_;
    bool plainLine_ = false;     // solid, one pixel: drawn directly when possible
    std::vector<QPoint> batch_;  // the polyline waiting to be drawn
    TColor batchColor_ = clNone;
    TColor penColor_ = clNone;  // the line pen the painter holds,
    bool penSet_ = false;       // when this is set
};

}  // namespace orvix
