// Painting a chart with QPainter: title and foot, back wall, axes with labels, ticks and grid,
// then the series, with antialiasing off so every pixel follows the layout's rules.
#pragma once

#include "custom_chart.h"
#include "qt_text_measure.h"

class QPainter;

namespace orvix {

// Lays `chart` out for a client area of width x height and paints it.
void PaintChart(TCustomChart& chart, QPainter& painter, int width, int height,
                const TQtTextMeasure& measure);

}  // namespace orvix
