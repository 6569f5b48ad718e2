#include "scan_walk.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "archive/private_file.h"
#include "archive/protocol_rule.h"

namespace orvix::archive {
namespace fs = std::filesystem;

bool Under(const std::string& path, const std::string& root) {
    if (path.size() <= root.size() || path.compare(0, root.size(), root) != 0) return false;
    const char next = path[root.size()];
    const char last = root.empty() ? '\0' : root.back();
    return next == '/' || next == '\\' || last == '/' || last == '\\';
}

TWalker::TWalker(const fs::path& database, TScanCounts& counts)
    : counts_(counts),
      databaseName_(Utf8Path(database.filename())),
      databaseFolder_(database.parent_path()) {}

void TWalker::Walk(const fs::path& root, std::vector<TFound>& found) {
    std::vector<fs::path> folders{root};
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();
        if (!List(folder, folders, found)) unread_.push_back(Utf8Path(folder));
    }
}

#ifndef _WIN32
bool TWalker::List(const fs::path& folder, std::vector<fs::path>& folders,
                   std::vector<TFound>& found) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        Warn("Не удалось прочитать папку " + Utf8Path(folder) + ": " + ec.message());
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const bool link = it->is_symlink(ec);
        if (ec) continue;  // gone already
        const bool directory = !link && it->is_directory(ec);
        Entry(it->path(), link, directory, folders, found);
    }
    if (ec) {
        Warn("Не удалось дочитать папку " + Utf8Path(folder) + ": " + ec.message());
        return false;
    }
    return true;
}
#else
// The system's own listing: MinGW's folder iterator makes a folder's full name in a buffer of
// MAX_PATH characters and so could not list a folder deeper than that.
bool TWalker::List(const fs::path& folder, std::vector<fs::path>& folders,
                   std::vector<TFound>& found) {
    const std::wstring pattern = (folder / L"*").make_preferred().native();
    WIN32_FIND_DATAW data{};
    const HANDLE listing = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                            FindExSearchNameMatch, nullptr, 0);
    if (listing == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return true;  // nothing in it, not even "."
        Warn("Не удалось прочитать папку " + Utf8Path(folder) + ": " +
             std::system_category().message(static_cast<int>(error)));
        return false;
    }
    DWORD error = ERROR_SUCCESS;
    for (;;) {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") {
            // Symbolic links and junctions are links; other reparse points (files kept in the
            // cloud, deduplicated files) are files and folders as they look.
            const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                              (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
                               data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
            const bool directory = !link && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            Entry(folder / fs::path(name), link, directory, folders, found);
        }
        if (!FindNextFileW(listing, &data)) {
            error = GetLastError();
            break;
        }
    }
    FindClose(listing);
    if (error != ERROR_NO_MORE_FILES) {
        Warn("Не удалось дочитать папку " + Utf8Path(folder) + ": " +
             std::system_category().message(static_cast<int>(error)));
        return false;
    }
    return true;
}
#endif

void TWalker::Entry(const fs::path& path, bool link, bool directory, std::vector<fs::path>& folders,
                    std::vector<TFound>& found) {
    if (directory) {
        folders.push_back(path);
        return;
    }
    std::error_code ec;
    // The archive's own files.
    const std::string name = Utf8Path(path.filename());
    if (name.rfind(databaseName_, 0) == 0 && path.parent_path() == databaseFolder_) return;
    // Linked folders are not followed (a link can make a loop); linked files are read.
    if (link && fs::is_directory(path, ec)) return;
    if (IsPassedOverByName(path)) {
        ++counts_.PassedOver;
        return;
    }
    const auto stamp = StampOf(path);
    if (!stamp) return;  // vanished
    if (!stamp->Regular) {
        // Pipes, devices, sockets: never opened.
        ++counts_.PassedOver;
        return;
    }
    found.push_back({path, Utf8Path(path), *stamp});
}

}  // namespace orvix::archive
