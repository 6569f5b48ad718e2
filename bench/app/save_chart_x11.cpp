// Saving a chart picture through the real save dialog, on an X display: the time from the
// dialog's confirmation (its Return key reaching the dialog) to the picture written. It takes
// in closing the dialog, repainting what it covered, the screen copy, encoding and writing.
//
//     QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" app_save_chart_x11 [RUNS]
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "tools/protogen/protocol_writer.h"

namespace {

using namespace orvix;

// The desktop's dialogs, the open dialog answered at once and the save dialog confirmed with
// Return on the name given in `picture`; the moment the Return key reaches it is kept.
class TConfirmingDialogs final : public TDialogs, public QObject {
  public:
    QString protocol, picture;
    QElapsedTimer confirmed;
    int failures = 0;

    std::optional<QString> OpenFile(QWidget*, const TOpenDialogSettings&) override {
        return protocol;
    }
    std::optional<QString> SaveFile(QWidget* parent, const TSaveDialogSettings& settings) override {
        TSaveDialogSettings named = settings;
        named.FileName = picture;
        confirmed.invalidate();
        QTimer::singleShot(300, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (!name) return;
            QApplication::postEvent(name, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
            QApplication::postEvent(name, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, {}));
        });
        qApp->installEventFilter(this);
        std::optional<QString> chosen = desktop_.SaveFile(parent, named);
        qApp->removeEventFilter(this);
        return chosen;
    }
    void ShowFailure(QWidget*, const QString&, const QString& text) override {
        std::fprintf(stderr, "failure: %s\n", qPrintable(text));
        ++failures;
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && !confirmed.isValid() &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return)
            confirmed.start();
        return false;
    }

  private:
    TQtDialogs desktop_;
};

}  // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir dir;
    TConfirmingDialogs dialogs;
    SetFailureDialogs(&dialogs);
    dialogs.protocol = dir.filePath("p.klp");
    protogen::TGenerateOptions options;
    options.Seed = 3;
    protogen::WriteProtocolFile(protogen::GenerateProtocol(options), ToPath(dialogs.protocol));

    TForm1 form(dialogs);
    form.show();
    QElapsedTimer clock;
    clock.start();
    while (!form.windowHandle()->isExposed() && clock.elapsed() < 5000)
        QApplication::processEvents();
    form.mmOpen->setEnabled(true);
    form.mmOpen->trigger();

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        // Alternately each chart, each time under a new name (no overwrite prompt).
        QAction* save = run % 2 ? form.mmSaveChartSel : form.mmSaveChart5sec;
        (run % 2 ? form.mmChartSel : form.mmChart5sec)->trigger();
        dialogs.picture = dir.filePath(QStringLiteral("chart%1.gif").arg(run));
        save->trigger();
        const double ms = static_cast<double>(dialogs.confirmed.nsecsElapsed()) / 1e6;
        if (dialogs.failures || !dialogs.confirmed.isValid() || !QFile::exists(dialogs.picture)) {
            std::fprintf(stderr, "run %d: no picture written\n", run + 1);
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "%s: confirmation to picture written over %d runs: min %.1f ms, median %.1f ms, "
        "max %.1f ms\n",
        qPrintable(QGuiApplication::platformName()), runs, times.front(), times[times.size() / 2],
        times.back());
    SetFailureDialogs(nullptr);
    return 0;
}
