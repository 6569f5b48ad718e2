#include "run_names.h"

#include "base/file_io.h"

namespace orvix::batch {

std::string TRunNames::Key(const std::string& stem) {
    std::string key = SafeFileName(stem);
#ifdef _WIN32
    // Windows file names differ only by more than letter case (ASCII letters here; the
    // Cyrillic letters of a 1251 name are left as they are).
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
#endif
    return key;
}

std::string TRunNames::Next(const std::string& fileTag) const {
    if (!taken_.count(Key(fileTag))) return fileTag;
    for (int n = 2;; ++n) {
        std::string stem = fileTag + " (" + std::to_string(n) + ")";
        if (!taken_.count(Key(stem))) return stem;
    }
}

void TRunNames::Take(const std::string& stem, const std::filesystem::path& protocol) {
    taken_.emplace(Key(stem), protocol);
}

const std::filesystem::path* TRunNames::Owner(const std::string& fileTag) const {
    const auto it = taken_.find(Key(fileTag));
    return it == taken_.end() ? nullptr : &it->second;
}

}  // namespace orvix::batch
