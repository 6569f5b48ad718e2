// Report › Print… on a machine without a printer: the print dialog can only print to a PDF
// file, and proposes it where the other Report commands write, under Report › PDF…'s name.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QTimer>

#include "base/cp1251.h"
#include "form_fixture.h"

namespace orvix::test {
namespace {

using ReportPrint = FormTest;

TEST_F(ReportPrint, WithoutAPrinterThePageFileIsProposedInResults) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is set up here";
    AboutOk();
    auto protocol = ValidProtocol();
    protocol.Head[1] = W1251("Петров 12/05");
    Load(Write(protocol));
    ASSERT_TRUE(dialogs.failures.empty());

    // The desktop's print dialog, as the user sees it.
    QString printerShown, fileShown;
    dialogs.printAnswer = [&](QPrinter& printer) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            printerShown = dialog->findChild<QComboBox*>("printers")->currentText();
            fileShown = dialog->findChild<QLineEdit*>("filename")->text();
            dialog->reject();
        });
        TQtDialogs desktop;
        return desktop.Print(form.get(), printer);
    };
    form->mmReportPrint->trigger();
    EXPECT_EQ(dialogs.printRequests, 1);
#ifdef _WIN32
    GTEST_SKIP() << "Windows's print dialog is the system's own, without Qt's widgets to read";
#endif
    EXPECT_EQ(printerShown, QPrintDialog::tr("Print to File (PDF)"));
    EXPECT_EQ(fileShown, QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                  "/Results/Петров 12_05 KL.pdf"));
    EXPECT_TRUE(dialogs.failures.empty());
}

}  // namespace
}  // namespace orvix::test
