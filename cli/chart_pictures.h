// The chart pictures of orvix-kl-batch --charts: each protocol fills a fresh pair of result
// chart widgets, as the first load after start-up would, and both are rendered off-screen at
// their window size and written as GIF files. Needs a QApplication.
#pragma once

#include <filesystem>
#include <memory>

#include "cli/batch.h"
#include "plots/result_charts.h"

namespace orvix::batch {

class TChartPictures final : public TChartWriter {
  public:
    TChartPictures();
    ~TChartPictures() override;

    // A new pair of charts in their start-up state.
    void Reset() override;
    TTempoPlot& Tempo() override { return chart5sec_->Plot(); }
    TSearchTimePlot& Search() override { return chartSel_->Plot(); }
    // The five-second chart and the search-time chart with its arrows, both rendered before
    // either file is written, each written atomically.
    void Write(const std::filesystem::path& tempoPicture,
               const std::filesystem::path& searchPicture) override;

    TTempoChart& Chart5sec() const noexcept { return *chart5sec_; }
    TSearchTimeChart& ChartSel() const noexcept { return *chartSel_; }

  private:
    std::unique_ptr<TTempoChart> chart5sec_;
    std::unique_ptr<TSearchTimeChart> chartSel_;
};

}  // namespace orvix::batch
