// Reading a PDF back with poppler's command-line tools (pdftotext, pdfinfo, pdffonts, pdftoppm),
// on Linux and from the Windows build running under wine alike.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orvix::test {

struct TToolRun {
    int status = -1;     // the tool's exit code; -1 when it could not be started or did not end
    std::string output;  // what it wrote to its standard output
};

// Runs poppler's `tool` with `arguments`, each passed exactly as given (no shell splitting),
// and waits for it. File names among the arguments go through PdfToolPath.
TToolRun RunPdfTool(const std::string& tool, const std::vector<std::string>& arguments);

// `file` as the tool must be given it: the Windows build under wine runs the Linux tools,
// which know the file only by its Unix name.
std::string PdfToolPath(const std::filesystem::path& file);

// The standard output of a tool that is expected to succeed (a failure is reported in the
// running test).
std::string PdfToolOutput(const std::string& tool, const std::vector<std::string>& arguments);

}  // namespace orvix::test
