// Painting a chart with QPainter: title and foot, back wall, axes with labels, ticks and grid,
// then the series, with antialiasing off so every pixel follows the layout's rules.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <deque>
#include <string_view>

#include "custom_chart.h"

class QPainter;

namespace orvix {

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
// The Qt font of a chart font: pixel-sized, not antialiased.
QFont ToQFont(const TChartFont& font);
// A Windows-1251 text for painting.
QString QStringOf1251(std::string_view text1251);

// Text measurement with Qt's font metrics; keeps the metrics of the fonts it has seen.
class TQtTextMeasure : public TTextMeasure {
  public:
    int TextWidth(const TChartFont& font, std::string_view text) const override;
    int TextHeight(const TChartFont& font) const override;
    const QFontMetrics& Metrics(const TChartFont& font) const;
    const QFont& Font(const TChartFont& font) const;

  private:
    struct Entry {
        TChartFont key;
        QFont font;
        QFontMetrics metrics;
    };
    mutable std::deque<Entry> cache_;  // references stay valid as it grows
};

// Lays `chart` out for a client area of width x height and paints it.
void PaintChart(TCustomChart& chart, QPainter& painter, int width, int height,
                const TQtTextMeasure& measure);

}  // namespace orvix
