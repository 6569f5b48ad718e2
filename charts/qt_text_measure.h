// The Qt side of the chart's texts and colours: conversions of chart colours, fonts and
// Windows-1251 texts to Qt's, and text measurement with Qt's font metrics.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <deque>
#include <string_view>

#include "chart_types.h"
#include "custom_chart.h"

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
    // The entry of `font`, made on first use.
    const Entry& Find(const TChartFont& font) const;

    mutable std::deque<Entry> cache_;  // references stay valid as it grows
};

}  // namespace orvix
