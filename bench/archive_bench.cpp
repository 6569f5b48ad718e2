// The archive over 10,000 protocols from the sample generator: the first scan into a new
// database, a re-scan with nothing changed, and what the window does with the rows (read them
// all, sort, filter), and norm scores for every test with a table in use and the examinees'
// data. ORVIX_BENCH_PROTOCOLS=N takes another count.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "archive/archive.h"
#include "archive/archive_local_norms.h"
#include "archive/database.h"
#include "archive/test_scores.h"
#include "archive/test_view.h"
#include "base/file_io.h"
#include "stats/norm_table_csv.h"
#include "tools/protogen/protocol_writer.h"

namespace {
namespace fs = std::filesystem;
using namespace orvix::archive;

std::size_t Count() {
    const char* n = std::getenv("ORVIX_BENCH_PROTOCOLS");
    return n ? static_cast<std::size_t>(std::atol(n)) : 10000;
}

// The protocols, made once (seed i gives protocol i), in folders of 500 as a clinic keeps them.
const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path dir =
            fs::temp_directory_path() / ("orvix-bench-archive-" + std::to_string(Count()));
        fs::path done = dir;
        done += ".done";
        if (!fs::exists(done)) {
            fs::remove_all(dir);
            for (std::size_t i = 0; i < Count(); ++i) {
                orvix::protogen::TGenerateOptions o;
                o.Seed = i + 1;
                const fs::path sub = dir / ("folder-" + std::to_string(i / 500));
                fs::create_directories(sub);
                orvix::protogen::WriteProtocolFile(orvix::protogen::GenerateProtocol(o),
                                                   sub / ("protocol-" + std::to_string(i + 1)));
            }
            orvix::WriteFileAtomically(done, "");
        }
        return dir;
    }();
    return folder;
}

fs::path Database(const char* name) {
    return fs::temp_directory_path() / "orvix-bench-archive-db" / name;
}

void Remove(const fs::path& db) {
    for (const char* suffix : {"", "-wal", "-shm", ".corrections"}) {
        fs::path f = db;
        f += suffix;
        fs::remove(f);
    }
}

// A scanned archive for the benchmarks that read it.
TArchive& Scanned() {
    static TArchive archive = [] {
        const fs::path db = Database("scanned.db");
        Remove(db);
        TArchive a(db);
        a.Scan({Folder()}, {});
        return a;
    }();
    return archive;
}

void BM_FirstScan(benchmark::State& state) {
    const fs::path& folder = Folder();
    const fs::path db = Database("first.db");
    for (auto _ : state) {
        state.PauseTiming();
        Remove(db);
        state.ResumeTiming();
        TArchive a(db);
        TScanOptions o;
        o.Workers = static_cast<unsigned>(state.range(0));
        const TScanCounts c = a.Scan({folder}, o);
        if (c.Added != Count()) state.SkipWithError("not every protocol was added");
    }
    state.counters["protocols"] = static_cast<double>(Count());
}
BENCHMARK(BM_FirstScan)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

void BM_ReScanUnchanged(benchmark::State& state) {
    TArchive& a = Scanned();
    for (auto _ : state) {
        const TScanCounts c = a.Scan({Folder()}, {});
        if (c.Unchanged != Count()) state.SkipWithError("a protocol was read again");
    }
}
BENCHMARK(BM_ReScanUnchanged)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window does when it opens: the rows, the examinees, the view.
void BM_AllRowsIntoTheView(benchmark::State& state) {
    TArchive& a = Scanned();
    for (auto _ : state) {
        TTestView view(a.Tests());
        const auto examinees = a.Examinees();
        benchmark::DoNotOptimize(view.Shown() + examinees.size());
    }
}
BENCHMARK(BM_AllRowsIntoTheView)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sort(benchmark::State& state) {
    TTestView view(Scanned().Tests());
    const TTestColumn columns[] = {
        {TTestColumn::TField::Examinee, 0},
        {TTestColumn::TField::Figure, *orvix::stats::FigureColumn("selections per minute")},
        {TTestColumn::TField::Figure, *orvix::stats::FigureColumn("work curve")},
        {TTestColumn::TField::Date, 0}};
    const TTestColumn column = columns[state.range(0)];
    bool ascending = true;
    for (auto _ : state) {
        view.Sort(column, ascending);
        ascending = !ascending;
        benchmark::DoNotOptimize(view.Order().data());
    }
}
BENCHMARK(BM_Sort)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_Filter(benchmark::State& state) {
    TTestView view(Scanned().Tests());
    const char* texts[] = {"к", "кузнецов", "protocol-99", ""};
    std::size_t i = 0;
    for (auto _ : state) {
        view.Filter(texts[i++ % 4]);
        benchmark::DoNotOptimize(view.Order().data());
    }
}
BENCHMARK(BM_Filter)->Unit(benchmark::kMillisecond);

// The scanned archive with a birth date and sex for every examinee and a norm table in use:
// the archive's own local norms for six age ranges of two sexes (180 rows).
TArchive& WithNorms() {
    static TArchive& archive = [&]() -> TArchive& {
        TArchive& a = Scanned();
        a.Database().Exec(
            "UPDATE examinee SET birth_date = printf('%04d-%02d-%02d', 2008 + id % 12, 1 + id % "
            "12, 1 + id % 28), sex = CASE id % 2 WHEN 0 THEN 'male' ELSE 'female' END");
        orvix::stats::TLocalNormGroup group;
        group.NormId = "bench";
        const auto local = LocalNormsOf(SelectTests(a.Tests(), {}), group);
        orvix::stats::TNormTable table;
        for (const auto sex : {orvix::stats::TSex::Male, orvix::stats::TSex::Female})
            for (int from = 6; from < 18; from += 2)
                for (orvix::stats::TNormRow row : local.Table.Rows) {
                    row.Sex = sex;
                    row.AgeFrom = from;
                    row.AgeTo = from + 1;
                    table.Rows.push_back(row);
                }
        for (const auto& t : a.NormTables()) a.RemoveNormTable(t.Id);
        a.UseNormTable(a.ImportNormTable("bench.csv", orvix::stats::WriteNormTable(table)));
        return a;
    }();
    return archive;
}

// What a list with scores does: the rows, the table in use, a score per test and index.
void BM_ScoresOfEveryTest(benchmark::State& state) {
    TArchive& a = WithNorms();
    std::size_t scored = 0;
    for (auto _ : state) {
        const std::vector<TTestRow> tests = a.Tests();
        const auto norms = a.NormTableInUse();
        const orvix::stats::TNormLookup lookup(*norms->Table);
        const auto scores = ScoreTests(tests, lookup);
        scored = 0;
        for (const auto& s : scores) scored += s.size();
        benchmark::DoNotOptimize(scores.data());
    }
    state.counters["scores"] = static_cast<double>(scored);
    if (scored < Count() * 10) state.SkipWithError("too few scores");
}
BENCHMARK(BM_ScoresOfEveryTest)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scores alone, the rows already read.
void BM_ScoresOnly(benchmark::State& state) {
    TArchive& a = WithNorms();
    const std::vector<TTestRow> tests = a.Tests();
    const auto norms = a.NormTableInUse();
    const orvix::stats::TNormLookup lookup(*norms->Table);
    for (auto _ : state) benchmark::DoNotOptimize(ScoreTests(tests, lookup).data());
}
BENCHMARK(BM_ScoresOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
