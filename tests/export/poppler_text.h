// Reading a PDF back with poppler's command-line tools.
#pragma once

#include <QString>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace orvix::test {

// The standard output of a command, which must succeed.
inline std::string CommandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return out;
}

inline std::string ShellQuoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// Whitespace runs as one space, ends trimmed: text extraction may space words differently.
inline std::string Squeezed(const QString& text) {
    return text.simplified().toStdString();
}
inline std::string Squeezed(const std::string& utf8) {
    return Squeezed(QString::fromStdString(utf8));
}

// The text of the whole page, squeezed.
inline std::string PdfText(const std::filesystem::path& pdf) {
    return Squeezed(CommandOutput("pdftotext -enc UTF-8 " + ShellQuoted(pdf) + " -"));
}

// The text inside `area` (page units: tenths of a point), squeezed.
template <typename Rect>
std::string PdfTextIn(const std::filesystem::path& pdf, const Rect& area) {
    const auto pt = [](double units) { return std::to_string(std::lround(units / 10)); };
    return Squeezed(CommandOutput("pdftotext -enc UTF-8 -r 72 -x " + pt(area.left()) + " -y " +
                                  pt(area.top()) + " -W " + pt(area.width()) + " -H " +
                                  pt(area.height()) + " " + ShellQuoted(pdf) + " -"));
}

}  // namespace orvix::test
