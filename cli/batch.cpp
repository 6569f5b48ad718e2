#include "batch.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/numbers.h"
#if ORVIX_BATCH_WORKBOOK
#include "export/workbook.h"
#endif
#include "protocol/load.h"
#include "protocol/output_names.h"
#include "protocol/points_csv.h"
#include "protocol/report.h"
#include "stats/retest.h"
#include "stats/stats_text.h"
#include "stats/summary_figures.h"
#include "stats/work_curve.h"

#if ORVIX_COMPARE_WARNINGS
#include "export/compare_warning.h"
#endif

namespace orvix::batch {
namespace fs = std::filesystem;

const char* const kUsage =
    "usage: orvix-kl-batch [--decimal=C] [--out=DIR] [--charts] [--pdf] [--points] "
    "[--summary=FILE.csv|FILE.xlsx] [--norms=FILE [--db=FILE]] PROTOCOL...\n"
    "       orvix-kl-batch --compare=EARLIER [--decimal=C] [--out=DIR] [--pdf] "
    "[--norms=FILE [--db=FILE]] PROTOCOL\n";

namespace {

// The summary's worksheet.
constexpr const char* kSummarySheet = "Сводка";

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
        } else if (a.rfind("--norms=", 0) == 0 && a.size() > 8) {
            options.Norms = PathFromUtf8(a.substr(8));
        } else if (a.rfind("--db=", 0) == 0 && a.size() > 5) {
            options.Database = PathFromUtf8(a.substr(5));
        } else {
            err << "orvix-kl-batch: unknown option " << a << "\n" << kUsage;
            return std::nullopt;
        }
    }
    if (options.Protocols.empty()) {
        err << "orvix-kl-batch: no protocol given\n" << kUsage;
        return std::nullopt;
    }
    if (options.Database && !options.Norms) {
        err << "orvix-kl-batch: --db is used only with --norms\n" << kUsage;
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

std::vector<std::string> SummaryColumns(const TBatchNorms* norms) {
    std::vector<std::string> columns{"file", "FileTag", "subject"};
    columns.insert(columns.end(), stats::kFigureColumns.begin(), stats::kFigureColumns.end());
    if (norms) {
        std::vector<std::string> scores = norms->Columns();
        columns.insert(columns.end(), std::make_move_iterator(scores.begin()),
                       std::make_move_iterator(scores.end()));
    }
    columns.insert(columns.end(), {"report file", "status"});
    return columns;
}

std::vector<stats::TCell> SummaryCells(const TProtocolOutcome& o, const TBatchNorms* norms) {
    auto text = [](std::string utf8) {
        return utf8.empty() ? stats::TCell{} : stats::TCell::Of(std::move(utf8));
    };
    std::vector<stats::TCell> cells{text(Utf8(o.Protocol)), text(Cp1251ToUtf8(o.FileTag)),
                                    text(Cp1251ToUtf8(o.Subject))};
    if (o.HasResult && o.Figures) {
        cells.insert(cells.end(), o.Figures->begin(), o.Figures->end());
    } else if (o.HasResult) {
        for (stats::TCell& cell : stats::FigureCells(o.Result)) cells.push_back(std::move(cell));
    } else {
        cells.resize(cells.size() + stats::kFigureColumns.size());
    }
    if (norms) {
        for (stats::TCell& cell : norms->Cells(o.Scores ? &*o.Scores : nullptr))
            cells.push_back(std::move(cell));
    }
    cells.push_back(text(o.ReportFile.empty() ? std::string() : Utf8(o.ReportFile)));
    cells.push_back(text(o.Ok ? "ok" : Cp1251ToUtf8(o.Message)));
    return cells;
}

namespace {

template <class T, class F>
std::string CsvLine(const std::vector<T>& fields, F field) {
    std::string line;
    for (const T& f : fields) {
        if (&f != &fields.front()) line.push_back(',');
        line += field(f);
    }
    line.push_back('\n');
    return line;
}

}  // namespace

std::string SummaryHeader(const TBatchNorms* norms) {
    return CsvLine(SummaryColumns(norms), [](const std::string& c) { return stats::CsvField(c); });
}

std::string SummaryRow(const TProtocolOutcome& o, const TBatchNorms* norms) {
    return CsvLine(SummaryCells(o, norms), [](const stats::TCell& c) { return stats::CsvText(c); });
}

bool IsWorkbookName(const fs::path& path) {
    std::string ending = Utf8(path.extension());
    for (char& c : ending)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ending == ".xlsx";
}

void WriteSummaryWorkbook(const fs::path& target,
                          [[maybe_unused]] std::vector<std::vector<stats::TCell>> rows,
                          [[maybe_unused]] const TBatchNorms* norms) {
#if ORVIX_BATCH_WORKBOOK
    workbook::WriteWorkbook(target, {SummaryColumns(norms), std::move(rows)}, kSummarySheet);
#else
    throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
#endif
}

bool CanWriteWorkbooks() noexcept {
    return ORVIX_BATCH_WORKBOOK != 0;
}

namespace {

// "file — subject" (UTF-8), how the comparison names a test.
std::string TestName(const fs::path& protocol, const TLoadedProtocol& load) {
    return Utf8(protocol.filename()) + " — " + Cp1251ToUtf8(load.Subject);
}

}  // namespace

int RunComparison(const TBatchOptions& options, std::ostream& out, std::ostream& err,
                  TPageWriter* page) {
    bool badNorms = false;
    const std::unique_ptr<TBatchNorms> norms = PrepareNorms(options, err, badNorms);
    if (badNorms) return 2;
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
    // The change is measured against the norm group the examinee started in: the rows that
    // match them at the earlier test.
    std::optional<stats::TNormInput> normInput;
    if (norms) {
        std::optional<stats::TDate> earlierDate;
#if ORVIX_COMPARE_WARNINGS
        earlierDate = stats::ParseDate(ComparedTestOf(earlier, earlierPath).Date);
#endif
        normInput = norms->ComparisonInput(earlierPath, laterPath, earlierDate);
    }
    const stats::TNormInput* normsUsed = normInput ? &*normInput : nullptr;
    const stats::TRetest retest =
        stats::CompareTests(earlier.Analysis.Result, later.Analysis.Result, normsUsed);
    std::vector<std::string> warnings;
#if ORVIX_COMPARE_WARNINGS
    // Another examinee or dates out of order: said first, as the window and the page say it.
    warnings = ComparisonWarnings(earlier, earlierPath, later, laterPath);
    for (const std::string& warning : warnings) out << warning << "\n";
    if (!warnings.empty()) out << "\n";
#endif
    out << stats::RetestText(retest, TestName(earlierPath, earlier), TestName(laterPath, later),
                             options.Decimal)
        << std::flush;
    if (options.Pdf && page) {
        const fs::path target = OutputPath(options.OutDir, later.FileTag, output::kComparePdf);
        try {
            std::error_code ec;
            fs::create_directories(options.OutDir, ec);
            page->WriteComparison(earlier, later, warnings, target, normsUsed);
        } catch (const Exception& e) {
            err << Utf8(target) << ": " << Cp1251ToUtf8(FailureText(e.Message())) << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace orvix::batch
