#include "archive_location.h"

#include <cstdlib>
#include <system_error>

namespace orvix::archive {
namespace fs = std::filesystem;

namespace {

fs::path FromUtf8(const std::string& s) {
    return fs::path(std::u8string(s.begin(), s.end()));
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const char* name) {
#ifdef _WIN32
    // The wide environment, as UTF-8: a user name with Cyrillic letters must survive.
    std::wstring wname(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = _wgetenv(wname.c_str());
    if (!value) return std::nullopt;
    const auto u8 = fs::path(value).u8string();
    return std::string(u8.begin(), u8.end());
#else
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
#endif
}

fs::path DatabaseLocation(const fs::path& programDir, const TEnvironment& environment) {
    const fs::path portable = programDir / kDatabaseName;
    std::error_code ec;
    if (fs::is_directory(programDir / "Data", ec)) return portable;
    auto nonEmpty = [&](const char* name) -> std::optional<fs::path> {
        const auto v = environment(name);
        if (!v || v->empty()) return std::nullopt;
        return FromUtf8(*v);
    };
#ifdef _WIN32
    if (const auto local = nonEmpty("LOCALAPPDATA")) return *local / "ORVIX-KL" / kDatabaseName;
#else
    // XDG: a relative XDG_DATA_HOME is invalid and ignored.
    if (const auto xdg = nonEmpty("XDG_DATA_HOME"); xdg && xdg->is_absolute())
        return *xdg / "orvix-kl" / kDatabaseName;
    if (const auto home = nonEmpty("HOME"))
        return *home / ".local" / "share" / "orvix-kl" / kDatabaseName;
#endif
    return portable;
}

}  // namespace orvix::archive
