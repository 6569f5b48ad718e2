// orvix-kl-batch: loads and analyses protocols exactly as the window's Data command does and
// writes, for each, the report that Save › Analysis would write after that load.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/run_names.h"
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
    std::vector<std::filesystem::path> Protocols;
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
};

// The chart pictures (--charts): charts that can be rendered plug in here. Without them each
// protocol fills a pair of charts without windows, which meets the same failures.
class TChartWriter {
  public:
    virtual ~TChartWriter() = default;
    // Charts in their start-up state for the next protocol.
    virtual void Reset() = 0;
    virtual TTempoPlot& Tempo() = 0;
    virtual TSearchTimePlot& Search() = 0;
    // Writes both pictures after a successful load.
    virtual void Write(const std::filesystem::path& tempoPicture,
                       const std::filesystem::path& searchPicture) = 0;
};

// The report page (--pdf): a writer that paints it plugs in here.
class TPageWriter {
  public:
    virtual ~TPageWriter() = default;
    // Writes the page of `load` with `report` (Windows-1251) as its report text.
    virtual void Write(const TLoadedProtocol& load, const std::string& report,
                       const std::filesystem::path& target) = 0;
    // Writes the comparison page of two complete loads.
    virtual void WriteComparison(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                                 const std::filesystem::path& target) = 0;
};

// Loads, analyses and writes one protocol, under a name `names` has not given out yet. The
// page is written only when `options.Pdf` is set, and then `page` must be given.
TProtocolOutcome ProcessProtocol(const std::filesystem::path& protocol,
                                 const TBatchOptions& options, TChartWriter* charts,
                                 TRunNames& names, TPageWriter* page = nullptr);

// An output file of a protocol: DIR/<FileTag made safe><ending>, `ending` one of output::k*.
std::filesystem::path OutputPath(const std::filesystem::path& dir, const std::string& fileTag,
                                 std::string_view ending);

// Runs the whole batch; returns the exit status (0 all succeeded, 1 any failed).
int RunBatch(const TBatchOptions& options, std::ostream& err, TChartWriter* charts,
             bool showProgress, TPageWriter* page = nullptr);

// --compare: loads both protocols as the window's Data command does, writes the comparison
// (UTF-8) to `out` and, with --pdf, the page to <later FileTag> KL.compare.pdf in the output
// folder. A protocol that fails is reported on `err` as in a batch run. Returns the exit status.
int RunComparison(const TBatchOptions& options, std::ostream& out, std::ostream& err,
                  TPageWriter* page = nullptr);

// The summary's columns and one protocol's row of cells (a text left empty is an empty cell).
std::vector<std::string> SummaryColumns();
std::vector<stats::TCell> SummaryCells(const TProtocolOutcome& outcome);
// One CSV row (UTF-8) of the summary, and its header.
std::string SummaryHeader();
std::string SummaryRow(const TProtocolOutcome& outcome);

// Whether the summary `path` names is written as a workbook: a name ending in ".xlsx" (in any
// letter case). Any other name gets the CSV.
bool IsWorkbookName(const std::filesystem::path& path);
// Writes the summary's rows as a workbook (see workbook::WriteWorkbook); a build that writes
// no workbooks fails as a target that cannot be created.
void WriteSummaryWorkbook(const std::filesystem::path& target,
                          std::vector<std::vector<stats::TCell>> rows);
// Whether this build writes workbooks.
bool CanWriteWorkbooks() noexcept;

}  // namespace orvix::batch
