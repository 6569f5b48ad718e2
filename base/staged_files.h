// Files saved together: each written to a temporary file beside its target, then all flushed
// to the disk at once (the flushes overlap instead of waiting for each in turn) and renamed over
// their targets in the order they were staged. Every file is on the disk before it replaces its
// target. WriteFileAtomically is one file staged and committed.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

namespace orvix {

class TStagedFiles {
  public:
    TStagedFiles() = default;
    // Temporary files not committed are removed.
    ~TStagedFiles();
    TStagedFiles(const TStagedFiles&) = delete;
    TStagedFiles& operator=(const TStagedFiles&) = delete;

    // Stages `bytes` as the content of `target`. Fails as WriteFileAtomically does, and then
    // stages nothing: "Cannot create file %s" naming the target for a target that is a folder,
    // may not be written or whose folder takes no file; "Stream write error" for a short write.
    void Add(const std::filesystem::path& target, std::string_view bytes);
    // Stages for `target` the file that `write` makes at the path it is given (a temporary name
    // in the target's folder). The target is checked first as Add checks it; what `write`
    // throws passes on, and its file is removed.
    void AddWritten(const std::filesystem::path& target,
                    const std::function<void(const std::filesystem::path&)>& write);
    // Gives up the staged file of `target`, if there is one.
    void Drop(const std::filesystem::path& target);

    std::size_t Count() const noexcept { return files_.size(); }

    // Flushes every staged file to the disk, renames each over its target in the order
    // staged, and flushes the folders' entries. Fails at the first file that fails, as
    // WriteFileAtomically would: "Stream write error" when it cannot be flushed, "Cannot create
    // file %s" when it cannot be renamed. The files before it have replaced their targets; it
    // and those after it are given up. Nothing is staged afterwards.
    void Commit();

  private:
    struct TFile {
        std::filesystem::path Target;
        std::filesystem::path Temporary;
        std::FILE* File = nullptr;
    };
    static void Discard(TFile& file) noexcept;

    std::vector<TFile> files_;
};

}  // namespace orvix
