#include "curve_legend.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "charts/qt_text_measure.h"

namespace orvix {
namespace {

Qt::PenStyle ToQtStyle(TPenStyle style) {
    switch (style) {
        case psSolid:
            return Qt::SolidLine;
        case psDash:
            return Qt::DashLine;
        case psDot:
            return Qt::DotLine;
        case psDashDot:
            return Qt::DashDotLine;
        case psDashDotDot:
            return Qt::DashDotDotLine;
        case psClear:
            return Qt::NoPen;
    }
    return Qt::SolidLine;
}

// Sizes of one legend in one font: the mark's height, the line mark's length, the gaps.
struct TLegendMetrics {
    explicit TLegendMetrics(const QFont& font) : fm(font) {
        mark = fm.ascent() * 0.8;
        lineLength = mark * 3;
        textGap = mark * 0.6;
        entryGap = mark * 2;
        rowHeight = fm.lineSpacing() * 1.3;
    }
    double MarkWidth(const TLegendEntry& e) const {
        return e.Mark == TLegendEntry::TMark::Bar ? mark : lineLength;
    }
    double EntryWidth(const TLegendEntry& e) const {
        return MarkWidth(e) + textGap + fm.horizontalAdvance(QString::fromStdString(e.Text));
    }
    QFontMetricsF fm;
    double mark, lineLength, textGap, entryGap, rowHeight;
};

// Calls place(entry, x, rowTop) for each entry as the rows wrap at `width`; returns the rows.
template <typename Place>
int FlowEntries(const std::vector<TLegendEntry>& entries, const TLegendMetrics& m, double width,
                Place place) {
    if (entries.empty()) return 0;
    int rows = 1;
    double x = 0;
    for (const TLegendEntry& e : entries) {
        const double w = m.EntryWidth(e);
        if (x > 0 && x + w > width) {
            ++rows;
            x = 0;
        }
        place(e, x, (rows - 1) * m.rowHeight);
        x += w + m.entryGap;
    }
    return rows;
}

void PaintMark(QPainter& painter, const TLegendEntry& e, const TLegendMetrics& m, double x,
               double midY) {
    const QColor color = ToQColor(e.Color);
    if (e.Mark == TLegendEntry::TMark::Bar) {
        const QRectF box(x, midY - m.mark / 2, m.mark, m.mark);
        painter.fillRect(box, color);
        QPen frame(Qt::black);
        frame.setWidthF(std::max(0.5, m.mark / 12));
        painter.setPen(frame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
        return;
    }
    QPen pen(color);
    pen.setWidthF(std::max(1.0, e.Width * m.mark / 7));
    pen.setStyle(ToQtStyle(e.Style));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(x, midY), QPointF(x + m.lineLength, midY));
    if (!e.Marker) return;
    const double side = m.mark * 0.7;
    const QRectF box(x + (m.lineLength - side) / 2, midY - side / 2, side, side);
    QPen outline(e.HollowMarker ? color : QColor(Qt::black));
    outline.setWidthF(std::max(1.0, m.mark / 8));
    painter.setPen(outline);
    painter.setBrush(e.HollowMarker ? QBrush(Qt::white) : QBrush(color));
    painter.drawRect(box);
}

}  // namespace

double LegendHeight(const std::vector<TLegendEntry>& entries, const QFont& font, double width) {
    const TLegendMetrics m(font);
    return FlowEntries(entries, m, width, [](const TLegendEntry&, double, double) {}) * m.rowHeight;
}

void PaintLegend(QPainter& painter, const QRectF& place, const std::vector<TLegendEntry>& entries,
                 const QFont& font) {
    const TLegendMetrics m(font);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(font);
    FlowEntries(entries, m, place.width(), [&](const TLegendEntry& e, double x, double top) {
        const double left = place.left() + x;
        const double midY = place.top() + top + m.rowHeight / 2;
        PaintMark(painter, e, m, left, midY);
        painter.setPen(Qt::black);
        const double textX = left + m.MarkWidth(e) + m.textGap;
        painter.drawText(QPointF(textX, midY + (m.fm.ascent() - m.fm.descent()) / 2),
                         QString::fromStdString(e.Text));
    });
    painter.restore();
}

TLegendStrip::TLegendStrip(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TLegendStrip::SetEntries(std::vector<TLegendEntry> entries) {
    entries_ = std::move(entries);
    updateGeometry();
    update();
}

int TLegendStrip::heightForWidth(int width) const {
    return static_cast<int>(std::ceil(LegendHeight(entries_, font(), width - 8))) + 4;
}

QSize TLegendStrip::sizeHint() const {
    const int w = std::max(width(), 400);
    return QSize(w, heightForWidth(w));
}

void TLegendStrip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    PaintLegend(painter, QRectF(4, 2, width() - 8, height() - 4), entries_, font());
}

}  // namespace orvix
