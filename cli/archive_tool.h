// orvix-kl-archive: the archive from the command line, for a nightly job over a clinic's
// folders: scan folders into the index, export its rows, and the user's corrections out and in;
// norm tables imported, listed, chosen and removed, and local norms built from the archive.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvix::archive {
class TArchive;
}

namespace orvix::archive_tool {

enum class TCommand {
    Scan,
    Export,
    ExportCorrections,
    ImportCorrections,
    ImportNorms,
    ListNorms,
    UseNorms,
    RemoveNorms,
    LocalNorms,
};

struct TArchiveOptions {
    std::filesystem::path Database;
    char Decimal = '.';
    bool Pseudonyms = false;  // export: names replaced by pseudonyms
    unsigned Workers = 0;     // scan: worker threads, 0 for the machine's
    TCommand Command = TCommand::Scan;
    std::vector<std::filesystem::path> Paths;  // scan: folders; otherwise one file
    // use-norms, remove-norms: the table's number as list-norms shows it (use-norms 0: none).
    long long TableId = 0;
    // local-norms: the file written, the tests taken (names, dates) and the norm's name.
    std::filesystem::path Out;
    std::vector<std::string> Examinees;
    std::optional<std::string> From;
    std::optional<std::string> To;
    std::string NormId = "local";
};

extern const char* const kArchiveUsage;

// Parses the arguments (without the program name); writes a message and the usage to `err`
// and returns nothing for bad usage.
std::optional<TArchiveOptions> ParseArchiveArguments(const std::vector<std::string>& args,
                                                     char defaultDecimal, std::ostream& err);

// Runs the command: results on `out`, messages on `err`. Returns the exit status: 0 when
// everything went well, 1 when a protocol failed, a folder could not be read or the database
// could not be used.
int RunArchiveTool(const TArchiveOptions& options, std::ostream& out, std::ostream& err,
                   bool showProgress);

// The norm commands (import-norms, list-norms, use-norms, remove-norms, local-norms) on an
// open archive; the exit status.
int RunNormsCommand(archive::TArchive& archive, const TArchiveOptions& options, std::ostream& out,
                    std::ostream& err);

}  // namespace orvix::archive_tool
