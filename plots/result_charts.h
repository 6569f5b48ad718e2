// The result charts' widgets: each shows a result plot (result_plots.h) and passes the mouse
// to its hover caption; the search-time chart adds its scroll arrows.
#pragma once

#include "charts/chart.h"
#include "charts/speed_button.h"
#include "plots/result_plots.h"

namespace orvix {

class TSearchTimeChart final : public TChart {
    Q_OBJECT

  public:
    explicit TSearchTimeChart(QWidget* parent = nullptr);

    TSearchTimePlot& Plot() noexcept { return plot_; }
    const TSearchTimePlot& Plot() const noexcept { return plot_; }

    // Scroll arrows in the lower right corner: one minute back and forth.
    TSpeedButton* sbLeftSel;
    TSpeedButton* sbRightSel;

    // The arrows: shift the bottom axis by 60 s and update which arrows can go further.
    void sbLeftSelClick();
    void sbRightSelClick();

  private:
    TSearchTimePlot plot_{*this};
};

class TTempoChart final : public TChart {
    Q_OBJECT

  public:
    explicit TTempoChart(QWidget* parent = nullptr);

    TTempoPlot& Plot() noexcept { return plot_; }
    const TTempoPlot& Plot() const noexcept { return plot_; }

  private:
    TTempoPlot plot_{*this};
};

}  // namespace orvix
