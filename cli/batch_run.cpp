// RunBatch: protocols are loaded and their files written on worker threads, while this thread
// takes them in their order, names their files, and writes the messages and the summary, so
// that everything it writes is what a run of one protocol after the other writes.
#include <algorithm>
#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/numbers.h"
#include "base/ordered_jobs.h"
#include "base/worker_pool.h"
#include "cli/batch.h"
#include "cli/protocol_steps.h"

namespace orvix::batch {
namespace fs = std::filesystem;

namespace {

// The warning for a protocol whose files would replace an earlier one's (UTF-8).
constexpr const char* kSameNamesWarning = "предупреждение: те же имена файлов, что у ";
constexpr const char* kWrittenAs = "записано под именем ";

// Flushes to the disk wait for the disk, not for a processor: this many threads keep several
// in flight besides the workers.
constexpr std::size_t kFlushThreads = 4;

std::string Utf8(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

// The folder that holds a path's entry, resolved (links, "..", the current folder): two paths
// name entries of one folder when their keys are equal.
class TFolderKeys {
  public:
    std::string Of(const fs::path& path) {
        std::error_code ec;
        fs::path absolute = fs::absolute(path, ec);
        if (ec) absolute = path;
        const fs::path parent = absolute.parent_path();
        const std::string folder = Utf8(parent);
        auto it = folders_.find(folder);
        if (it == folders_.end()) {
            fs::path resolved = fs::weakly_canonical(parent, ec);
            if (ec) resolved = parent.lexically_normal();
            std::string key = Utf8(resolved);
#ifdef _WIN32
            // Windows file names are the same entry in either case.
            for (char& c : key)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
#endif
            it = folders_.emplace(folder, std::move(key)).first;
        }
        return it->second;
    }

  private:
    std::unordered_map<std::string, std::string> folders_;
};

class TBatchRun {
  public:
    TBatchRun(const TBatchOptions& options, std::ostream& err, const TChartWriter* charts,
              bool showProgress, TPageWriter* page)
        : options_(options), err_(err), charts_(charts), progress_(showProgress), page_(page) {}

    int Run();

  private:
    // A protocol taken from the loads, its files being written.
    struct TPending {
        std::size_t Index = 0;
        std::shared_ptr<TLoadedStep> Step;
        std::string Stem;  // empty when the load failed: nothing is written
        std::future<std::future<TWritten>> Staging;
        std::future<TWritten> Commit;
    };

    std::shared_ptr<TLoadedStep> Load(std::size_t i) const {
        return std::make_shared<TLoadedStep>(
            LoadProtocol(options_.Protocols[i], options_, charts_, norms_.get()));
    }
    // Names the files of a loaded protocol and starts writing them.
    void Write(TPending& p, TWorkerPool& workers, TWorkerPool& flushes);
    bool Ready(TPending& p);
    void EmitFront();
    void EmitThrough(std::size_t index) {
        while (!pending_.empty() && pending_.front().Index <= index) EmitFront();
    }
    void Report(std::size_t index, const TProtocolOutcome& outcome);

    const TBatchOptions& options_;
    std::ostream& err_;
    const TChartWriter* charts_;
    const bool progress_;
    TPageWriter* page_;
    std::unique_ptr<TBatchNorms> norms_;
    TToldNorms told_;

    TRunNames names_;
    std::unordered_map<std::string, std::size_t> writing_;  // name key -> protocol writing it
    std::deque<TPending> pending_;
    // The protocols in the output folder. Any of them may be a file an earlier protocol writes,
    // so it is read only after the protocols before it are done, as a run of one protocol after
    // the other reads it. Read ahead, it would also be open while that file is replaced, which
    // Windows refuses (the file is in use).
    std::vector<bool> readInTurn_;

    std::string summary_;
    std::vector<std::vector<stats::TCell>> rows_;
    bool workbook_ = false;
    bool anyFailed_ = false;
};

void TBatchRun::Write(TPending& p, TWorkerPool& workers, TWorkerPool& flushes) {
    TLoadedStep& step = *p.Step;
    const std::string& tag = step.Outcome.FileTag;
    // A name this run gave out already gets a number: nothing this run wrote is replaced. A
    // name whose files are still being written is given out or not when they are done.
    for (;;) {
        p.Stem = names_.Next(tag);
        const auto it = writing_.find(TRunNames::Key(p.Stem));
        if (it == writing_.end()) break;
        EmitThrough(it->second);
    }
    if (p.Stem != tag) step.Outcome.SameNamesAs = *names_.Owner(tag);
    writing_[TRunNames::Key(p.Stem)] = p.Index;
    p.Staging = workers.Submit([this, step = p.Step, stem = p.Stem, &flushes] {
        return flushes.Submit(StageOutputs(*step, stem, options_, page_));
    });
}

bool TBatchRun::Ready(TPending& p) {
    using namespace std::chrono_literals;
    if (p.Staging.valid()) {
        if (p.Staging.wait_for(0s) != std::future_status::ready) return false;
        p.Commit = p.Staging.get();
    }
    return !p.Commit.valid() || p.Commit.wait_for(0s) == std::future_status::ready;
}

void TBatchRun::EmitFront() {
    TPending p = std::move(pending_.front());
    pending_.pop_front();
    if (progress_)
        err_ << "\r[" << (p.Index + 1) << "/" << options_.Protocols.size() << "] "
             << Utf8(options_.Protocols[p.Index]) << "\x1b[K" << std::flush;
    TWritten written;
    if (p.Staging.valid()) p.Commit = p.Staging.get();
    if (p.Commit.valid()) written = p.Commit.get();
    const TProtocolOutcome outcome = FinishOutcome(*p.Step, written);
    if (!p.Stem.empty()) {
        writing_.erase(TRunNames::Key(p.Stem));
        if (outcome.Ok) names_.Take(p.Stem, outcome.Protocol);
    }
    Report(p.Index, outcome);
}

void TBatchRun::Report(std::size_t index, const TProtocolOutcome& outcome) {
    const fs::path& protocol = options_.Protocols[index];
    if (!outcome.Ok) {
        anyFailed_ = true;
        if (progress_) err_ << "\r\x1b[K";
        err_ << Utf8(protocol) << ": " << Cp1251ToUtf8(outcome.Message) << "\n";
    } else if (outcome.SameNamesAs) {
        if (progress_) err_ << "\r\x1b[K";
        err_ << Utf8(protocol) << ": " << kSameNamesWarning << Utf8(*outcome.SameNamesAs) << "; "
             << kWrittenAs << Utf8(outcome.ReportFile.filename()) << "\n";
    }
    if (norms_ && outcome.Scores) {
        const std::vector<std::string> warnings = norms_->Warnings(*outcome.Scores, told_);
        if (progress_ && !warnings.empty()) err_ << "\r\x1b[K";
        for (const std::string& warning : warnings)
            err_ << Utf8(protocol) << ": " << warning << "\n";
    }
    if (workbook_)
        rows_.push_back(SummaryCells(outcome, norms_.get()));
    else
        summary_ += SummaryRow(outcome, norms_.get());
}

int TBatchRun::Run() {
    // The norm file first: a bad one stops the run before anything is written.
    bool badNorms = false;
    norms_ = PrepareNorms(options_, err_, badNorms);
    if (badNorms) return 2;
    SetDecimalChar(options_.Decimal);
    std::error_code ec;
    fs::create_directories(options_.OutDir, ec);
    workbook_ = options_.Summary && IsWorkbookName(*options_.Summary);
    summary_ = SummaryHeader(norms_.get());
    const std::size_t total = options_.Protocols.size();
    TFolderKeys folders;
    const std::string outFolder = folders.Of(options_.OutDir / "-");
    readInTurn_.assign(total, false);
    for (std::size_t i = 0; i < total; ++i)
        readInTurn_[i] = folders.Of(options_.Protocols[i]) == outFolder;

    {
        // Declared before the workers: a worker hands its files to a flush thread.
        TWorkerPool flushes(std::max(kFlushThreads, options_.Workers));
        TWorkerPool workers(options_.Workers ? options_.Workers : MachineWorkerCount());
        const std::size_t ahead = 2 * workers.Size();
        TOrderedJobs<std::shared_ptr<TLoadedStep>> loads(
            workers, total,
            [this](std::size_t i) {
                return readInTurn_[i] ? std::shared_ptr<TLoadedStep>() : Load(i);
            },
            ahead);
        for (std::size_t i = 0; i < total; ++i) {
            TPending p{i, loads.Next(), {}, {}, {}};
            if (!p.Step) {
                // It may be one of the files written before it: read it as they left it.
                EmitThrough(i);
                p.Step = Load(i);
            }
            if (p.Step->Loaded()) Write(p, workers, flushes);
            pending_.push_back(std::move(p));
            while (!pending_.empty() && (pending_.size() > ahead || Ready(pending_.front())))
                EmitFront();
        }
        while (!pending_.empty()) EmitFront();
    }

    if (progress_)
        err_ << "\r\x1b[K" << total << " protocols, " << (anyFailed_ ? "some failed" : "all done")
             << "\n";
    if (options_.Summary) {
        try {
            if (workbook_)
                WriteSummaryWorkbook(*options_.Summary, std::move(rows_), norms_.get());
            else
                WriteFileAtomically(*options_.Summary, summary_);
        } catch (const Exception& e) {
            err_ << Utf8(*options_.Summary) << ": " << Cp1251ToUtf8(FailureText(e.Message()))
                 << "\n";
            anyFailed_ = true;
        }
    }
    return anyFailed_ ? 1 : 0;
}

}  // namespace

int RunBatch(const TBatchOptions& options, std::ostream& err, const TChartWriter* charts,
             bool showProgress, TPageWriter* page) {
    return TBatchRun(options, err, charts, showProgress, page).Run();
}

}  // namespace orvix::batch
