#include "staged_files.h"

#include <algorithm>
#include <random>
#include <set>
#include <system_error>

#include "cp1251.h"
#include "errors.h"
#include "file_io.h"
#include "file_sync.h"

namespace orvix {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void CannotCreate(const fs::path& target) {
    throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
}

// A target that exists and may not be replaced: held open by another program, or refused.
[[noreturn]] void CannotReplace(const fs::path& target, ReplaceAccess access) {
    if (access == ReplaceAccess::kInUse)
        throw EFCreateError(WithArgument(W1251(msg::kFileInUse).c_str(), PathText(target)));
    CannotCreate(target);
}

// A folder, or an existing file that may not be written, cannot become the target. Checked
// before anything is written, so that a refused save leaves no temporary file.
void CheckTarget(const fs::path& target) {
    std::error_code ec;
    if (fs::is_directory(target, ec)) CannotCreate(target);
    if (fs::exists(target, ec)) {
        const ReplaceAccess access = CheckReplace(target);
        if (access != ReplaceAccess::kAllowed) CannotReplace(target, access);
    }
}

// A name beside the target that no other file has.
fs::path TemporaryName(const fs::path& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                      static_cast<unsigned long long>(random()));
        fs::path candidate = target;
        candidate += suffix;
        std::error_code ec;
        if (!fs::exists(candidate, ec) && !ec) return candidate;
    }
    CannotCreate(target);
}

}  // namespace

TStagedFiles::~TStagedFiles() {
    for (TFile& f : files_) Discard(f);
}

void TStagedFiles::Discard(TFile& f) noexcept {
    if (f.File) std::fclose(f.File);
    f.File = nullptr;
    std::error_code ignored;
    fs::remove(f.Temporary, ignored);
}

void TStagedFiles::Add(const fs::path& target, std::string_view bytes) {
    CheckTarget(target);
    files_.reserve(files_.size() + 1);
    TFile f{target, TemporaryName(target), nullptr};
    f.File = OpenFile(f.Temporary, "wb");
    if (!f.File) CannotCreate(target);
    const std::size_t written =
        bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f.File);
    if (written != bytes.size() || std::fflush(f.File) != 0) {
        Discard(f);
        throw EWriteError(msg::kStreamWriteError);
    }
    files_.push_back(f);
}

void TStagedFiles::AddWritten(const fs::path& target,
                              const std::function<void(const fs::path&)>& write) {
    CheckTarget(target);
    files_.reserve(files_.size() + 1);
    TFile f{target, TemporaryName(target), nullptr};
    // The file is made here first, so that a folder that takes no file fails as in Add.
    std::FILE* made = OpenFile(f.Temporary, "wb");
    if (!made) CannotCreate(target);
    std::fclose(made);
    try {
        write(f.Temporary);
    } catch (...) {
        Discard(f);
        throw;
    }
    // Open again to flush it to the disk with the others.
    f.File = OpenFile(f.Temporary, "r+b");
    if (!f.File) {
        Discard(f);
        CannotCreate(target);
    }
    files_.push_back(f);
}

void TStagedFiles::Drop(const fs::path& target) {
    const auto it = std::find_if(files_.begin(), files_.end(),
                                 [&](const TFile& f) { return f.Target == target; });
    if (it == files_.end()) return;
    Discard(*it);
    files_.erase(it);
}

void TStagedFiles::Commit() {
    std::vector<TFile> files;
    files.swap(files_);
    // On the disk before any takes its target's name: a power cut right after the save must
    // not leave an empty file where the previous one stood. All flushes are started first.
    for (TFile& f : files) StartFlushToDisk(f.File);
    std::size_t done = 0;
    bool flushed = true;
    for (; done < files.size(); ++done) {
        TFile& f = files[done];
        flushed = FlushToDisk(f.File);
        const bool closed = std::fclose(f.File) == 0;
        f.File = nullptr;
        if (!flushed || !closed) {
            flushed = false;
            break;
        }
    }
    std::size_t renamed = 0;
    while (renamed < done && RenameOver(files[renamed].Temporary, files[renamed].Target)) ++renamed;
    // The renames themselves on the disk, once per folder.
    std::set<fs::path> folders;
    for (std::size_t i = 0; i < renamed; ++i) folders.insert(files[i].Target.parent_path());
    for (const fs::path& folder : folders) FlushFolder(folder);
    for (std::size_t i = renamed; i < files.size(); ++i) Discard(files[i]);
    // Opened by another program between the check and the rename?
    if (renamed < done) CannotReplace(files[renamed].Target, CheckReplace(files[renamed].Target));
    if (!flushed) throw EWriteError(msg::kStreamWriteError);
}

void WriteFileAtomically(const fs::path& target, std::string_view bytes) {
    TStagedFiles file;
    file.Add(target, bytes);
    file.Commit();
}

}  // namespace orvix
