#include "run_program.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#else
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

extern char** environ;
#endif

namespace orvix::test {

#ifdef _WIN32

// One argument quoted so that the C runtime's and CommandLineToArgvW's splitting give it back
// unchanged: inside quotes, backslashes count only before a quote, where each must be doubled
// and the quote itself escaped.
void AppendQuotedArgument(std::wstring& line, const std::wstring& argument) {
    line += L'"';
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = 2 * backslashes + 1;
        line.append(backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');  // before the closing quote
    line += L'"';
}

int RunProgram(const std::filesystem::path& program,
               const std::vector<std::filesystem::path>& arguments) {
    std::wstring line;
    AppendQuotedArgument(line, program.native());
    for (const auto& argument : arguments) {
        line += L' ';
        AppendQuotedArgument(line, argument.native());
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return ended ? static_cast<int>(code) : -1;
}

std::filesystem::path BuiltProgram(const char* name) {
    return std::filesystem::path(ORVIX_BIN_DIR) / (std::string(name) + ".exe");
}

#else

int RunProgram(const std::filesystem::path& program,
               const std::vector<std::filesystem::path>& arguments) {
    std::vector<std::string> words{program.native()};
    for (const auto& argument : arguments) words.push_back(argument.native());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::filesystem::path BuiltProgram(const char* name) {
    return std::filesystem::path(ORVIX_BIN_DIR) / name;
}

#endif

}  // namespace orvix::test
