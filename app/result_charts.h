// The two result charts of the work panel and the views a load fills between its analysis
// steps. The chart areas are plain panels of the charts' size for now; the chart component
// takes their place, and fills them through these hooks, once the result charts are drawn.
#pragma once

#include <QWidget>

#include "protocol/report.h"

namespace orvix {

// A chart area: a white field with a thin frame, 1023 x 369 at the design size.
class TChartArea final : public QWidget {
    Q_OBJECT
  public:
    explicit TChartArea(const QString& name, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class TResultCharts final : public TAnalysisViews {
  public:
    TResultCharts(TChartArea* chart5sec, TChartArea* chartSel)
        : chart5sec_(chart5sec), chartSel_(chartSel) {}

    // Empties every series of Chart5sec, then every series of ChartSel.
    void ClearSeries();

    TChartArea* Chart5sec() const noexcept { return chart5sec_; }
    TChartArea* ChartSel() const noexcept { return chartSel_; }

  private:
    TChartArea* chart5sec_;
    TChartArea* chartSel_;
};

}  // namespace orvix
