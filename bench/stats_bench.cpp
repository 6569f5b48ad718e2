// The work curve and the retest comparison against the load they follow: a 2,000-record
// protocol of ten minutes, loaded and analysed, then its curve and a comparison with a second
// such protocol, each with its text. And the norms: the scores of every test of a 10,000-test
// archive against a table of single-year age groups by sex (goal: under 0.2 s), and local
// norms built from those tests.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "protocol/load.h"
#include "stats/local_norms.h"
#include "stats/norm_scores.h"
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

// The figures of 10,000 tests: 50 generated protocols, each standing for 200 examinees of
// every sex, age from 7 to 17 and one of four groups.
struct TArchive {
    std::vector<orvix::stats::TNormSample> Tests;
    std::vector<orvix::stats::TExaminee> Examinees;
};

const TArchive& Archive10000() {
    static const TArchive archive = [] {
        std::vector<std::vector<orvix::stats::TCell>> figures;
        for (unsigned seed = 1; seed <= 50; ++seed) {
            orvix::protogen::TGenerateOptions o;
            o.Seed = seed;
            const auto text = orvix::protogen::GenerateProtocol(o).Text();
            figures.push_back(orvix::stats::FigureCells(orvix::AnalyseText(text).Analysis.Result));
        }
        TArchive a;
        const char* groups[] = {"", "1 класс", "5 класс", "вуз"};
        for (int i = 0; i < 10000; ++i) {
            a.Tests.push_back({figures[static_cast<std::size_t>(i) % figures.size()], {}});
            a.Examinees.push_back(
                {static_cast<orvix::stats::TSex>(i % 3), 7 + i % 11, groups[(i / 3) % 4]});
        }
        return a;
    }();
    return archive;
}

// Every index for anyone, and for each sex and each year of age from 7 to 17 (510 rows).
orvix::stats::TNormTable AgeTable() {
    using namespace orvix::stats;
    const TArchive& a = Archive10000();
    const std::vector<TNormSample> some(a.Tests.begin(), a.Tests.begin() + 50);
    const TNormTable base = BuildLocalNorms(some, {"bench", "1", TSex::Any, {}, {}, "", ""}).Table;
    TNormTable table;
    for (const TNormRow& row : base.Rows) {
        table.Rows.push_back(row);
        for (const TSex sex : {TSex::Any, TSex::Male, TSex::Female}) {
            for (int age = 7; age <= 17; ++age) {
                TNormRow r = row;
                r.Sex = sex;
                r.AgeFrom = r.AgeTo = age;
                r.Reliability = 0.8;
                if (sex == TSex::Female) r.Percentiles.reset();
                table.Rows.push_back(r);
            }
        }
    }
    return table;
}

void BM_NormScores10000(benchmark::State& state) {
    const TArchive& a = Archive10000();
    const orvix::stats::TNormTable table = AgeTable();
    for (auto _ : state) {
        const orvix::stats::TNormLookup lookup(table);
        double sum = 0;
        for (std::size_t i = 0; i < a.Tests.size(); ++i)
            for (const auto& s : lookup.Score(a.Examinees[i], a.Tests[i].Figures))
                sum += s.T.value_or(0);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["rows"] = static_cast<double>(table.Rows.size());
}
BENCHMARK(BM_NormScores10000)->Unit(benchmark::kMillisecond);

void BM_LocalNorms10000(benchmark::State& state) {
    const TArchive& a = Archive10000();
    for (auto _ : state) {
        const auto norms = orvix::stats::BuildLocalNorms(a.Tests, {});
        benchmark::DoNotOptimize(norms.Table.Rows.data());
    }
}
BENCHMARK(BM_LocalNorms10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
