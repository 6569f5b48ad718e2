#include "chart.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace orvix {

TChart::TChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    Color = FromQColor(palette().color(QPalette::Button));
}

TChart::~TChart() = default;

void TChart::Invalidate() {
    TCustomChart::Invalidate();
    update();
}

void TChart::RepaintNow() {
    TCustomChart::RepaintNow();
    if (isVisible())
        repaint();
    else
        PaintBuffer();
}

void TChart::PaintTo(QPainter& painter, int width, int height) {
    PaintChart(*this, painter, width, height, measure_);
    ++paintCount_;
    ClearRepaintMark();
}

void TChart::PaintBuffer() {
    if (buffer_.size() != size()) buffer_ = QImage(size(), QImage::Format_RGB32);
    if (buffer_.isNull()) return;
    QPainter painter(&buffer_);
    PaintTo(painter, width(), height());
}

void TChart::paintEvent(QPaintEvent* /*event*/) {
    PaintBuffer();
    QPainter painter(this);
    painter.drawImage(0, 0, buffer_);
}

void TChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseMoved(p.x(), p.y());
    QWidget::mouseMoveEvent(event);
}

QImage TChart::RenderImage() {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}

}  // namespace orvix
