// The chart pictures of orvix-kl-batch --charts: each protocol fills a fresh pair of result
// charts, as the first load after start-up would, and both are rendered off-screen at their
// window size and written as GIF files. Needs a QApplication.
#pragma once

#include <filesystem>
#include <memory>

#include "charts/result_charts.h"
#include "cli/batch.h"

namespace orvix::batch {

class TChartPictures final : public TChartWriter {
  public:
    TChartPictures();
    ~TChartPictures() override;

    TAnalysisViews* Views() override { return views_.get(); }
    // A new pair of charts in their start-up state.
    void Reset() override;
    // STEM.5sec.gif (the five-second chart) and STEM.Choice.gif (the search-time chart with its
    // arrows), each written atomically.
    void Write(const std::filesystem::path& stem) override;
    std::vector<std::filesystem::path> Files(const std::filesystem::path& stem) const override {
        return {TempoPicturePath(stem), SearchPicturePath(stem)};
    }

    TTempoChart& Chart5sec() const noexcept { return *chart5sec_; }
    TSearchTimeChart& ChartSel() const noexcept { return *chartSel_; }

    static std::filesystem::path TempoPicturePath(const std::filesystem::path& stem);
    static std::filesystem::path SearchPicturePath(const std::filesystem::path& stem);

  private:
    std::unique_ptr<TTempoChart> chart5sec_;
    std::unique_ptr<TSearchTimeChart> chartSel_;
    std::unique_ptr<TResultChartViews> views_;
};

}  // namespace orvix::batch
