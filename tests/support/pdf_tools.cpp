#include "pdf_tools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>

#include "run_program.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif

namespace orvix::test {
namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// wine's own exports for moving between its Windows and Unix file names; absent on Windows.
using ToUnixName = char*(__cdecl*)(const WCHAR*);
using ToDosName = WCHAR*(__cdecl*)(const char*);

// A kernel32 export by name, or null (through void (*)(), the cast that says so on purpose).
template <typename Function>
Function Kernel32Export(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

ToUnixName WineToUnix() {
    return Kernel32Export<ToUnixName>("wine_get_unix_file_name");
}

ToDosName WineToDos() {
    return Kernel32Export<ToDosName>("wine_get_dos_file_name");
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                         nullptr, nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), int(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

fs::path ScratchDir() {
    static std::atomic<int> count{0};
    const fs::path dir =
        fs::temp_directory_path() /
        ("orvix-pdf-tool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(count++));
    fs::create_directories(dir);
    return dir;
}

// Under wine a Windows program can start a Linux program, but the process it gets back is not
// one it can wait on or read an exit code or redirected output from. So a Linux shell runs the
// tool, sends its output to a file and writes the exit code last, under a name that appears
// only when complete; the wait is for that file.
TToolRun RunUnderWine(const std::string& tool, const std::vector<std::string>& arguments) {
    TToolRun run;
    WCHAR* shell = WineToDos()("/bin/sh");
    if (!shell) return run;
    const std::wstring shellName = shell;
    HeapFree(GetProcessHeap(), 0, shell);

    const fs::path dir = ScratchDir();
    const std::vector<std::string> words = {
        "sh",
        "-c",
        "out=$1 status=$2; shift 2; PATH=/usr/local/bin:/usr/bin:/bin \"$@\" >\"$out\"; "
        "echo $? >\"$status.part\"; mv \"$status.part\" \"$status\"",
        "sh",
        PdfToolPath(dir / "out"),
        PdfToolPath(dir / "status"),
        tool};
    std::wstring line;
    for (const auto& word : words) AppendQuotedArgument(line, Wide(word)), line += L' ';
    for (const auto& argument : arguments) AppendQuotedArgument(line, Wide(argument)), line += L' ';

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(shellName.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return run;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // The tools take well under a second on a test's page; a minute means one hangs.
    for (int waited = 0; waited < 60000 && !fs::exists(dir / "status"); waited += 10) Sleep(10);
    if (fs::exists(dir / "status")) {
        run.status = std::stoi(FileText(dir / "status"));
        run.output = FileText(dir / "out");
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return run;
}

// On Windows itself the tools are Windows programs found on PATH.
TToolRun RunOnWindows(const std::string& tool, const std::vector<std::string>& arguments) {
    TToolRun run;
    const fs::path dir = ScratchDir();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileW((dir / "out").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return run;
    std::wstring line;
    AppendQuotedArgument(line, Wide(tool + ".exe"));
    for (const auto& argument : arguments) line += L' ', AppendQuotedArgument(line, Wide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(out);
    if (started) {
        CloseHandle(process.hThread);
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.hProcess, &code))
            run.status = static_cast<int>(code);
        CloseHandle(process.hProcess);
        run.output = FileText(dir / "out");
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return run;
}

}  // namespace

TToolRun RunPdfTool(const std::string& tool, const std::vector<std::string>& arguments) {
    return WineToUnix() ? RunUnderWine(tool, arguments) : RunOnWindows(tool, arguments);
}

std::string PdfToolPath(const fs::path& file) {
    const fs::path absolute = fs::absolute(file);
    if (const ToUnixName toUnix = WineToUnix()) {
        if (char* name = toUnix(absolute.c_str())) {
            std::string unix = name;
            HeapFree(GetProcessHeap(), 0, name);
            return unix;
        }
    }
    return Utf8(absolute.native());
}

#else

TToolRun RunPdfTool(const std::string& tool, const std::vector<std::string>& arguments) {
    TToolRun run;
    std::vector<std::string> words{tool};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    int pipe[2];
    if (::pipe(pipe) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    posix_spawn_file_actions_addclose(&actions, pipe[1]);
    pid_t pid = 0;
    const bool started =
        posix_spawnp(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipe[1]);
    char buf[4096];
    for (ssize_t n = 0; started && (n = read(pipe[0], buf, sizeof buf)) != 0;) {
        if (n > 0)
            run.output.append(buf, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    }
    close(pipe[0]);
    if (!started) return run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return run;
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string PdfToolPath(const fs::path& file) {
    return fs::absolute(file).string();
}

#endif

std::string PdfToolOutput(const std::string& tool, const std::vector<std::string>& arguments) {
    const TToolRun run = RunPdfTool(tool, arguments);
    std::string command = tool;
    for (const auto& argument : arguments) command += " " + argument;
    EXPECT_EQ(run.status, 0) << command;
    return run.output;
}

}  // namespace orvix::test
