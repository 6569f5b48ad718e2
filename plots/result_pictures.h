// The result charts' pictures painted without their widgets, pixel for pixel what the widgets
// render off-screen (TChart::RenderImage): the chart painted at the widgets' size and, on the
// search-time chart, its scroll arrows as they show after a load. Only images and fonts are
// used, so any thread may paint; the widgets' look is read once, on the GUI thread.
#pragma once

#include <QImage>
#include <QPoint>

#include "charts/chart_types.h"
#include "charts/custom_chart.h"
#include "charts/qt_text_measure.h"

namespace orvix {

class TResultPictures {
  public:
    // Makes one search-time chart widget in its start-up state and keeps what the pictures
    // take from it: its background (the palette's button colour) and its two arrows as
    // rendered. Needs a QApplication, on its thread.
    TResultPictures();

    // The background colour a chart widget has; charts painted here must have it.
    TColor ChartColor() const noexcept { return chartColor_; }

    // The five-second chart's picture: `chart` laid out and painted at the widgets' size.
    QImage Tempo(TCustomChart& chart, const TQtTextMeasure& measure) const;
    // The search-time chart's picture: the same, with the arrows over it.
    QImage Search(TCustomChart& chart, const TQtTextMeasure& measure) const;

  private:
    TColor chartColor_;
    QImage leftArrow_;
    QImage rightArrow_;
    QPoint leftAt_;
    QPoint rightAt_;
};

}  // namespace orvix
