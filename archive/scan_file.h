// One file of a scan: looked at, read and analysed as the Data command does. Plain data out,
// no database, safe to run on any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "stats/summary_figures.h"

namespace orvix::archive {

// Size and modification time of a file (symbolic links followed); nothing when it is gone.
struct TFileStamp {
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    bool Regular = false;
};
std::optional<TFileStamp> StampOf(const std::filesystem::path& file);

struct TScannedFile {
    enum class TKind : unsigned char {
        Protocol,     // a protocol: Ok, or Message as Data shows it
        NotProtocol,  // passed over by its content
        Unreadable,   // exists but cannot be opened: Message is Data's message
        Vanished,     // gone before it could be read
    };
    TKind Kind = TKind::NotProtocol;
    std::string Hash;
    bool Ok = false;
    std::string Message;                    // UTF-8
    std::string FileTag, Subject, Heading;  // UTF-8
    std::vector<stats::TCell> Figures;      // empty unless Ok
};

// Reads `file` (whose size the caller saw as `size`), tells a protocol from another file by
// its content (protocol_rule.h) and analyses a protocol exactly as the Data command loads it
// with `decimal` as the charts' separator: the analysis, then both charts filled without
// windows. The decimal separator of the analysis is the process-wide one (SetDecimalChar),
// which the caller sets before. Never throws for a file's sake.
TScannedFile ScanFile(const std::filesystem::path& file, std::uint64_t size, char decimal);

}  // namespace orvix::archive
