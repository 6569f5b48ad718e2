#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cp1251.h"
#include "errors.h"
#include "file_sync.h"

namespace orvix {
namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(_wfopen(path.c_str(), wmode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

[[noreturn]] void CannotCreate(const fs::path& target) {
    throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
}

// A target that exists and may not be replaced: held open by another program, or refused.
[[noreturn]] void CannotReplace(const fs::path& target, ReplaceAccess access) {
    if (access == ReplaceAccess::kInUse)
        throw EFCreateError(WithArgument(W1251(msg::kFileInUse).c_str(), PathText(target)));
    CannotCreate(target);
}

// A name beside the target that no other file has.
fs::path TemporaryName(const fs::path& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const auto folder = target.parent_path();
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

std::string PathText(const fs::path& path) {
    const auto u8 = path.u8string();
    return Utf8ToCp1251(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

std::string SafeFileName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b == 127 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    return out;
}

namespace {

[[noreturn]] void CannotOpen(const fs::path& path) {
    throw EFOpenError(WithArgument(msg::kCannotOpenFile, PathText(path)));
}

// Opens a regular file for reading. Anything else (a folder, a pipe, a device, a socket)
// fails at once: opening a pipe could otherwise wait for a writer for ever.
FilePtr OpenRegularFile(const fs::path& path) {
#ifdef _WIN32
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) CannotOpen(path);
    FilePtr file = OpenFile(path, "rb");
    if (!file) CannotOpen(path);
    return file;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) CannotOpen(path);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        CannotOpen(path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FilePtr file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        CannotOpen(path);
    }
    return file;
#endif
}

}  // namespace

std::string ReadWholeFile(const fs::path& path, std::uint64_t limit) {
    FilePtr file = OpenRegularFile(path);
    std::string bytes;
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (!ec && size > limit) throw EInvalidOperation(msg::kTextExceedsCapacity);
    // Read until the end, whatever the size said: the file may change while it is read, and
    // some files (as under /proc) report a size of 0 and still have content. The first read
    // asks for one byte more than the size, so a file that keeps its size is read in one go
    // (and its end seen) without clearing a large buffer first; later reads grow.
    constexpr std::size_t kMaxChunk = std::size_t{1} << 20;
    std::size_t chunk = ec ? std::size_t{1} << 16 : static_cast<std::size_t>(size) + 1;
    std::size_t used = 0;
    for (;;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk, limit + 1 - used));
        chunk = std::max(std::min(chunk * 2, kMaxChunk), std::size_t{1} << 16);
        bytes.resize(used + want);
        const std::size_t got = std::fread(bytes.data() + used, 1, want, file.get());
        used += got;
        if (used > limit) throw EInvalidOperation(msg::kTextExceedsCapacity);
        if (got < want) break;
    }
    bytes.resize(used);
    if (std::ferror(file.get())) CannotOpen(path);
    return bytes;
}

void WriteFileAtomically(const fs::path& target, std::string_view bytes) {
    std::error_code ec;
    // A folder, or an existing file that may not be written, cannot become the target.
    if (fs::is_directory(target, ec)) CannotCreate(target);
    // Checked before anything is written, so that a refused save leaves no temporary file.
    if (fs::exists(target, ec)) {
        const ReplaceAccess access = CheckReplace(target);
        if (access != ReplaceAccess::kAllowed) CannotReplace(target, access);
    }
    const fs::path temporary = TemporaryName(target);
    FilePtr file = OpenFile(temporary, "wb");
    if (!file) CannotCreate(target);

    auto discard = [&] {
        file.reset();
        std::error_code ignored;
        fs::remove(temporary, ignored);
    };
    const std::size_t written =
        bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    // On the disk before it takes the target's name: a power cut right after the save must
    // not leave an empty file where the previous one stood.
    const bool flushed = std::fflush(file.get()) == 0 && FlushToDisk(file.get());
    if (written != bytes.size() || !flushed) {
        discard();
        throw EWriteError(msg::kStreamWriteError);
    }
    if (std::fclose(file.release()) != 0) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw EWriteError(msg::kStreamWriteError);
    }
    if (!RenameDurably(temporary, target)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        // Opened by another program between the check and the rename?
        CannotReplace(target, CheckReplace(target));
    }
}

}  // namespace orvix
