// Loading a large protocol: the whole Data-command path (read, descramble, analyse, build the
// report) against reading and descrambling alone.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "base/file_io.h"
#include "protocol/load.h"
#include "protocol/protocol.h"
#include "protocol/report.h"
#include "tools/protogen/protocol_writer.h"

namespace {
namespace fs = std::filesystem;

const fs::path& LargeProtocol() {
    static const fs::path path = [] {
        orvix::protogen::TGenerateOptions o;
        o.Seed = 42;
        o.TargetSelections = 100000;
        o.DurationSeconds = 100000;
        const auto p = orvix::protogen::GenerateProtocol(o);
        const fs::path file = fs::temp_directory_path() / "orvix-bench-100k.klp";
        orvix::protogen::WriteProtocolFile(p, file);
        return file;
    }();
    return path;
}

void BM_ReadAndDescramble(benchmark::State& state) {
    const fs::path& file = LargeProtocol();
    for (auto _ : state) {
        std::string text = orvix::ReadWholeFile(file);
        orvix::DescrambleInPlace(text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}
BENCHMARK(BM_ReadAndDescramble)->Unit(benchmark::kMillisecond);

void BM_LoadAnalyseReport(benchmark::State& state) {
    const fs::path& file = LargeProtocol();
    std::int32_t records = 0;
    for (auto _ : state) {
        const orvix::TLoadedProtocol load = orvix::LoadAndAnalyse(file);
        const orvix::TAnalysis& analysis = load.Analysis;
        orvix::TTextLines report;
        orvix::FillReport(report, load.Protocol, analysis.Result, analysis.Stopped);
        records = analysis.Result.SelectionCount;
        benchmark::DoNotOptimize(report.Ref().data());
    }
    state.counters["records"] = records;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}
BENCHMARK(BM_LoadAnalyseReport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
