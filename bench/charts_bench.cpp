// Chart painting and hit test at the result charts' size, 1023 x 369.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <random>
#include <vector>

#include "charts/chart.h"
#include "tests/charts/chart_data.h"

namespace {

using namespace orvix;

// Four line series of 2,000 points each (one with markers) over one bar series.
void BM_PaintFiveSeries(benchmark::State& state) {
    TChart chart;
    chart.resize(1023, 369);
    const auto s = testing::ConfigureFiveSecChart(chart);
    testing::FillFiveSecChart(s, 2000);
    QImage image(1023, 369, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        chart.PaintTo(painter, 1023, 369);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_PaintFiveSeries)->Unit(benchmark::kMillisecond);

// The same through the widget's own off-screen pixmap, as a window paint does it.
void BM_PaintWidgetBuffer(benchmark::State& state) {
    TChart chart;
    chart.resize(1023, 369);
    const auto s = testing::ConfigureFiveSecChart(chart);
    testing::FillFiveSecChart(s, 2000);
    QImage image(1023, 369, QImage::Format_RGB32);
    for (auto _ : state) chart.render(&image);
}
BENCHMARK(BM_PaintWidgetBuffer)->Unit(benchmark::kMillisecond);

template <class Setup>
void HitTests(benchmark::State& state, Setup setup) {
    TChart chart;
    chart.resize(1023, 369);
    const TChartSeries* series = setup(chart);
    QImage image(1023, 369, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        chart.PaintTo(painter, 1023, 369);
    }
    const TRect r = chart.PlotRect();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> xs(r.Left, r.Right);
    std::uniform_int_distribution<int> ys(r.Top, r.Bottom);
    std::vector<std::pair<int, int>> cursor(10000);
    for (auto& c : cursor) c = {xs(random), ys(random)};
    long hits = 0;
    for (auto _ : state) {
        for (const auto& [x, y] : cursor) hits += series->HitTest(x, y) >= 0;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(cursor.size()));
    state.counters["hit_share"] = static_cast<double>(hits) / (state.iterations() * 10000.0);
}

// 10,000 cursor positions over the 2,000 markers of the five-series chart.
void BM_HitTest2000Points(benchmark::State& state) {
    HitTests(state, [](TChart& chart) {
        const auto s = testing::ConfigureFiveSecChart(chart);
        testing::FillFiveSecChart(s, 2000);
        return static_cast<const TChartSeries*>(s.Sec);
    });
}
BENCHMARK(BM_HitTest2000Points)->Unit(benchmark::kMicrosecond);

// The search-time chart: 600 selections, 60 of them on the page.
void BM_HitTestSearchPage(benchmark::State& state) {
    HitTests(state, [](TChart& chart) {
        const auto s = testing::ConfigureSearchChart(chart);
        testing::FillSearchChart(chart, s, 600);
        return static_cast<const TChartSeries*>(s.Sel);
    });
}
BENCHMARK(BM_HitTestSearchPage)->Unit(benchmark::kMicrosecond);

// 10,000 cursor positions over the 2,000 bars.
void BM_HitTestBars(benchmark::State& state) {
    HitTests(state, [](TChart& chart) {
        const auto s = testing::ConfigureFiveSecChart(chart);
        testing::FillFiveSecChart(s, 2000);
        return static_cast<const TChartSeries*>(s.Npl);
    });
}
BENCHMARK(BM_HitTestBars)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
