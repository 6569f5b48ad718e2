#include "result_pictures.h"

#include <QPainter>

#include "charts/chart_painter.h"
#include "plots/result_charts.h"
#include "plots/result_plots.h"

namespace orvix {

TResultPictures::TResultPictures() {
    TSearchTimeChart chart;
    chartColor_ = chart.Color;
    const QImage rendered = chart.RenderImage();
    leftAt_ = chart.sbLeftSel->pos();
    rightAt_ = chart.sbRightSel->pos();
    leftArrow_ = rendered.copy(chart.sbLeftSel->geometry());
    rightArrow_ = rendered.copy(chart.sbRightSel->geometry());
}

QImage TResultPictures::Tempo(TCustomChart& chart, const TQtTextMeasure& measure) const {
    // As the widget renders: the image starts black, the chart paints all of it.
    QImage image(kResultChartWidth, kResultChartHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    PaintChart(chart, painter, kResultChartWidth, kResultChartHeight, measure);
    return image;
}

QImage TResultPictures::Search(TCustomChart& chart, const TQtTextMeasure& measure) const {
    QImage image = Tempo(chart, measure);
    QPainter painter(&image);
    painter.drawImage(leftAt_, leftArrow_);
    painter.drawImage(rightAt_, rightArrow_);
    return image;
}

}  // namespace orvix
