// orvix-kl-batch --charts over 1,000 generated protocols, this build's program beside a
// reference build's (the program before it ran on worker threads), measured in the same run:
// each iteration runs the reference, then this build, on the same protocols into fresh
// folders. Goal: this build at least 1.8 times the reference's protocols per second.
//
// The reference program is named by ORVIX_BENCH_REFERENCE_BATCH (scripts/bench-batch.sh
// builds one and runs this); without it only this build is measured. ORVIX_BENCH_PROTOCOLS
// changes the number of protocols. Counters: protocols per second of wall time for each, the
// speed-up, and the processor time (user and system, all threads) per protocol for each.
//
// BM_BatchSummaryNorms: this build's --summary run over the same protocols without and with
// --norms (the shipped example table), one after the other in each iteration. Goal: the scores
// cost nothing one notices, a few microseconds of processor time per protocol.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {
namespace fs = std::filesystem;

struct TRun {
    double Seconds = 0;     // wall
    double CpuSeconds = 0;  // user and system time of the program
};

double ChildrenCpu() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs a program with its output thrown away and waits for it; returns its exit status.
int Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class TBatchBench {
  public:
    TBatchBench() {
        dir_ = fs::temp_directory_path() /
               ("orvix-batch-bench-" + std::to_string(std::random_device{}()));
        const char* count = std::getenv("ORVIX_BENCH_PROTOCOLS");
        count_ = count ? std::atoi(count) : 1000;
        if (Run({ORVIX_PROTOGEN, "--seed=1", "--count=" + std::to_string(count_),
                 (dir_ / "in").string()}) != 0)
            throw std::runtime_error("protogen failed");
        for (const auto& e : fs::directory_iterator(dir_ / "in")) protocols_.push_back(e.path());
    }
    ~TBatchBench() { fs::remove_all(dir_); }

    int Count() const noexcept { return count_; }

    TRun Measure(const std::string& program,
                 std::vector<std::string> options = {"--charts"}) const {
        const fs::path out = dir_ / "out";
        fs::remove_all(out);
        std::vector<std::string> args{program, "--decimal=.", "--out=" + out.string()};
        args.insert(args.end(), options.begin(), options.end());
        for (const fs::path& p : protocols_) args.push_back(p.string());
        const double cpu = ChildrenCpu();
        const auto start = std::chrono::steady_clock::now();
        if (Run(args) != 0) throw std::runtime_error(program + " failed");
        TRun run;
        run.Seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.CpuSeconds = ChildrenCpu() - cpu;
        return run;
    }

  private:
    fs::path dir_;
    int count_ = 0;
    std::vector<fs::path> protocols_;
};

void BM_BatchCharts(benchmark::State& state) {
    const TBatchBench bench;
    const char* reference = std::getenv("ORVIX_BENCH_REFERENCE_BATCH");
    TRun ours;
    TRun theirs;
    for (auto _ : state) {
        if (reference) {
            const TRun r = bench.Measure(reference);
            theirs.Seconds += r.Seconds;
            theirs.CpuSeconds += r.CpuSeconds;
        }
        const TRun r = bench.Measure(ORVIX_BATCH);
        ours.Seconds += r.Seconds;
        ours.CpuSeconds += r.CpuSeconds;
        state.SetIterationTime(r.Seconds);
    }
    const double protocols = static_cast<double>(bench.Count()) * state.iterations();
    state.counters["protocols_per_s"] = protocols / ours.Seconds;
    state.counters["cpu_ms_per_protocol"] = 1000 * ours.CpuSeconds / protocols;
    if (reference) {
        state.counters["reference_protocols_per_s"] = protocols / theirs.Seconds;
        state.counters["reference_cpu_ms_per_protocol"] = 1000 * theirs.CpuSeconds / protocols;
        state.counters["speedup"] = theirs.Seconds / ours.Seconds;
    }
}
BENCHMARK(BM_BatchCharts)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

void BM_BatchSummaryNorms(benchmark::State& state) {
    const TBatchBench bench;
    const fs::path summary =
        fs::temp_directory_path() /
        ("orvix-batch-bench-" + std::to_string(std::random_device{}()) + ".csv");
    const std::string summaryOption = "--summary=" + summary.string();
    TRun plain;
    TRun normed;
    for (auto _ : state) {
        const TRun a = bench.Measure(ORVIX_BATCH, {summaryOption});
        const TRun b = bench.Measure(ORVIX_BATCH, {summaryOption, "--norms=" ORVIX_NORMS});
        plain.Seconds += a.Seconds;
        plain.CpuSeconds += a.CpuSeconds;
        normed.Seconds += b.Seconds;
        normed.CpuSeconds += b.CpuSeconds;
        state.SetIterationTime(b.Seconds);
    }
    fs::remove(summary);
    const double protocols = static_cast<double>(bench.Count()) * state.iterations();
    state.counters["cpu_ms_per_protocol"] = 1000 * plain.CpuSeconds / protocols;
    state.counters["norms_cpu_ms_per_protocol"] = 1000 * normed.CpuSeconds / protocols;
    state.counters["norms_extra_cpu_us_per_protocol"] =
        1e6 * (normed.CpuSeconds - plain.CpuSeconds) / protocols;
}
BENCHMARK(BM_BatchSummaryNorms)->UseManualTime()->Iterations(5)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
