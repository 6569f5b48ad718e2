#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace orvix::pictures {
namespace {

QPixmap Draw(int size, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);  // pictures are drawn on a 16 x 16 grid
    paint(painter);
    return pixmap;
}

QIcon Icon(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    icon.addPixmap(Draw(16, paint));
    icon.addPixmap(Draw(32, paint));
    return icon;
}

void Ring(QPainter& p) {
    // A ring whose gap points at 3 o'clock.
    p.setPen(QPen(QColor(0, 0, 128), 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(2, 2, 12, 12), 25 * 16, 310 * 16);
    p.setPen(QPen(QColor(0, 128, 0), 1.2));
    p.drawLine(QPointF(13.5, 8), QPointF(15.5, 8));
}

}  // namespace

QPixmap ProgramPicture(int size) {
    return Draw(size, Ring);
}

QIcon ProgramIcon() {
    return Icon(Ring);
}

QIcon DataIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(128, 96, 0), 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(1.5, 4.5, 12, 9));
        p.drawRect(QRectF(1.5, 3, 5, 1.5));
        p.setBrush(QColor(255, 228, 128));
        QPainterPath front;
        front.moveTo(1.5, 13.5);
        front.lineTo(4, 7.5);
        front.lineTo(15.5, 7.5);
        front.lineTo(13.5, 13.5);
        front.closeSubpath();
        p.drawPath(front);
    });
}

QIcon ChartSelectIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
        p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
        p.setPen(Qt::NoPen);
        const QPointF green[] = {{4, 10}, {7, 6}, {10, 8}, {13, 4}};
        p.setBrush(QColor(0, 128, 0));
        for (const QPointF& c : green) p.drawRect(QRectF(c.x() - 1.5, c.y() - 1.5, 3, 3));
        p.setBrush(QColor(255, 0, 0));
        p.drawRect(QRectF(10, 11, 3, 3));
    });
}

QIcon Chart5secIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
        p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 0, 0));
        p.drawRect(QRectF(3, 10, 2.5, 4));
        p.drawRect(QRectF(9, 12, 2.5, 2));
        p.setPen(QPen(QColor(0, 128, 0), 1.4));
        p.drawPolyline(QPolygonF({{3, 7}, {6, 4}, {9, 8}, {12, 5}, {15, 6}}));
        p.setPen(QPen(QColor(0, 0, 255), 1));
        p.drawLine(QPointF(2, 6.5), QPointF(15, 6.5));
    });
}

QIcon SaveIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(0, 0, 64), 1));
        p.setBrush(QColor(40, 60, 140));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4, 9.5, 8, 5));
    });
}

QIcon ArchiveIcon() {
    return Icon([](QPainter& p) {
        // Cards standing in an open drawer, seen from the front.
        p.setPen(QPen(QColor(96, 96, 96), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 9, 8));
        p.drawRect(QRectF(2.5, 3.5, 11, 7));
        p.setPen(QPen(QColor(90, 60, 20), 1));
        p.setBrush(QColor(190, 140, 70));
        p.drawRect(QRectF(0.5, 7.5, 15, 7));
        p.setBrush(QColor(240, 220, 170));
        p.drawRect(QRectF(6, 10, 4, 2));
    });
}

}  // namespace orvix::pictures
