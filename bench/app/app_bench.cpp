// The main window on the offscreen platform: creating and showing it (the part of start-up
// after the application object), and the Data command on a 2,000-record protocol from the
// chosen file to the report shown.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/report_view.h"
#include "tools/protogen/protocol_writer.h"

namespace {

using namespace orvix;

// Every dialog answered at once: the open dialog with one file, failures counted.
class TAnswering final : public TDialogs {
  public:
    QString file;
    int failures = 0;
    std::optional<QString> OpenFile(QWidget*, const TOpenDialogSettings&) override { return file; }
    std::optional<QString> SaveFile(QWidget*, const TSaveDialogSettings&) override {
        return std::nullopt;
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

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
