#include "console.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <clocale>
#endif

namespace orvix {

#ifdef _WIN32

namespace {

std::string ToUtf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size) - 1);  // without the terminating zero
    return out;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int, char**) {
    std::vector<std::string> out;
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) return out;
    for (int i = 1; i < count; ++i) out.push_back(ToUtf8(words[i]));
    LocalFree(words);
    return out;
}

bool PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    // Not a console (a file or a pipe): the bytes pass as they are.
    if (err == INVALID_HANDLE_VALUE || !GetConsoleMode(err, &mode)) return true;
    if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
    return SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::string UserDecimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 0) return ".";
    return ToUtf8(separator);
}

#else

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool PrepareConsole() {
    return true;
}

std::string UserDecimalSeparator() {
    // The environment's numeric locale, asked for and put back: the program itself keeps
    // the "C" locale, so nothing else it formats changes.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::string separator = ".";
    if (std::setlocale(LC_NUMERIC, "")) {
        if (const std::lconv* conv = std::localeconv(); conv && conv->decimal_point)
            separator = conv->decimal_point;
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    return separator;
}

#endif

}  // namespace orvix
