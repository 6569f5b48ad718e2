// The work curve and the retest comparison against the load they follow: a 2,000-record
// protocol of ten minutes, loaded and analysed, then its curve and a comparison with a second
// such protocol, each with its text.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "protocol/load.h"
#include "stats/retest.h"
#include "stats/stats_text.h"
#include "stats/work_curve.h"
#include "tools/protogen/protocol_writer.h"

namespace {
namespace fs = std::filesystem;

fs::path Protocol2000(unsigned seed) {
    orvix::protogen::TGenerateOptions o;
    o.Seed = seed;
    o.TargetSelections = 2000;
    o.DurationSeconds = 600;
    const auto p = orvix::protogen::GenerateProtocol(o);
    const fs::path file =
        fs::temp_directory_path() / ("orvix-bench-2000-" + std::to_string(seed) + ".klp");
    orvix::protogen::WriteProtocolFile(p, file);
    return file;
}

const orvix::TLoadedProtocol& Loaded(unsigned seed) {
    static const orvix::TLoadedProtocol first = orvix::LoadAndAnalyse(Protocol2000(1));
    static const orvix::TLoadedProtocol second = orvix::LoadAndAnalyse(Protocol2000(2));
    return seed == 1 ? first : second;
}

void BM_Load2000(benchmark::State& state) {
    const fs::path file = Protocol2000(1);
    for (auto _ : state) {
        const orvix::TLoadedProtocol load = orvix::LoadAndAnalyse(file);
        benchmark::DoNotOptimize(load.Analysis.Result.Points.data());
    }
}
BENCHMARK(BM_Load2000)->Unit(benchmark::kMicrosecond);

void BM_WorkCurve2000(benchmark::State& state) {
    const orvix::TAnalysisResult& r = Loaded(1).Analysis.Result;
    for (auto _ : state) {
        const auto curve = orvix::stats::ComputeWorkCurve(r);
        const std::string text =
            orvix::stats::WorkCurveText(curve, orvix::stats::ComputeAccuracy(r), ',');
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["intervals"] = r.IntervalCount;
}
BENCHMARK(BM_WorkCurve2000)->Unit(benchmark::kMicrosecond);

void BM_Compare2000(benchmark::State& state) {
    const orvix::TAnalysisResult& a = Loaded(1).Analysis.Result;
    const orvix::TAnalysisResult& b = Loaded(2).Analysis.Result;
    for (auto _ : state) {
        const auto retest = orvix::stats::CompareTests(a, b);
        const std::string text = orvix::stats::RetestText(retest, "a", "b", ',');
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_Compare2000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
