// One protocol's way through a batch run, in the two steps a worker thread can take: its load
// (everything that does not depend on the name its files get) and the writing of its files
// under the name the run gave it. A run names the protocols one after the other in their
// order; the steps of different protocols may run at the same time.
#pragma once

#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch.h"

namespace orvix::batch {

// A protocol after its load: the outcome so far, and on success what its files are made of.
struct TLoadedStep {
    TProtocolOutcome Outcome;  // Protocol, FileTag, Subject; Message when the load failed
    std::optional<TLoadedProtocol> Load;
    std::unique_ptr<TProtocolCharts> Charts;
    bool Pictures = false;  // the charts are a chart writer's, to be written as pictures
    TTextLines Report;
    // With norms: what the page scores the test against, and the summary's scores.
    std::optional<stats::TNormInput> Norms;
    std::optional<TProtocolScores> Scores;
    std::optional<std::vector<stats::TCell>> Figures;

    bool Loaded() const noexcept { return Outcome.HasResult; }
};

// Loads and analyses `protocol` as the window's Data command does and fills the report and a
// fresh pair of charts (`charts`' or, without it, charts without windows); with `norms`, scores
// a complete analysis. Failures end up in the outcome's message; nothing is thrown.
TLoadedStep LoadProtocol(const std::filesystem::path& protocol, const TBatchOptions& options,
                         const TChartWriter* charts, const TBatchNorms* norms = nullptr);

// The files a loaded protocol writes under `stem`, in the order they are written.
std::vector<std::filesystem::path> OutputFiles(const TBatchOptions& options,
                                               const std::string& stem, bool charts, bool page);

// What became of a loaded protocol's files: the report written, or the failure's message.
struct TWritten {
    std::filesystem::path ReportFile;
    std::string Message;  // empty on success
};

// Makes the files of a loaded protocol under `stem` and stages them; then `commit` flushes
// them to the disk and renames them over their targets (on whatever thread it is called).
// A protocol whose files cannot all be written leaves none of them: files it would have made
// are removed again, files it would have replaced before the failure get their new content,
// exactly as if each had been written in turn. The charts are released here.
using TCommit = std::function<TWritten()>;
TCommit StageOutputs(TLoadedStep& step, const std::string& stem, const TBatchOptions& options,
                     TPageWriter* page);

// The outcome of a protocol once its files are written (or not): its figures are taken out of
// `step`.
TProtocolOutcome FinishOutcome(TLoadedStep& step, const TWritten& written);

}  // namespace orvix::batch
