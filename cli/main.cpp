#include <cstdlib>
#include <iostream>
#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include "base/numbers.h"
#include "cli/batch.h"
#include "cli/console.h"

#if ORVIX_BATCH_CHARTS
#include <QApplication>
#include <QFontDatabase>
#include <QLocale>

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

// The user's decimal separator as the window reads it.
std::string UserDecimalPoint() {
    return QLocale::system().decimalPoint().toUtf8().toStdString();
}

}  // namespace
#else
namespace {
std::string UserDecimalPoint() {
    return orvix::UserDecimalSeparator();
}
}  // namespace
#endif

namespace {

// Each protocol's pictures take several megabytes of buffers. glibc returns such blocks to the
// system when they are freed and the next protocol faults them in again, page by page, which
// costs as much processor time as painting and encoding; kept, they are reused.
void KeepFreedMemory() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

// The worker threads: ORVIX_KL_WORKERS (a number from 1) where it is set, for tests and for
// sharing a machine; otherwise one per hardware thread.
std::size_t WorkerCount() {
    const char* text = std::getenv("ORVIX_KL_WORKERS");
    if (!text) return 0;
    char* end = nullptr;
    const unsigned long n = std::strtoul(text, &end, 10);
    return *text && !*end && n >= 1 && n <= 1024 ? n : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = orvix::Utf8Arguments(argc, argv);
    const bool escapes = orvix::PrepareConsole();
    // The default decimal separator is the user's, as in the window.
    const char decimal = orvix::DecimalCharFor(UserDecimalPoint());
    auto options = orvix::batch::ParseArguments(args, decimal, std::cerr);
    if (!options) return 2;

    if (options->Summary && orvix::batch::IsWorkbookName(*options->Summary) &&
        !orvix::batch::CanWriteWorkbooks()) {
        std::cerr << "orvix-kl-batch: --summary=FILE.xlsx недоступен: эта сборка сделана без "
                     "libxlsxwriter\n";
        return 2;
    }

    if (options->Database && !orvix::batch::CanReadArchives()) {
        std::cerr << "orvix-kl-batch: --db недоступен: эта сборка сделана без архива (SQLite)\n";
        return 2;
    }

    orvix::batch::TChartWriter* charts = nullptr;
    orvix::batch::TPageWriter* pageWriter = nullptr;
#if ORVIX_BATCH_CHARTS
    std::unique_ptr<QApplication> app;
    std::unique_ptr<orvix::batch::TChartPictures> pictures;
    orvix::batch::TReportPages pages;
    if (options->Charts || options->Pdf) {
        ChooseOffscreenWithoutDisplay();
        app = std::make_unique<QApplication>(argc, argv);
        // The font database is filled here, on the GUI thread, before worker threads paint
        // texts (fonts themselves may be used on any thread).
        QFontDatabase::families();
    }
    if (options->Charts) {
        pictures = std::make_unique<orvix::batch::TChartPictures>();
        charts = pictures.get();
    }
    pageWriter = &pages;
#else
    if (options->Charts || options->Pdf) {
        std::cerr << "orvix-kl-batch: " << (options->Charts ? "--charts" : "--pdf")
                  << " недоступен: эта сборка сделана без Qt и не рисует\n";
        return 2;
    }
#endif
    options->Workers = WorkerCount();
    KeepFreedMemory();
    if (options->Compare)
        return orvix::batch::RunComparison(*options, std::cout, std::cerr, pageWriter);
    const bool progress = options->Protocols.size() > 1 && isatty(2) && escapes;
    return orvix::batch::RunBatch(*options, std::cerr, charts, progress, pageWriter);
}
