// The examiner's outputs: the report page as PDF for a 2,000-record protocol (goal under
// 100 ms) and the per-selection CSV of a 100,000-record protocol (goal under 50 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>

#include "plots/result_plots.h"
#include "export/report_page.h"
#include "protocol/load.h"
#include "protocol/points_csv.h"
#include "protocol/report.h"
#include "tools/protogen/protocol_writer.h"

namespace {

orvix::TLoadedProtocol Generated(std::int32_t selections, double seconds) {
    orvix::protogen::TGenerateOptions o;
    o.Seed = 42;
    o.TargetSelections = selections;
    o.DurationSeconds = seconds;
    return orvix::AnalyseText(orvix::protogen::GenerateProtocol(o).Text());
}

void BM_ReportPagePdf(benchmark::State& state) {
    const orvix::TLoadedProtocol load = Generated(2000, 2000);
    orvix::TDetachedCharts charts;
    orvix::TTextLines report;
    orvix::ShowLoad(load, report, charts.Tempo, charts.Search);
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const QByteArray pdf = orvix::ReportPagePdf(load, report.Ref(), QDate(2024, 3, 15));
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["records"] = load.Analysis.Result.SelectionCount;
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ReportPagePdf)->Unit(benchmark::kMillisecond);

void BM_PointsCsv(benchmark::State& state) {
    const orvix::TLoadedProtocol load = Generated(100000, 100000);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string csv = orvix::PointsCsv(load.Protocol, load.Analysis.Result);
        bytes = csv.size();
        benchmark::DoNotOptimize(csv.data());
    }
    state.counters["records"] = load.Analysis.Result.SelectionCount;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_PointsCsv)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
