// The first step of a scan: the folders walked, the files that may be protocols found.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive_rows.h"
#include "archive/scan_file.h"

namespace orvix::archive {

// A file that may be a protocol.
struct TFound {
    std::filesystem::path Path;
    std::string Key;  // the path as stored (UTF-8)
    TFileStamp Stamp;
};

// Whether `path` lies inside the folder `root` (both as stored, UTF-8).
bool Under(const std::string& path, const std::string& root);

class TWalker {
  public:
    // Files passed over and warnings go to `counts`; the database's own files are left out.
    TWalker(const std::filesystem::path& database, TScanCounts& counts);

    // Adds the regular files under `root` that are not passed over by their name. Folders
    // that cannot be read are named in the warnings; linked folders are not followed.
    void Walk(const std::filesystem::path& root, std::vector<TFound>& found);

    // Folders that could not be read (whole or in part): what the index has under them is
    // not taken as gone.
    const std::vector<std::string>& Unread() const noexcept { return unread_; }

  private:
    // Lists `folder` into Entry; false when it could not be read whole (warned already).
    bool List(const std::filesystem::path& folder, std::vector<std::filesystem::path>& folders,
              std::vector<TFound>& found);
    // One entry of a listing, of the type the listing gave (no look at the file for it).
    void Entry(const std::filesystem::path& path, bool link, bool directory,
               std::vector<std::filesystem::path>& folders, std::vector<TFound>& found);
    void Warn(std::string text) { counts_.Warnings.push_back(std::move(text)); }

    TScanCounts& counts_;
    std::vector<std::string> unread_;
    std::string databaseName_;
    std::filesystem::path databaseFolder_;
};

}  // namespace orvix::archive
