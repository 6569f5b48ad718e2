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
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace orvix {

#ifdef _WIN32

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

bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

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

bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    // The new name lives in the folder's entries: flush them too. Some file systems cannot
    // flush a folder (EINVAL); the file's content is on the disk already, so that is no failure.
    std::filesystem::path folder = to.parent_path();
    if (folder.empty()) folder = ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        while (fsync(fd) != 0 && errno == EINTR) {
        }
        close(fd);
    }
    return true;
}

#endif

}  // namespace orvix
