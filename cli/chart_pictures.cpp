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
    views_.reset();
    chartSel_ = std::make_unique<TSearchTimeChart>();
    chart5sec_ = std::make_unique<TTempoChart>();
    views_ = std::make_unique<TResultChartViews>(*chart5sec_, *chartSel_);
}

fs::path TChartPictures::TempoPicturePath(const fs::path& stem) {
    fs::path p = stem;
    p += ".5sec.gif";
    return p;
}

fs::path TChartPictures::SearchPicturePath(const fs::path& stem) {
    fs::path p = stem;
    p += ".Choice.gif";
    return p;
}

void TChartPictures::Write(const fs::path& stem) {
    // Both pictures are rendered before either file is written.
    TRgbImage tempo = ToRgbImage(chart5sec_->RenderImage());
    TRgbImage search = ToRgbImage(chartSel_->RenderImage());
    WriteGifFile(std::move(tempo), TempoPicturePath(stem));
    WriteGifFile(std::move(search), SearchPicturePath(stem));
}

}  // namespace orvix::batch
