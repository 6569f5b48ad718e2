// A protocol through everything a load does without a window: the file's bytes descrambled,
// the line buffer, the analysis, the report, both result charts filled and laid out as a paint
// lays them out, under either decimal separator, and for a complete analysis the work curve and
// a comparison of the test with itself, with their texts. Only the program's own failures may
// come out.
// The input is the protocol's plain text (scrambled here into the file's bytes), so that the
// fuzzer's dictionary of protocol tokens and its insertions keep their meaning.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/errors.h"
#include "base/numbers.h"
#include "plots/result_plots.h"
#include "protocol/load.h"
#include "protocol/protocol.h"
#include "stats/retest.h"
#include "stats/stats_text.h"
#include "stats/work_curve.h"

namespace {

// Text measure of a fixed-width font, so the layout runs without Qt.
class FixedMeasure final : public orvix::TTextMeasure {
  public:
    int TextWidth(const orvix::TChartFont&, std::string_view text) const override {
        return 7 * static_cast<int>(text.size());
    }
    int TextHeight(const orvix::TChartFont& font) const override { return font.Height + 2; }
};

// Keeps the texts from being optimised away.
volatile std::size_t textSink = 0;

void LoadOnce(const std::string& descrambled, char decimal) {
    using namespace orvix;
    SetDecimalChar(decimal);
    const TLoadedProtocol load = AnalyseText(descrambled);
    TDetachedCharts charts;
    charts.TempoChart.DecimalSeparator = decimal;
    charts.SearchChart.DecimalSeparator = decimal;
    TTextLines report;
    try {
        ShowLoad(load, report, charts.Tempo, charts.Search);
        const TAnalysisResult& r = load.Analysis.Result;
        const std::string curve =
            stats::WorkCurveText(stats::ComputeWorkCurve(r), stats::ComputeAccuracy(r), decimal);
        const std::string retest = stats::RetestText(stats::CompareTests(r, r), "a", "b", decimal);
        textSink = curve.size() + retest.size();
    } catch (const Exception&) {
        // The message box would show it; the views keep what they got.
    }
    const FixedMeasure measure;
    for (TCustomChart* chart : {&charts.TempoChart, &charts.SearchChart}) {
        try {
            chart->CalcLayout(kResultChartWidth, kResultChartHeight, measure);
        } catch (const Exception&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = orvix::DescrambleText(  // the file's bytes
        std::string_view(reinterpret_cast<const char*>(data), size));
    orvix::DescrambleInPlace(text);
    // Each input is read under one separator, the other one for an input a byte longer or
    // shorter, so the fuzzer meets both.
    LoadOnce(text, size % 2 == 0 ? '.' : ',');
    return 0;
}
