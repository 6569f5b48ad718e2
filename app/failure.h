// The central failure handler: a failure that ends a command is shown in a modal message box
// (the application's title as caption, a stop icon, one OK button) and the program goes on.
#pragma once

#include <QApplication>
#include <QString>
#include <string>

namespace orvix {

class TDialogs;

// The text under which the running program is listed and which captions its message boxes.
QString ApplicationTitle();

// The dialogs that show failures (the application's for the whole run; tests install theirs).
void SetFailureDialogs(TDialogs* dialogs);

// Shows a failure: releases any mouse grab, applies the "." rule to the Windows-1251 message
// and shows it modally; the window that was active before is active again afterwards.
void ReportFailure(const std::string& message);

// Inside a catch block: reports the exception being handled. Failures of the analysis path
// carry their own message; running out of memory reads "Out of memory".
void ReportCurrentFailure();

// Runs one command; a failure ends it there and is reported. Commands started from menus and
// buttons go through this, so no exception unwinds through the toolkit's own frames.
template <typename Command>
void RunCommand(Command&& command) {
    try {
        command();
    } catch (const std::exception&) {
        ReportCurrentFailure();
    }
}

// The application object: whatever failure escapes an event handler is reported here, and the
// event loop goes on. The toolkit's own texts are Russian (InstallQtTranslation).
class TApplication : public QApplication {
  public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace orvix
