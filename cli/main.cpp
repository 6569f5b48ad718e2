#include <QCoreApplication>
#include <QLocale>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include "cli/batch.h"
#include "protocol/numbers.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // The default decimal separator is the user's, as in the window.
    const char decimal =
        orvix::DecimalCharFor(QLocale::system().decimalPoint().toUtf8().toStdString());
    const auto options = orvix::batch::ParseArguments(args, decimal, std::cerr);
    if (!options) return 2;
    if (options->Charts) {
        std::cerr << "orvix-kl-batch: --charts is not available in this build\n";
        return 2;
    }
    const bool progress = options->Protocols.size() > 1 && isatty(2);
    return orvix::batch::RunBatch(*options, std::cerr, nullptr, progress);
}
