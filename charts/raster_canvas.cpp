#include "raster_canvas.h"

#include <QImage>
#include <QPen>
#include <algorithm>
#include <cstdlib>

#include "qt_text_measure.h"

namespace orvix {

namespace {

QPen LinePen(const TChartPen& pen, TColor color) {
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

QRgb RgbOf(TColor color) {
    return qRgb(RedOf(color), GreenOf(color), BlueOf(color));
}

}  // namespace

TRasterCanvas::TRasterCanvas(QPainter& painter) : p_(painter), guard_(painter) {
    QPaintDevice* device = painter.device();
    if (device && device->devType() == QInternal::Image && painter.transform().isIdentity() &&
        !painter.hasClipping()) {
        auto* image = static_cast<QImage*>(device);
        const auto format = image->format();
        if (image->devicePixelRatio() == 1 &&
            (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied)) {
            image_ = image;
            bits_ = image->bits();
            stride_ = image->bytesPerLine();
            bounds_ = image->rect();
            limit_ = bounds_;
        }
    }
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setRenderHint(QPainter::TextAntialiasing, false);
}

void TRasterCanvas::Fill(int x, int y, int w, int h, TColor color) {
    if (w <= 0 || h <= 0) return;
    // Large areas go to the painter's own block fill, which is faster on whole rows.
    if (!image_ || static_cast<long long>(w) * h > 4096) {
        p_.fillRect(x, y, w, h, ToQColor(color));
        return;
    }
    const int left = std::max(x, limit_.left());
    const int right = std::min(x + w - 1, limit_.right());
    const int top = std::max(y, limit_.top());
    const int bottom = std::min(y + h - 1, limit_.bottom());
    if (left > right || top > bottom) return;
    const QRgb value = RgbOf(color);
    uchar* row = bits_ + static_cast<qsizetype>(top) * stride_;
    for (int i = top; i <= bottom; ++i, row += stride_)
        std::fill_n(reinterpret_cast<QRgb*>(row) + left, right - left + 1, value);
}

void TRasterCanvas::Frame(int x, int y, int w, int h, TColor color) {
    Fill(x, y, w, 1, color);
    Fill(x, y + h - 1, w, 1, color);
    Fill(x, y, 1, h, color);
    Fill(x + w - 1, y, 1, h, color);
}

void TRasterCanvas::Points(const std::vector<QPoint>& points, TColor color) {
    p_.setPen(QPen(ToQColor(color), 0));
    penSet_ = false;
    p_.drawPoints(points.data(), static_cast<int>(points.size()));
}

void TRasterCanvas::Text(QPoint origin, const QFont& font, TColor color, const QString& text) {
    p_.setFont(font);
    p_.setPen(ToQColor(color));
    penSet_ = false;
    p_.drawText(origin, text);
}

void TRasterCanvas::TextUpwards(QPoint corner, int baseline, const QFont& font, TColor color,
                                const QString& text) {
    p_.setFont(font);
    p_.setPen(ToQColor(color));
    penSet_ = false;
    TPainterStateGuard guard(p_);
    p_.translate(corner);
    p_.rotate(-90);
    p_.drawText(QPoint(0, baseline), text);
}

void TRasterCanvas::BeginLines(const TChartPen& pen, std::size_t expectedPoints) {
    linePen_ = pen;
    plainLine_ = pen.Visible && pen.Style == psSolid && pen.Width <= 1;
    batch_.clear();
    batch_.reserve(expectedPoints);
    batchColor_ = clNone;
    penSet_ = false;
}

void TRasterCanvas::Line(QPoint from, QPoint to, TColor color) {
    if (image_ && plainLine_) {
        DirectLine(from, to, color);
        return;
    }
    if (color != batchColor_ || batch_.empty() || batch_.back() != from) {
        FlushLines();
        batchColor_ = color;
        batch_.push_back(from);
    }
    batch_.push_back(to);
}

void TRasterCanvas::FlushLines() {
    if (batch_.size() >= 2) {
        UseLinePen(batchColor_);
        p_.drawPolyline(batch_.data(), static_cast<int>(batch_.size()));
    }
    batch_.clear();
}

void TRasterCanvas::UseLinePen(TColor color) {
    if (penSet_ && penColor_ == color) return;
    p_.setPen(LinePen(linePen_, color));
    penColor_ = color;
    penSet_ = true;
}

// Bresenham's line. A line lies within the box of its two ends, so when both are inside the
// limit no pixel needs a check; otherwise pixels outside are skipped one by one.
void TRasterCanvas::DirectLine(QPoint from, QPoint to, TColor color) {
    int x = from.x();
    int y = from.y();
    const int x1 = to.x();
    const int y1 = to.y();
    const int left = limit_.left();
    const int right = limit_.right();
    const int top = limit_.top();
    const int bottom = limit_.bottom();
    if ((x < left && x1 < left) || (x > right && x1 > right) || (y < top && y1 < top) ||
        (y > bottom && y1 > bottom))
        return;
    const QRgb value = RgbOf(color);
    const int dx = std::abs(x1 - x);
    const int dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    if (limit_.contains(from) && limit_.contains(to)) {
        const qsizetype rowStep = sy * (stride_ / static_cast<qsizetype>(sizeof(QRgb)));
        QRgb* at = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_) + x;
        for (;;) {
            *at = value;
            if (x == x1 && y == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
                at += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
                at += rowStep;
            }
        }
        return;
    }
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

TRasterCanvas::TScope::TScope(TRasterCanvas& canvas)
    : canvas_(canvas), guard_(canvas.p_), limit_(canvas.limit_) {}

TRasterCanvas::TScope::~TScope() {
    // The painter's restore (guard_, after this body) brings back its earlier pen.
    canvas_.limit_ = limit_;
    canvas_.penSet_ = false;
}

void TRasterCanvas::SetClip(const QRect& clip) {
    p_.setClipRect(clip);
    limit_ = bounds_ & clip;
}

}  // namespace orvix
