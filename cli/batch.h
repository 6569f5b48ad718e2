// orvix-kl-batch: loads and analyses protocols exactly as the window's Data command does and
// writes, for each, the report that Save › Analysis would write after that load.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "protocol/analysis.h"
#include "protocol/report.h"

namespace orvix::batch {

struct TBatchOptions {
    char Decimal = '.';
    std::filesystem::path OutDir = ".";
    bool Charts = false;
    std::optional<std::filesystem::path> Summary;
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
};

// Hook for the chart pictures (the chart views plug in here).
class TChartWriter {
  public:
    virtual ~TChartWriter() = default;
    // Fills its charts during the analysis.
    virtual TAnalysisViews* Views() = 0;
    // Called before a load, as the window empties its charts.
    virtual void Reset() = 0;
    // Writes the pictures after a successful load; `stem` is DIR/<FileTag> KL.
    virtual void Write(const std::filesystem::path& stem) = 0;
    // The files Write makes for `stem`.
    virtual std::vector<std::filesystem::path> Files(const std::filesystem::path& stem) const = 0;
};

// Loads, analyses and writes one protocol.
TProtocolOutcome ProcessProtocol(const std::filesystem::path& protocol,
                                 const TBatchOptions& options, TChartWriter* charts);

// The report file of a protocol: DIR/<FileTag made safe> KL.txt.
std::filesystem::path ReportPath(const std::filesystem::path& dir, const std::string& fileTag);

// Runs the whole batch; returns the exit status (0 all succeeded, 1 any failed).
int RunBatch(const TBatchOptions& options, std::ostream& err, TChartWriter* charts,
             bool showProgress);

// One CSV row (UTF-8) of the summary, and its header.
std::string SummaryHeader();
std::string SummaryRow(const TProtocolOutcome& outcome);

}  // namespace orvix::batch
