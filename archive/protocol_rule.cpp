#include "protocol_rule.h"

#include <algorithm>
#include <array>
#include <string>

#include "archive/archive_location.h"
#include "protocol/protocol.h"

namespace orvix::archive {
namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool EndsWith(const std::string& s, std::string_view end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool IsPassedOverByName(const std::filesystem::path& file) {
    const auto u8 = file.filename().u8string();
    const std::string name = LowerAscii(std::string(u8.begin(), u8.end()));
    // The program's own outputs, and other kinds of files a protocol folder may hold.
    static constexpr std::array<std::string_view, 44> kEndings = {
        " kl.txt", ".txt",  ".gif", ".pdf",  ".csv",    ".xlsx",        ".xls", ".ods", ".odt",
        ".doc",    ".docx", ".rtf", ".png",  ".jpg",    ".jpeg",        ".bmp", ".tif", ".tiff",
        ".svg",    ".webp", ".zip", ".7z",   ".rar",    ".gz",          ".xz",  ".exe", ".dll",
        ".msi",    ".lnk",  ".ini", ".log",  ".xml",    ".html",        ".htm", ".db",  ".db-wal",
        ".db-shm", ".tmp",  ".bak", ".json", ".sqlite", ".corrections", ".mp4", ".avi"};
    for (const std::string_view end : kEndings)
        if (EndsWith(name, end)) return true;
    // The archive's database, its companions and the copies set aside beside it.
    return name.rfind(kDatabaseName, 0) == 0 || name == "thumbs.db" || name == "desktop.ini";
}

bool LooksLikeProtocol(std::string_view head) {
    head = head.substr(0, kSniffBytes);
    if (head.empty()) return false;
    const std::string text = DescrambleText(head);
    int breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == '\n' || (b == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++breaks;
        else if ((b < 0x20 && b != '\t' && b != '\r') || b == 0x7F)
            return false;
    }
    return breaks >= 3;
}

}  // namespace orvix::archive
