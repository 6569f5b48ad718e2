// Starting a program from a test without a shell, on POSIX and on Windows alike.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orvix::test {

// Runs `program` with `arguments`, each passed exactly as given (no shell, no word splitting,
// no globbing), with the test's own standard streams, and waits for it to end. Returns its exit
// code, or -1 when it could not be started or did not end by itself (killed by a signal).
int RunProgram(const std::filesystem::path& program,
               const std::vector<std::filesystem::path>& arguments);

// The program `name` in the build's program folder, with the platform's suffix for programs.
std::filesystem::path BuiltProgram(const char* name);

#ifdef _WIN32
// Appends `argument` to a Windows command line, quoted so that the C runtime's splitting gives
// it back unchanged.
void AppendQuotedArgument(std::wstring& line, const std::wstring& argument);
#endif

}  // namespace orvix::test
