// The chart pictures of orvix-kl-batch --charts: each protocol fills a fresh pair of result
// charts, as the first load after start-up would, and both are painted at their window size as
// the chart widgets render off-screen, without widgets, so that worker threads can paint them.
// Made on the thread of the QApplication.
#pragma once

#include <memory>

#include "cli/batch.h"
#include "plots/result_pictures.h"

namespace orvix::batch {

class TChartPictures final : public TChartWriter {
  public:
    TChartPictures() = default;

    // A new pair of charts in their start-up state; their pictures are the five-second chart
    // and the search-time chart with its arrows.
    std::unique_ptr<TProtocolCharts> NewCharts() const override;

  private:
    TResultPictures look_;
};

}  // namespace orvix::batch
