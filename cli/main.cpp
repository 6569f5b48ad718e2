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
#include "cli/report_pages.h"

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
    std::vector<std::string> args(argv + 1, argv + argc);
    // The default decimal separator is the user's, as in the window.
    const char decimal =
        orvix::DecimalCharFor(QLocale::system().decimalPoint().toUtf8().toStdString());
    const auto options = orvix::batch::ParseArguments(args, decimal, std::cerr);
    if (!options) return 2;

    std::unique_ptr<QApplication> app;
    std::unique_ptr<orvix::batch::TChartPictures> pictures;
    orvix::batch::TReportPages pages;
    if (options->Charts || options->Pdf) {
        ChooseOffscreenWithoutDisplay();
        app = std::make_unique<QApplication>(argc, argv);
    }
    if (options->Charts) pictures = std::make_unique<orvix::batch::TChartPictures>();
    const bool progress = options->Protocols.size() > 1 && isatty(2);
    return orvix::batch::RunBatch(*options, std::cerr, pictures.get(), progress, &pages);
}
