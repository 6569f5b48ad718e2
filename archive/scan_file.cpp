#include "scan_file.h"

#include <chrono>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "archive/content_hash.h"
#include "archive/protocol_rule.h"
#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "plots/result_plots.h"
#include "protocol/protocol.h"
#include "protocol/report.h"

namespace orvix::archive {
namespace fs = std::filesystem;

std::optional<TFileStamp> StampOf(const fs::path& file) {
#ifndef _WIN32
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return std::nullopt;
    return TFileStamp{static_cast<std::uint64_t>(info.st_size),
                      std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec,
                      S_ISREG(info.st_mode)};
#else
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (ec) return std::nullopt;
    TFileStamp stamp;
    stamp.Regular = fs::is_regular_file(status);
    if (stamp.Regular) {
        stamp.Size = fs::file_size(file, ec);
        const auto time = fs::last_write_time(file, ec);
        if (ec) return std::nullopt;
        const auto system = fs::file_time_type::clock::to_sys(time);
        stamp.ModifiedNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(system.time_since_epoch()).count();
    }
    return stamp;
#endif
}

namespace {

// The first bytes of a file too large to be read whole.
std::string Head(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(kSniffBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

std::string MessageOf(const Exception& e) {
    return Cp1251ToUtf8(FailureText(e.Message()));
}

}  // namespace

TScannedFile ScanFile(const fs::path& file, std::uint64_t size, char decimal) {
    TScannedFile out;
    std::string bytes;
    try {
        if (size > kMaxTextBytes) {
            // Data refuses it before reading; only its beginning tells whether it is a protocol.
            if (!LooksLikeProtocol(Head(file))) return out;
            out.Kind = TScannedFile::TKind::Protocol;
            out.Hash = ContentHash(Head(file) + "/" + std::to_string(size));
        }
        bytes = ReadWholeFile(file);
    } catch (const Exception& e) {
        std::error_code ec;
        const bool gone = !fs::exists(file, ec);
        if (out.Kind != TScannedFile::TKind::Protocol)
            out.Kind = gone ? TScannedFile::TKind::Vanished : TScannedFile::TKind::Unreadable;
        out.Message = MessageOf(e);
        return out;
    } catch (const std::bad_alloc&) {
        out.Kind = TScannedFile::TKind::Protocol;
        out.Message = Cp1251ToUtf8(FailureText(msg::kOutOfMemory));
        return out;
    }
    if (!LooksLikeProtocol(bytes)) return out;
    out.Kind = TScannedFile::TKind::Protocol;
    out.Hash = ContentHash(bytes);
    try {
        DescrambleInPlace(bytes);
        // What LoadAndAnalyse does with the file's bytes, then what LoadAsDataCommand adds.
        const TLoadedProtocol load = AnalyseText(std::move(bytes));
        out.FileTag = Cp1251ToUtf8(load.FileTag);
        out.Subject = Cp1251ToUtf8(load.Subject);
        out.Heading = Cp1251ToUtf8(load.Protocol.LineAt(line::kHeading));
        TDetachedCharts charts;
        charts.TempoChart.DecimalSeparator = decimal;
        charts.SearchChart.DecimalSeparator = decimal;
        TTextLines report;
        ShowLoad(load, report, charts.Tempo, charts.Search);
        out.Figures = stats::FigureCells(load.Analysis.Result);
        out.Ok = true;
    } catch (const Exception& e) {
        out.Message = MessageOf(e);
    } catch (const std::bad_alloc&) {
        out.Message = Cp1251ToUtf8(FailureText(msg::kOutOfMemory));
    }
    return out;
}

}  // namespace orvix::archive
