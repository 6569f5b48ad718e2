#include "chart_pictures.h"

#include "export/qimage_rgb.h"

namespace orvix::batch {

namespace {

class TPictureCharts final : public TProtocolCharts {
  public:
    explicit TPictureCharts(const TResultPictures& look) : look_(look) {
        charts_.TempoChart.Color = look.ChartColor();
        charts_.SearchChart.Color = look.ChartColor();
    }
    TTempoPlot& Tempo() override { return charts_.Tempo; }
    TSearchTimePlot& Search() override { return charts_.Search; }
    // Both are painted before either is encoded.
    std::pair<TRgbImage, TRgbImage> Pictures() override {
        const TQtTextMeasure measure;
        const QImage tempo = look_.Tempo(charts_.TempoChart, measure);
        const QImage search = look_.Search(charts_.SearchChart, measure);
        return {ToRgbImage(tempo), ToRgbImage(search)};
    }

  private:
    const TResultPictures& look_;
    TDetachedCharts charts_;
};

}  // namespace

std::unique_ptr<TProtocolCharts> TChartPictures::NewCharts() const {
    return std::make_unique<TPictureCharts>(look_);
}

}  // namespace orvix::batch
