#include "file_sync.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>

#include <string>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace orvix {

#ifdef _WIN32

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wmode.c_str());
}

void StartFlushToDisk(std::FILE* /*file*/) noexcept {}

bool FlushToDisk(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
}

ReplaceAccess CheckReplace(const std::filesystem::path& target) {
    // Asking for delete access too: the rename over the target needs it, and another handle
    // opened without FILE_SHARE_DELETE refuses it.
    HANDLE handle = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return ReplaceAccess::kAllowed;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
               ? ReplaceAccess::kInUse
               : ReplaceAccess::kRefused;
}

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void FlushFolder(const std::filesystem::path& /*folder*/) noexcept {}

#else

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

void StartFlushToDisk([[maybe_unused]] std::FILE* file) noexcept {
#ifdef __linux__
    // Only a hint: the data goes out now, and FlushToDisk later waits for it and for the
    // file's metadata. A failure here shows again there.
    ::sync_file_range(fileno(file), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

bool FlushToDisk(std::FILE* file) {
    int result;
    do {
        result = fsync(fileno(file));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

ReplaceAccess CheckReplace(const std::filesystem::path& target) {
    const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return ReplaceAccess::kRefused;
    close(fd);
    return ReplaceAccess::kAllowed;
}

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void FlushFolder(const std::filesystem::path& folder) noexcept {
    const std::filesystem::path path = folder.empty() ? std::filesystem::path(".") : folder;
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        while (fsync(fd) != 0 && errno == EINTR) {
        }
        close(fd);
    }
}

#endif

bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!RenameOver(from, to)) return false;
    FlushFolder(to.parent_path());
    return true;
}

}  // namespace orvix
