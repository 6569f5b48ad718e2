#include "protocol_steps.h"

#include <new>
#include <stdexcept>
#include <system_error>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/staged_files.h"
#include "export/gif_encoder.h"
#include "protocol/output_names.h"
#include "protocol/points_csv.h"

namespace orvix::batch {
namespace fs = std::filesystem;

namespace {

// Charts without windows: what a protocol fills when no pictures are made.
class TWindowlessCharts final : public TProtocolCharts {
  public:
    TTempoPlot& Tempo() override { return charts_.Tempo; }
    TSearchTimePlot& Search() override { return charts_.Search; }
    std::pair<TRgbImage, TRgbImage> Pictures() override {
        throw std::logic_error("charts without windows make no pictures");
    }

  private:
    TDetachedCharts charts_;
};

// The message of a failure as the message box shows it, or nothing for other exceptions
// (which pass on).
template <class F>
std::string FailureOf(F&& attempt) {
    try {
        attempt();
    } catch (const Exception& e) {
        return FailureText(e.Message());
    } catch (const std::bad_alloc&) {
        return FailureText(msg::kOutOfMemory);
    }
    return {};
}

// A loaded protocol's files, made and staged, waiting to be committed.
struct TStagedOutputs {
    TStagedFiles Files;
    std::vector<fs::path> Created;  // the targets that did not exist before
    fs::path ReportFile;

    void RemoveCreated() noexcept {
        for (const fs::path& p : Created) {
            std::error_code ignored;
            fs::remove(p, ignored);
        }
    }
};

}  // namespace

TLoadedStep LoadProtocol(const fs::path& protocol, const TBatchOptions& options,
                         const TChartWriter* charts, const TBatchNorms* norms) {
    TLoadedStep step;
    step.Outcome.Protocol = protocol;
    step.Outcome.Message = FailureOf([&] {
        // Each protocol is shown in charts as a window shows its first load after start-up.
        step.Load = LoadAndAnalyse(protocol);
        step.Outcome.FileTag = step.Load->FileTag;
        step.Outcome.Subject = step.Load->Subject;
        step.Pictures = charts != nullptr;
        step.Charts = charts ? charts->NewCharts() : std::make_unique<TWindowlessCharts>();
        TTempoPlot& tempo = step.Charts->Tempo();
        TSearchTimePlot& search = step.Charts->Search();
        tempo.Chart().DecimalSeparator = options.Decimal;
        search.Chart().DecimalSeparator = options.Decimal;
        ShowLoad(*step.Load, step.Report, tempo, search);
        step.Outcome.HasResult = true;
    });
    if (step.Outcome.HasResult && norms) {
        step.Norms = norms->InputFor(protocol);
        // Only a complete analysis has figures to score (the page shows no profile either).
        // The figures are computed here, on the worker thread, once for the scores and the
        // summary.
        step.Figures = stats::FigureCells(step.Load->Analysis.Result);
        if (step.Load->Analysis.Stopped == TAnalysisStep::Done)
            step.Scores = norms->Score(*step.Norms, *step.Figures);
    }
    if (!step.Outcome.HasResult) {
        step.Load.reset();
        step.Charts.reset();
    }
    return step;
}

std::vector<fs::path> OutputFiles(const TBatchOptions& options, const std::string& stem,
                                  bool charts, bool page) {
    std::vector<fs::path> files{OutputPath(options.OutDir, stem, output::kReport)};
    if (options.Points) files.push_back(OutputPath(options.OutDir, stem, output::kPoints));
    if (options.Pdf && page) files.push_back(OutputPath(options.OutDir, stem, output::kPdf));
    if (charts) {
        files.push_back(OutputPath(options.OutDir, stem, output::kTempoPicture));
        files.push_back(OutputPath(options.OutDir, stem, output::kSearchPicture));
    }
    return files;
}

TCommit StageOutputs(TLoadedStep& step, const std::string& stem, const TBatchOptions& options,
                     TPageWriter* page) {
    const bool charts = step.Pictures;
    const std::vector<fs::path> files = OutputFiles(options, stem, charts, page != nullptr);
    auto staged = std::make_shared<TStagedOutputs>();
    staged->ReportFile = files.front();
    for (const fs::path& p : files) {
        std::error_code ec;
        if (!fs::exists(p, ec)) staged->Created.push_back(p);
    }
    // Made and staged in the order the files are written; the first failure ends it.
    std::size_t next = 0;
    const std::string message = FailureOf([&] {
        const TLoadedProtocol& load = *step.Load;
        staged->Files.Add(files[next++], step.Report.Ref());
        if (options.Points)
            staged->Files.Add(files[next++], PointsCsv(load.Protocol, load.Analysis.Result));
        if (options.Pdf && page)
            staged->Files.Add(files[next++], page->Page(load, step.Report.Ref(),
                                                        step.Norms ? &*step.Norms : nullptr));
        if (charts) {
            auto [tempo, search] = step.Charts->Pictures();
            staged->Files.Add(files[next++], EncodeGif(std::move(tempo)));
            staged->Files.Add(files[next++], EncodeGif(std::move(search)));
        }
    });
    step.Charts.reset();
    if (!message.empty()) {
        // As if the files before the failing one had been written: those that replaced a file
        // keep their new content, those that were new are removed again.
        for (const fs::path& p : staged->Created) staged->Files.Drop(p);
        FailureOf([&] { staged->Files.Commit(); });
        return [message] { return TWritten{{}, message}; };
    }
    return [staged] {
        TWritten written;
        written.Message = FailureOf([&] { staged->Files.Commit(); });
        if (written.Message.empty())
            written.ReportFile = staged->ReportFile;
        else
            staged->RemoveCreated();
        return written;
    };
}

TProtocolOutcome FinishOutcome(TLoadedStep& step, const TWritten& written) {
    TProtocolOutcome outcome = std::move(step.Outcome);
    if (step.Load) {
        // The summary shows the result whether or not the files could be written.
        outcome.Result = std::move(step.Load->Analysis.Result);
        outcome.Scores = std::move(step.Scores);
        outcome.Figures = std::move(step.Figures);
        step.Load.reset();
        outcome.ReportFile = written.ReportFile;
        outcome.Message = written.Message;
        outcome.Ok = written.Message.empty();
    }
    return outcome;
}

TProtocolOutcome ProcessProtocol(const fs::path& protocol, const TBatchOptions& options,
                                 const TChartWriter* charts, TRunNames& names, TPageWriter* page,
                                 const TBatchNorms* norms) {
    TLoadedStep step = LoadProtocol(protocol, options, charts, norms);
    if (!step.Loaded()) return FinishOutcome(step, {});
    // A name this run gave out already gets a number: nothing this run wrote is replaced.
    const std::string& tag = step.Outcome.FileTag;
    const std::string stem = names.Next(tag);
    if (stem != tag) step.Outcome.SameNamesAs = *names.Owner(tag);
    const TWritten written = StageOutputs(step, stem, options, page)();
    if (written.Message.empty()) names.Take(stem, protocol);
    return FinishOutcome(step, written);
}

}  // namespace orvix::batch
