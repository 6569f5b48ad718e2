// The output names one batch run has given out, so that protocols whose FileTags make the same
// file name do not replace each other's files: the later ones get a number.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace orvix::batch {

class TRunNames {
  public:
    // The stem (Windows-1251) for a protocol's files: its FileTag, or "FileTag (n)" with the
    // smallest n >= 2 whose file name this run has not given out. Nothing is taken yet.
    std::string Next(const std::string& fileTag) const;
    // Marks `stem` given out to `protocol`.
    void Take(const std::string& stem, const std::filesystem::path& protocol);
    // The protocol that took the file name `fileTag` makes, if any.
    const std::filesystem::path* Owner(const std::string& fileTag) const;

    // The file name a stem makes, as the file system compares names.
    static std::string Key(const std::string& stem);

  private:
    std::map<std::string, std::filesystem::path> taken_;
};

}  // namespace orvix::batch
