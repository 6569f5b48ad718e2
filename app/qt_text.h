// Where Windows-1251 text meets Qt: conversions to and from QString, and file paths.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvix {

// Windows-1251 bytes as a QString (every byte maps to one character).
QString ToQString(std::string_view text1251);

// A QString as Windows-1251 bytes; characters the code page lacks become `replacement`.
std::string ToCp1251(const QString& text, char replacement = '?');

// Whether every character of `text` has a Windows-1251 byte.
bool FitsCp1251(const QString& text);

// A path chosen in a dialog, as the file system sees it.
std::filesystem::path ToPath(const QString& path);

// A path as the user reads it (native separators).
QString FromPath(const std::filesystem::path& path);

}  // namespace orvix
