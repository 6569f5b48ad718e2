#include "chart_pictures.h"

#include "export/gif_encoder.h"
#include "export/qimage_rgb.h"

namespace orvix::batch {
namespace fs = std::filesystem;

TChartPictures::TChartPictures() {
    Reset();
}

TChartPictures::~TChartPictures() = default;

void TChartPictures::Reset() {
    chartSel_ = std::make_unique<TSearchTimeChart>();
    chart5sec_ = std::make_unique<TTempoChart>();
}

void TChartPictures::Write(const fs::path& tempoPicture, const fs::path& searchPicture) {
    TRgbImage tempo = ToRgbImage(chart5sec_->RenderImage());
    TRgbImage search = ToRgbImage(chartSel_->RenderImage());
    WriteGifFile(std::move(tempo), tempoPicture);
    WriteGifFile(std::move(search), searchPicture);
}

}  // namespace orvix::batch
