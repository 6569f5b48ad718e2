#include "batch.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/numbers.h"
#include "protocol/load.h"
#include "protocol/output_names.h"
#include "protocol/points_csv.h"
#include "protocol/report.h"
#include "stats/retest.h"
#include "stats/stats_text.h"
#include "stats/summary_figures.h"
#include "stats/work_curve.h"

namespace orvix::batch {
namespace fs = std::filesystem;

const char* const kUsage =
    "usage: orvix-kl-batch [--decimal=C] [--out=DIR] [--charts] [--pdf] [--points] "
    "[--summary=FILE.csv] PROTOCOL...\n"
    "       orvix-kl-batch --compare=EARLIER [--decimal=C] [--out=DIR] [--pdf] PROTOCOL\n";

namespace {

// The warning for a protocol whose files would replace an earlier one's (UTF-8).
constexpr const char* kSameNamesWarning = "предупреждение: те же имена файлов, что у ";
constexpr const char* kWrittenAs = "записано под именем ";

fs::path PathFromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

}  // namespace

std::optional<TBatchOptions> ParseArguments(const std::vector<std::string>& args,
                                            char defaultDecimal, std::ostream& err) {
    TBatchOptions options;
    options.Decimal = defaultDecimal;
    bool onlyFiles = false;
    for (const std::string& a : args) {
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            options.Protocols.push_back(PathFromUtf8(a));
        } else if (a == "--") {
            onlyFiles = true;
        } else if (a.rfind("--decimal=", 0) == 0) {
            const std::string v = a.substr(10);
            const std::string c = Utf8ToCp1251(v);
            if (c.size() != 1) {
                err << "orvix-kl-batch: --decimal takes one character\n" << kUsage;
                return std::nullopt;
            }
            options.Decimal = c[0];
        } else if (a.rfind("--out=", 0) == 0 && a.size() > 6) {
            options.OutDir = PathFromUtf8(a.substr(6));
        } else if (a == "--charts") {
            options.Charts = true;
        } else if (a == "--pdf") {
            options.Pdf = true;
        } else if (a == "--points") {
            options.Points = true;
        } else if (a.rfind("--summary=", 0) == 0 && a.size() > 10) {
            options.Summary = PathFromUtf8(a.substr(10));
        } else if (a.rfind("--compare=", 0) == 0 && a.size() > 10) {
            options.Compare = PathFromUtf8(a.substr(10));
        } else {
            err << "orvix-kl-batch: unknown option " << a << "\n" << kUsage;
            return std::nullopt;
        }
    }
    if (options.Protocols.empty()) {
        err << "orvix-kl-batch: no protocol given\n" << kUsage;
        return std::nullopt;
    }
    if (options.Compare &&
        (options.Protocols.size() != 1 || options.Charts || options.Points || options.Summary)) {
        err << "orvix-kl-batch: --compare takes one PROTOCOL and neither --charts, --points nor "
               "--summary\n"
            << kUsage;
        return std::nullopt;
    }
    return options;
}

fs::path OutputPath(const fs::path& dir, const std::string& fileTag, std::string_view ending) {
    return dir / PathFromUtf8(Cp1251ToUtf8(output::FileName(fileTag, ending)));
}

namespace {

// Writes the report (and the pictures) of a load that succeeded. A protocol whose files cannot
// all be written leaves none of them: the files this run made are removed again (files it
// replaced keep their new content).
fs::path WriteOutputs(const TLoadedProtocol& load, const TTextLines& report,
                      const std::string& stem, const TBatchOptions& options, TChartWriter* charts,
                      TPageWriter* page) {
    const fs::path reportPath = OutputPath(options.OutDir, stem, output::kReport);
    const fs::path tempoPath = OutputPath(options.OutDir, stem, output::kTempoPicture);
    const fs::path searchPath = OutputPath(options.OutDir, stem, output::kSearchPicture);
    const fs::path pdfPath = OutputPath(options.OutDir, stem, output::kPdf);
    const fs::path pointsPath = OutputPath(options.OutDir, stem, output::kPoints);
    const bool writePage = options.Pdf && page;
    std::vector<fs::path> outputs{reportPath};
    if (charts) outputs.insert(outputs.end(), {tempoPath, searchPath});
    if (writePage) outputs.push_back(pdfPath);
    if (options.Points) outputs.push_back(pointsPath);
    std::vector<fs::path> created;
    for (const fs::path& p : outputs) {
        std::error_code ec;
        if (!fs::exists(p, ec)) created.push_back(p);
    }
    try {
        SaveLines(report.Ref(), reportPath);
        if (options.Points)
            WriteFileAtomically(pointsPath, PointsCsv(load.Protocol, load.Analysis.Result));
        if (writePage) page->Write(load, report.Ref(), pdfPath);
        if (charts) charts->Write(tempoPath, searchPath);
    } catch (...) {
        for (const fs::path& p : created) {
            std::error_code ignored;
            fs::remove(p, ignored);
        }
        throw;
    }
    return reportPath;
}

}  // namespace

TProtocolOutcome ProcessProtocol(const fs::path& protocol, const TBatchOptions& options,
                                 TChartWriter* charts, TRunNames& names, TPageWriter* page) {
    TProtocolOutcome outcome;
    outcome.Protocol = protocol;
    try {
        // Each protocol is shown in charts as a window shows its first load after start-up.
        TLoadedProtocol load = LoadAndAnalyse(protocol);
        outcome.FileTag = load.FileTag;
        outcome.Subject = load.Subject;
        std::optional<TDetachedCharts> detached;
        if (charts)
            charts->Reset();
        else
            detached.emplace();
        TTempoPlot& tempo = charts ? charts->Tempo() : detached->Tempo;
        TSearchTimePlot& search = charts ? charts->Search() : detached->Search;
        tempo.Chart().DecimalSeparator = options.Decimal;
        search.Chart().DecimalSeparator = options.Decimal;
        TTextLines report;
        ShowLoad(load, report, tempo, search);
        outcome.HasResult = true;
        // A name this run gave out already gets a number: nothing this run wrote is replaced.
        const std::string stem = names.Next(outcome.FileTag);
        if (stem != outcome.FileTag) outcome.SameNamesAs = *names.Owner(outcome.FileTag);
        // The summary shows the result whether or not the files could be written.
        try {
            outcome.ReportFile = WriteOutputs(load, report, stem, options, charts, page);
        } catch (...) {
            outcome.Result = std::move(load.Analysis.Result);
            throw;
        }
        outcome.Result = std::move(load.Analysis.Result);
        names.Take(stem, protocol);
        outcome.Ok = true;
    } catch (const Exception& e) {
        outcome.Message = FailureText(e.Message());
    } catch (const std::bad_alloc&) {
        outcome.Message = FailureText(msg::kOutOfMemory);
    }
    return outcome;
}

std::string SummaryHeader() {
    std::string header = "file,FileTag,subject";
    for (const std::string_view column : stats::kFigureColumns)
        header.append(",").append(stats::CsvField(column));
    return header + ",report file,status\n";
}

std::string SummaryRow(const TProtocolOutcome& o) {
    std::string row = stats::CsvField(Utf8(o.Protocol));
    auto add = [&](const std::string& field) { row.append(",").append(field); };
    add(stats::CsvField(Cp1251ToUtf8(o.FileTag)));
    add(stats::CsvField(Cp1251ToUtf8(o.Subject)));
    if (o.HasResult) {
        for (const stats::TCell& cell : stats::FigureCells(o.Result)) add(stats::CsvText(cell));
    } else {
        for (std::size_t i = 0; i < stats::kFigureColumns.size(); ++i) add("");
    }
    add(stats::CsvField(o.ReportFile.empty() ? std::string() : Utf8(o.ReportFile)));
    add(stats::CsvField(o.Ok ? "ok" : Cp1251ToUtf8(o.Message)));
    row.push_back('\n');
    return row;
}

namespace {

// "file — subject" (UTF-8), how the comparison names a test.
std::string TestName(const fs::path& protocol, const TLoadedProtocol& load) {
    return Utf8(protocol.filename()) + " — " + Cp1251ToUtf8(load.Subject);
}

}  // namespace

int RunComparison(const TBatchOptions& options, std::ostream& out, std::ostream& err,
                  TPageWriter* page) {
    SetDecimalChar(options.Decimal);
    const fs::path& earlierPath = *options.Compare;
    const fs::path& laterPath = options.Protocols.front();
    std::optional<TLoadedProtocol> loads[2];
    bool failed = false;
    for (int i = 0; i < 2; ++i) {
        const fs::path& protocol = i == 0 ? earlierPath : laterPath;
        std::string message;
        try {
            loads[i] = LoadAsDataCommand(protocol, options.Decimal);
        } catch (const Exception& e) {
            message = FailureText(e.Message());
        } catch (const std::bad_alloc&) {
            message = FailureText(msg::kOutOfMemory);
        }
        if (!message.empty()) {
            err << Utf8(protocol) << ": " << Cp1251ToUtf8(message) << "\n";
            failed = true;
        }
    }
    if (failed) return 1;
    const TLoadedProtocol& earlier = *loads[0];
    const TLoadedProtocol& later = *loads[1];
    const stats::TRetest retest =
        stats::CompareTests(earlier.Analysis.Result, later.Analysis.Result);
    out << stats::RetestText(retest, TestName(earlierPath, earlier), TestName(laterPath, later),
                             options.Decimal)
        << std::flush;
    if (options.Pdf && page) {
        const fs::path target = OutputPath(options.OutDir, later.FileTag, output::kComparePdf);
        try {
            std::error_code ec;
            fs::create_directories(options.OutDir, ec);
            page->WriteComparison(earlier, later, target);
        } catch (const Exception& e) {
            err << Utf8(target) << ": " << Cp1251ToUtf8(FailureText(e.Message())) << "\n";
            return 1;
        }
    }
    return 0;
}

int RunBatch(const TBatchOptions& options, std::ostream& err, TChartWriter* charts,
             bool showProgress, TPageWriter* page) {
    SetDecimalChar(options.Decimal);
    std::error_code ec;
    fs::create_directories(options.OutDir, ec);
    std::string summary = SummaryHeader();
    bool anyFailed = false;
    TRunNames names;
    const std::size_t total = options.Protocols.size();
    for (std::size_t i = 0; i < total; ++i) {
        const fs::path& protocol = options.Protocols[i];
        if (showProgress)
            err << "\r[" << (i + 1) << "/" << total << "] " << Utf8(protocol) << "\x1b[K"
                << std::flush;
        const TProtocolOutcome outcome = ProcessProtocol(protocol, options, charts, names, page);
        if (!outcome.Ok) {
            anyFailed = true;
            if (showProgress) err << "\r\x1b[K";
            err << Utf8(protocol) << ": " << Cp1251ToUtf8(outcome.Message) << "\n";
        } else if (outcome.SameNamesAs) {
            if (showProgress) err << "\r\x1b[K";
            err << Utf8(protocol) << ": " << kSameNamesWarning << Utf8(*outcome.SameNamesAs) << "; "
                << kWrittenAs << Utf8(outcome.ReportFile.filename()) << "\n";
        }
        summary += SummaryRow(outcome);
    }
    if (showProgress)
        err << "\r\x1b[K" << total << " protocols, " << (anyFailed ? "some failed" : "all done")
            << "\n";
    if (options.Summary) {
        try {
            WriteFileAtomically(*options.Summary, summary);
        } catch (const Exception& e) {
            err << Utf8(*options.Summary) << ": " << Cp1251ToUtf8(FailureText(e.Message())) << "\n";
            anyFailed = true;
        }
    }
    return anyFailed ? 1 : 0;
}

}  // namespace orvix::batch
