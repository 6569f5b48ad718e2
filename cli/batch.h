// orvix-kl-batch: loads and analyses protocols exactly as the window's Data command does and
// writes, for each, the report that Save › Analysis would write after that load.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/batch_norms.h"
#include "cli/run_names.h"
#include "export/rgb_image.h"
#include "plots/result_plots.h"
#include "protocol/analysis.h"
#include "protocol/load.h"
#include "stats/summary_figures.h"

namespace orvix::batch {

struct TBatchOptions {
    char Decimal = '.';
    std::filesystem::path OutDir = ".";
    bool Charts = false;
    bool Pdf = false;     // the report page, <FileTag> KL.pdf
    bool Points = false;  // the per-selection table, <FileTag> KL.csv
    std::optional<std::filesystem::path> Summary;
    // --compare=EARLIER: the one protocol given is compared with this earlier test of the same
    // examinee; the comparison goes to the standard output (and with --pdf to a page).
    std::optional<std::filesystem::path> Compare;
    // --norms=FILE: the summary, the pages and the comparison score the tests against this
    // norm table; --db=FILE: with the examinees' data from this archive.
    std::optional<std::filesystem::path> Norms;
    std::optional<std::filesystem::path> Database;
    std::vector<std::filesystem::path> Protocols;
    // The worker threads of a batch run; 0: one per hardware thread.
    std::size_t Workers = 0;
};

// Parses the command line (without the program name). Returns nothing and writes a message
// to `err` for bad usage.
std::optional<TBatchOptions> ParseArguments(const std::vector<std::string>& args,
                                            char defaultDecimal, std::ostream& err);

extern const char* const kUsage;

// What became of one protocol.
struct TProtocolOutcome {
    std::filesystem::path Protocol;
    bool Ok = false;
    std::string FileTag;  // Windows-1251
    std::string Subject;  // Windows-1251
    std::string Message;  // the failure text as the message box shows it (Windows-1251)
    bool HasResult = false;
    TAnalysisResult Result;
    std::filesystem::path ReportFile;  // the report written, empty when none was
    // The earlier protocol of this run whose files would have had the same names (this one's
    // then carry a number).
    std::optional<std::filesystem::path> SameNamesAs;
    // With --norms, the scores of a complete analysis, and the figures they were computed from
    // (stats::FigureCells of Result), so that the summary does not compute them again.
    std::optional<TProtocolScores> Scores;
    std::optional<std::vector<stats::TCell>> Figures;
};

// The charts of one protocol: filled by its load, then painted as its two pictures.
class TProtocolCharts {
  public:
    virtual ~TProtocolCharts() = default;
    virtual TTempoPlot& Tempo() = 0;
    virtual TSearchTimePlot& Search() = 0;
    // The five-second chart and the search-time chart as pictures, after a successful load.
    virtual std::pair<TRgbImage, TRgbImage> Pictures() = 0;
};

// The chart pictures (--charts): charts that can be rendered plug in here. Without them each
// protocol fills a pair of charts without windows, which meets the same failures.
class TChartWriter {
  public:
    virtual ~TChartWriter() = default;
    // A pair of charts in their start-up state for the next protocol. Called from worker
    // threads, several at once.
    virtual std::unique_ptr<TProtocolCharts> NewCharts() const = 0;
};

// The report page (--pdf): a writer that paints it plugs in here.
class TPageWriter {
  public:
    virtual ~TPageWriter() = default;
    // The page of `load` with `report` (Windows-1251) as its report text, as PDF file bytes;
    // with `norms`, the test's profile against them. Called from worker threads, several at
    // once.
    virtual std::string Page(const TLoadedProtocol& load, const std::string& report,
                             const stats::TNormInput* norms) = 0;
    // Writes the comparison page of two complete loads with its warnings (UTF-8 lines); with
    // `norms`, the reliable change.
    virtual void WriteComparison(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                                 const std::vector<std::string>& warnings,
                                 const std::filesystem::path& target,
                                 const stats::TNormInput* norms) = 0;
};

// Loads, analyses and writes one protocol, under a name `names` has not given out yet, all on
// the calling thread. The page is written only when `options.Pdf` is set, and then `page` must
// be given. With `norms`, the outcome carries the scores and the page the profile.
TProtocolOutcome ProcessProtocol(const std::filesystem::path& protocol,
                                 const TBatchOptions& options, const TChartWriter* charts,
                                 TRunNames& names, TPageWriter* page = nullptr,
                                 const TBatchNorms* norms = nullptr);

// An output file of a protocol: DIR/<FileTag made safe><ending>, `ending` one of output::k*.
std::filesystem::path OutputPath(const std::filesystem::path& dir, const std::string& fileTag,
                                 std::string_view ending);

// Runs the whole batch; returns the exit status (0 all succeeded, 1 any failed, 2 the norm file
// or the archive of --norms and --db cannot be used: then nothing is written). Protocols are
// loaded, analysed and written on `options.Workers` threads; the files, their names, the
// messages on `err` (with the progress when `showProgress`), the summary and the status are
// those of running ProcessProtocol on each protocol in turn.
int RunBatch(const TBatchOptions& options, std::ostream& err, const TChartWriter* charts,
             bool showProgress, TPageWriter* page = nullptr);

// --compare: loads both protocols as the window's Data command does, writes the comparison
// (UTF-8) to `out`, led by its warnings (compare_warning.h) when there are any, and, with --pdf,
// the page to <later FileTag> KL.compare.pdf in the output folder. With --norms both also give
// the reliable change, against the rows that match the examinee at the earlier test. A protocol
// that fails is reported on `err` as in a batch run. Returns the exit status.
int RunComparison(const TBatchOptions& options, std::ostream& out, std::ostream& err,
                  TPageWriter* page = nullptr);

// The summary's columns and one protocol's row of cells (a text left empty is an empty cell);
// with `norms`, their scores' columns after the figures.
std::vector<std::string> SummaryColumns(const TBatchNorms* norms = nullptr);
std::vector<stats::TCell> SummaryCells(const TProtocolOutcome& outcome,
                                       const TBatchNorms* norms = nullptr);
// One CSV row (UTF-8) of the summary, and its header.
std::string SummaryHeader(const TBatchNorms* norms = nullptr);
std::string SummaryRow(const TProtocolOutcome& outcome, const TBatchNorms* norms = nullptr);

// Whether the summary `path` names is written as a workbook: a name ending in ".xlsx" (in any
// letter case). Any other name gets the CSV.
bool IsWorkbookName(const std::filesystem::path& path);
// Writes the summary's rows as a workbook (see workbook::WriteWorkbook); a build that writes
// no workbooks fails as a target that cannot be created.
void WriteSummaryWorkbook(const std::filesystem::path& target,
                          std::vector<std::vector<stats::TCell>> rows,
                          const TBatchNorms* norms = nullptr);
// Whether this build writes workbooks.
bool CanWriteWorkbooks() noexcept;

}  // namespace orvix::batch
