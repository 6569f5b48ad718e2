#include "result_charts.h"

#include <QPainter>

namespace orvix {

TChartArea::TChartArea(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TChartArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TResultCharts::ClearSeries() {
    chart5sec_->update();
    chartSel_->update();
}

}  // namespace orvix
