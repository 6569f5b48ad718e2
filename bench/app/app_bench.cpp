// The main window on the offscreen platform: creating and showing it (the part of start-up
// after the application object), the Data command on a 2,000-record protocol from the chosen
// file to the report shown, and saving each chart as a picture from the confirmed dialog to
// the file on disk. Run with QT_QPA_PLATFORM=xcb on an X display (xvfb-run -a) to time the
// chart pictures copied from the screen rather than rendered.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/report_view.h"
#include "tools/protogen/protocol_writer.h"

namespace {

using namespace orvix;

// Every dialog answered at once: the open dialog with one file, the save dialog with another
// (or cancelled), failures counted.
class TAnswering final : public TDialogs {
  public:
    QString file;
    std::optional<QString> saveFile;
    int failures = 0;
    std::optional<QString> OpenFile(QWidget*, const TOpenDialogSettings&) override { return file; }
    std::optional<QString> SaveFile(QWidget*, const TSaveDialogSettings&) override {
        return saveFile;
    }
    void ShowFailure(QWidget*, const QString&, const QString&) override { ++failures; }
};

void BM_ShowMainWindow(benchmark::State& state) {
    TAnswering dialogs;
    for (auto _ : state) {
        TForm1 form(dialogs);
        form.show();
        QApplication::processEvents();  // laid out and painted
        benchmark::DoNotOptimize(form.isVisible());
    }
}
BENCHMARK(BM_ShowMainWindow)->Unit(benchmark::kMillisecond);

void BM_DataCommand(benchmark::State& state) {
    QTemporaryDir dir;
    protogen::TGenerateOptions options;
    options.Seed = 3;
    options.TargetSelections = static_cast<std::int32_t>(state.range(0));
    options.DurationSeconds = 1500;
    TAnswering dialogs;
    dialogs.file = dir.filePath(QStringLiteral("large.klp"));
    protogen::WriteProtocolFile(protogen::GenerateProtocol(options), ToPath(dialogs.file));
    SetFailureDialogs(&dialogs);

    TForm1 form(dialogs);
    form.SetDecimalPointSource([] { return QStringLiteral("."); });
    form.show();
    form.mmOpen->setEnabled(true);
    QApplication::processEvents();
    for (auto _ : state) {
        form.mmOpen->trigger();
        QApplication::processEvents();  // the report painted
    }
    // The generator aims at the number of records; the count it reaches is reported.
    if (dialogs.failures != 0 || form.SelectionCount() < options.TargetSelections * 9 / 10)
        state.SkipWithError("the protocol did not load");
    state.counters["records"] = form.SelectionCount();
    SetFailureDialogs(nullptr);
}
BENCHMARK(BM_DataCommand)->Arg(2000)->Unit(benchmark::kMillisecond);

// Save › Chart 5 sec (0) or Save › Chart Select (1) after a load of a generated protocol: from
// the dialog's answer to the GIF file written.
void BM_SaveChart(benchmark::State& state) {
    QTemporaryDir dir;
    TAnswering dialogs;
    dialogs.file = dir.filePath(QStringLiteral("p.klp"));
    protogen::TGenerateOptions options;
    options.Seed = 3;
    protogen::WriteProtocolFile(protogen::GenerateProtocol(options), ToPath(dialogs.file));
    SetFailureDialogs(&dialogs);

    TForm1 form(dialogs);
    form.SetDecimalPointSource([] { return QStringLiteral("."); });
    form.show();
    QElapsedTimer shown;
    shown.start();
    while (!form.windowHandle()->isExposed() && shown.elapsed() < 5000)
        QApplication::processEvents();
    form.mmOpen->setEnabled(true);
    form.mmOpen->trigger();
    QAction* save = form.mmSaveChart5sec;
    if (state.range(0) == 1) {
        form.mmChartSel->trigger();
        save = form.mmSaveChartSel;
    }
    QApplication::processEvents();
    dialogs.saveFile = dir.filePath(QStringLiteral("chart.gif"));
    for (auto _ : state) save->trigger();
    if (dialogs.failures != 0 || QFile(*dialogs.saveFile).size() < 1000)
        state.SkipWithError("the picture was not written");
    state.SetLabel(QGuiApplication::platformName().toStdString());
    SetFailureDialogs(nullptr);
}
BENCHMARK(BM_SaveChart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
