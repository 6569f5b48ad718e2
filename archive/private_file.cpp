#include "private_file.h"

#include <cerrno>
#include <random>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/errors.h"
#include "base/file_io.h"

namespace orvix::archive {
namespace fs = std::filesystem;

std::string Utf8Path(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

void MakeOwnerOnly(const fs::path& file) {
#ifndef _WIN32
    ::chmod(file.c_str(), 0600);
#else
    (void)file;
#endif
}

#ifdef _WIN32

void WritePrivateFile(const fs::path& target, std::string_view bytes) {
    WriteFileAtomically(target, bytes);
}

#else

void WritePrivateFile(const fs::path& target, std::string_view bytes) {
    auto cannotCreate = [&]() {
        throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
    };
    static thread_local std::mt19937_64 random{std::random_device{}()};
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target;
        temporary += "." + std::to_string(random() % 1000000000000ull) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) cannotCreate();
    }
    if (fd < 0) cannotCreate();
    ::fchmod(fd, 0600);
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temporary.c_str());
        throw EWriteError(msg::kStreamWriteError);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        cannotCreate();
    }
    // The rename itself reaches the disk with the folder.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

#endif

}  // namespace orvix::archive
