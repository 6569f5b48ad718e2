// orvix-kl: the window program.
#include "dialogs.h"
#include "failure.h"
#include "main_window.h"

int main(int argc, char** argv) {
    orvix::TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvix-kl"));
    QApplication::setApplicationVersion(QStringLiteral("3.01"));
    orvix::TQtDialogs dialogs;
    orvix::SetFailureDialogs(&dialogs);
    orvix::TForm1 form(dialogs);
    form.show();
    return QApplication::exec();
}
