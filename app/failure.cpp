#include "failure.h"

#include <QPointer>
#include <QWidget>
#include <new>

#include "base/cp1251.h"
#include "base/errors.h"
#include "dialogs.h"
#include "qt_text.h"
#include "qt_translation.h"

namespace orvix {
namespace {
TDialogs* g_dialogs = nullptr;
}  // namespace

QString ApplicationTitle() {
    return QStringLiteral("ORVIX-КЛ");
}

void SetFailureDialogs(TDialogs* dialogs) {
    g_dialogs = dialogs;
}

void ReportFailure(const std::string& message) {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    const QString text = ToQString(FailureText(message));
    QPointer<QWidget> active = QApplication::activeWindow();
    if (g_dialogs) {
        g_dialogs->ShowFailure(active, ApplicationTitle(), text);
    } else {
        TQtDialogs fallback;
        fallback.ShowFailure(active, ApplicationTitle(), text);
    }
    if (active) active->activateWindow();
}

void ReportCurrentFailure() {
    try {
        throw;
    } catch (const Exception& e) {
        ReportFailure(e.Message());
    } catch (const std::bad_alloc&) {
        ReportFailure(msg::kOutOfMemory);
    } catch (const std::exception& e) {
        ReportFailure(Utf8ToCp1251(e.what()));
    }
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallQtTranslation(*this);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception&) {
        ReportCurrentFailure();
        return true;
    }
}

}  // namespace orvix
