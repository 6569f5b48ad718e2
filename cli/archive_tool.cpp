#include "archive_tool.h"

#include <iostream>

#include "archive/archive.h"
#include "archive/private_file.h"
#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"

namespace orvix::archive_tool {
namespace fs = std::filesystem;
using archive::PathFromUtf8;
using archive::Utf8Path;

const char* const kArchiveUsage =
    "usage: orvix-kl-archive --db=FILE [--decimal=C] [--workers=N] scan DIR...\n"
    "       orvix-kl-archive --db=FILE [--pseudonyms] export OUT.csv|OUT.xlsx\n"
    "       orvix-kl-archive --db=FILE export-corrections OUT\n"
    "       orvix-kl-archive --db=FILE import-corrections IN\n"
    "       orvix-kl-archive --db=FILE import-norms NORMS.csv\n"
    "       orvix-kl-archive --db=FILE list-norms\n"
    "       orvix-kl-archive --db=FILE use-norms N|0\n"
    "       orvix-kl-archive --db=FILE remove-norms N\n"
    "       orvix-kl-archive --db=FILE local-norms --out=FILE.csv [--examinees=NAME[;NAME...]]\n"
    "                        [--from=YYYY-MM-DD] [--to=YYYY-MM-DD] [--norm-id=ID]\n";

namespace {

// A date of the form YYYY-MM-DD with plausible fields; the archive checks it no further.
bool IsoDateForm(const std::string& s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start <= list.size();) {
        auto end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string name = list.substr(start, end - start);
        if (name.find_first_not_of(' ') != std::string::npos) names.push_back(name);
        start = end + 1;
    }
    return names;
}

bool TakesNoPath(TCommand c) {
    return c == TCommand::ListNorms || c == TCommand::LocalNorms;
}

}  // namespace

std::optional<TArchiveOptions> ParseArchiveArguments(const std::vector<std::string>& args,
                                                     char defaultDecimal, std::ostream& err) {
    TArchiveOptions options;
    options.Decimal = defaultDecimal;
    std::optional<TCommand> command;
    bool onlyPaths = false;
    auto bad = [&](const std::string& why) -> std::optional<TArchiveOptions> {
        err << "orvix-kl-archive: " << why << "\n" << kArchiveUsage;
        return std::nullopt;
    };
    for (const std::string& a : args) {
        const bool option = !onlyPaths && a.size() > 1 && a[0] == '-';
        if (option && a == "--") {
            onlyPaths = true;
        } else if (option && a.rfind("--db=", 0) == 0 && a.size() > 5) {
            options.Database = PathFromUtf8(a.substr(5));
        } else if (option && a.rfind("--decimal=", 0) == 0) {
            const std::string c = Utf8ToCp1251(a.substr(10));
            if (c.size() != 1) return bad("--decimal takes one character");
            options.Decimal = c[0];
        } else if (option && a == "--pseudonyms") {
            options.Pseudonyms = true;
        } else if (option && a.rfind("--workers=", 0) == 0) {
            const std::string v = a.substr(10);
            if (v.empty() || v.size() > 3 || v.find_first_not_of("0123456789") != std::string::npos)
                return bad("--workers takes a number");
            options.Workers = static_cast<unsigned>(std::stoul(v));
        } else if (option && a.rfind("--out=", 0) == 0 && a.size() > 6) {
            options.Out = PathFromUtf8(a.substr(6));
        } else if (option && a.rfind("--examinees=", 0) == 0) {
            options.Examinees = SplitNames(a.substr(12));
            if (options.Examinees.empty()) return bad("--examinees takes names separated by ;");
        } else if (option && (a.rfind("--from=", 0) == 0 || a.rfind("--to=", 0) == 0)) {
            const bool from = a[2] == 'f';
            const std::string date = a.substr(from ? 7 : 5);
            if (!IsoDateForm(date)) return bad(a.substr(0, from ? 6 : 4) + " takes YYYY-MM-DD");
            (from ? options.From : options.To) = date;
        } else if (option && a.rfind("--norm-id=", 0) == 0 && a.size() > 10) {
            options.NormId = a.substr(10);
        } else if (option) {
            return bad("unknown option " + a);
        } else if (!command) {
            if (a == "scan")
                command = TCommand::Scan;
            else if (a == "export")
                command = TCommand::Export;
            else if (a == "export-corrections")
                command = TCommand::ExportCorrections;
            else if (a == "import-corrections")
                command = TCommand::ImportCorrections;
            else if (a == "import-norms")
                command = TCommand::ImportNorms;
            else if (a == "list-norms")
                command = TCommand::ListNorms;
            else if (a == "use-norms")
                command = TCommand::UseNorms;
            else if (a == "remove-norms")
                command = TCommand::RemoveNorms;
            else if (a == "local-norms")
                command = TCommand::LocalNorms;
            else
                return bad("unknown command " + a);
        } else {
            options.Paths.push_back(PathFromUtf8(a));
        }
    }
    if (options.Database.empty()) return bad("--db=FILE is required");
    if (!command) return bad("no command given");
    options.Command = *command;
    const bool selects = !options.Out.empty() || !options.Examinees.empty() || options.From ||
                         options.To || options.NormId != "local";
    if (selects && options.Command != TCommand::LocalNorms)
        return bad("--out, --examinees, --from, --to and --norm-id go with local-norms only");
    if (options.Command == TCommand::Scan) {
        if (options.Paths.empty()) return bad("scan needs at least one folder");
    } else if (TakesNoPath(options.Command)) {
        if (!options.Paths.empty()) return bad("this command takes no file");
        if (options.Command == TCommand::LocalNorms && options.Out.empty())
            return bad("local-norms needs --out=FILE.csv");
    } else if (options.Command == TCommand::UseNorms || options.Command == TCommand::RemoveNorms) {
        const std::string n = options.Paths.size() == 1 ? Utf8Path(options.Paths[0]) : "";
        if (n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string::npos)
            return bad("this command takes the table's number");
        options.TableId = std::stoll(n);
        if (options.TableId == 0 && options.Command == TCommand::RemoveNorms)
            return bad("this command takes the table's number");
    } else if (options.Paths.size() != 1) {
        return bad("this command takes one file");
    }
    if (options.Pseudonyms && options.Command != TCommand::Export)
        return bad("--pseudonyms goes with export only");
    return options;
}

namespace {

int Scan(archive::TArchive& archive, const TArchiveOptions& options, std::ostream& out,
         std::ostream& err, bool showProgress) {
    archive::TScanOptions scan;
    scan.Decimal = options.Decimal;
    scan.Workers = options.Workers;
    if (showProgress)
        scan.Progress = [&err](const archive::TScanProgress& p) {
            err << "\r[" << p.Done << "/" << p.Total << "]\x1b[K" << std::flush;
        };
    const archive::TScanCounts c = archive.Scan(options.Paths, scan);
    if (showProgress) err << "\r\x1b[K" << std::flush;
    for (const std::string& warning : c.Warnings) err << warning << "\n";
    // Every protocol of these folders that Data refuses, as the batch tool reports them.
    std::vector<std::string> roots;
    for (const fs::path& p : options.Paths)
        roots.push_back(Utf8Path(fs::absolute(p).lexically_normal()));
    std::vector<archive::TTestRow> failed = archive.Tests();
    std::erase_if(failed, [](const archive::TTestRow& t) {
        return t.Status != archive::TTestStatus::Failed;
    });
    std::sort(failed.begin(), failed.end(),
              [](const auto& a, const auto& b) { return a.File < b.File; });
    for (const archive::TTestRow& t : failed) {
        const std::string path = Utf8Path(t.File);
        for (const std::string& root : roots)
            if (path.rfind(root, 0) == 0) {
                err << path << ": " << t.Message << "\n";
                break;
            }
    }
    out << "добавлено: " << c.Added << ", изменено: " << c.Changed
        << ", без изменений: " << c.Unchanged << ", пропало: " << c.Missing
        << ", с ошибкой: " << c.Failed << ", пропущено файлов: " << c.PassedOver << "\n";
    return c.Failed > 0 || !c.Warnings.empty() ? 1 : 0;
}

}  // namespace

int RunArchiveTool(const TArchiveOptions& options, std::ostream& out, std::ostream& err,
                   bool showProgress) {
    try {
        archive::TOpenReport report;
        archive::TArchive archive(options.Database, &report);
        if (!report.Message.empty()) err << report.Message << "\n";
        switch (options.Command) {
            case TCommand::Scan:
                return Scan(archive, options, out, err, showProgress);
            case TCommand::Export: {
                archive::TExportOptions exportOptions;
                exportOptions.Pseudonyms = options.Pseudonyms;
                return archive.Export(options.Paths.front(), exportOptions) ? 0 : 1;
            }
            case TCommand::ExportCorrections:
                archive::WritePrivateFile(options.Paths.front(), archive.ExportCorrections());
                return 0;
            case TCommand::ImportCorrections:
                archive.ImportCorrections(ReadWholeFile(options.Paths.front()));
                return 0;
            case TCommand::ImportNorms:
            case TCommand::ListNorms:
            case TCommand::UseNorms:
            case TCommand::RemoveNorms:
            case TCommand::LocalNorms:
                return RunNormsCommand(archive, options, out, err);
        }
    } catch (const Exception& e) {
        err << "orvix-kl-archive: " << Cp1251ToUtf8(FailureText(e.Message())) << "\n";
    } catch (const std::bad_alloc&) {
        err << "orvix-kl-archive: " << Cp1251ToUtf8(FailureText(msg::kOutOfMemory)) << "\n";
    }
    return 1;
}

}  // namespace orvix::archive_tool
