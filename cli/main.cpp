#include <QApplication>
#include <QLocale>
#include <iostream>
#include <memory>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include "base/numbers.h"
#include "cli/batch.h"
#include "cli/chart_pictures.h"
#include "cli/console.h"

namespace {

// The charts paint with Qt; without a display they are rendered on the offscreen platform.
void ChooseOffscreenWithoutDisplay() {
#if !defined(_WIN32) && !defined(__APPLE__)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = orvix::Utf8Arguments(argc, argv);
    const bool escapes = orvix::PrepareConsole();
    // The default decimal separator is the user's, as in the window.
    const char decimal =
        orvix::DecimalCharFor(QLocale::system().decimalPoint().toUtf8().toStdString());
    const auto options = orvix::batch::ParseArguments(args, decimal, std::cerr);
    if (!options) return 2;

    std::unique_ptr<QApplication> app;
    std::unique_ptr<orvix::batch::TChartPictures> pictures;
    if (options->Charts) {
        ChooseOffscreenWithoutDisplay();
        app = std::make_unique<QApplication>(argc, argv);
        pictures = std::make_unique<orvix::batch::TChartPictures>();
    }
    const bool progress = options->Protocols.size() > 1 && isatty(2) && escapes;
    return orvix::batch::RunBatch(*options, std::cerr, pictures.get(), progress);
}
