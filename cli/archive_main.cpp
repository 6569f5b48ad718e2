// orvix-kl-archive: see archive_tool.h.
#include <iostream>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include "base/numbers.h"
#include "cli/archive_tool.h"
#include "cli/console.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args = orvix::Utf8Arguments(argc, argv);
    const bool escapes = orvix::PrepareConsole();
    const char decimal = orvix::DecimalCharFor(orvix::UserDecimalSeparator());
    const auto options = orvix::archive_tool::ParseArchiveArguments(args, decimal, std::cerr);
    if (!options) return 2;
    const bool progress = isatty(2) && escapes;
    return orvix::archive_tool::RunArchiveTool(*options, std::cout, std::cerr, progress);
}
