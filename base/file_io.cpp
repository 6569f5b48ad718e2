#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
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
    FilePtr file(OpenFile(path, "rb"));
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

}  // namespace orvix
