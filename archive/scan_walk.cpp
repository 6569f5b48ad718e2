#include "scan_walk.h"

#include <system_error>

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
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec) {
            Warn("Не удалось прочитать папку " + Utf8Path(folder) + ": " + ec.message());
            unread_.push_back(Utf8Path(folder));
            continue;
        }
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) break;
            Entry(*it, folders, found);
        }
        if (ec) {
            Warn("Не удалось дочитать папку " + Utf8Path(folder) + ": " + ec.message());
            unread_.push_back(Utf8Path(folder));
        }
    }
}

void TWalker::Entry(const fs::directory_entry& entry, std::vector<fs::path>& folders,
                    std::vector<TFound>& found) {
    // The entry's type as the folder listing gave it: no look at the file for it.
    std::error_code ec;
    const bool link = entry.is_symlink(ec);
    if (ec) return;  // gone already
    const fs::path& path = entry.path();
    if (!link && entry.is_directory(ec)) {
        folders.push_back(path);
        return;
    }
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
