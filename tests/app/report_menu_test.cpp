// Report › PDF…, Print… and Data CSV…: the dialogs they ask, and what they write.
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <cstdio>

#include "base/cp1251.h"
#include "form_fixture.h"
#include "protocol/points_csv.h"

namespace orvix::test {
namespace {

QString BesideProgram(const QString& name) {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/" + name);
}

// What pdftotext reads in a PDF, whitespace runs as one space.
QString PdfText(const QString& pdf) {
    const std::string command = "pdftotext -enc UTF-8 '" + pdf.toStdString() + "' -";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
        EXPECT_EQ(pclose(pipe), 0);
    }
    return QString::fromStdString(out).simplified();
}

using ReportMenu = FormTest;

TEST_F(ReportMenu, PdfAndCsvProposeResultsNamesAndWriteWhatTheWindowHolds) {
    AboutOk();
    auto protocol = ValidProtocol();
    protocol.Head[1] = W1251("Петров 12/05");
    Load(Write(protocol));
    ASSERT_TRUE(dialogs.failures.empty());
    // The page prints the report as the user has edited it.
    form->meAnalysis->appendPlainText(QStringLiteral("Заключение психолога"));

    const QString pdf = dir.filePath("page.pdf");
    dialogs.saveAnswers.push_back(pdf);
    form->mmReportPdf->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const TSaveDialogSettings& asked = dialogs.saveRequests[0];
    EXPECT_EQ(asked.FileName, BesideProgram("Results/Петров 12_05 KL.pdf"));
    EXPECT_EQ(asked.InitialDir, BesideProgram("Results"));
    EXPECT_EQ(asked.Filter, (TFileFilter{"PDF Files (*.pdf)", "*.pdf"}));
    EXPECT_TRUE(asked.OverwritePrompt);
    EXPECT_TRUE(dialogs.failures.empty());
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Заключение психолога"))) << text.toStdString();
    EXPECT_TRUE(text.contains(ToQString(form->SubjectCaption()).simplified()));

    const QString csv = dir.filePath("points.csv");
    dialogs.saveAnswers.push_back(csv);
    form->mmReportCsv->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(dialogs.saveRequests[1].FileName, BesideProgram("Results/Петров 12_05 KL.csv"));
    EXPECT_EQ(dialogs.saveRequests[1].Filter, (TFileFilter{"CSV Files (*.csv)", "*.csv"}));
    const std::string table = Read(csv);
    EXPECT_EQ(Lines(table).size(), 5u);  // the header and the four selections
    EXPECT_EQ(table, PointsCsv(form->LineBuffer(), AnalyseText(protocol.Text()).Analysis.Result));

    // Cancelled: nothing more. A folder that does not exist: the message, no file.
    form->mmReportCsv->trigger();
    const QString unwritable = dir.filePath("no/such/folder/p.pdf");
    dialogs.saveAnswers.push_back(unwritable);
    form->mmReportPdf->trigger();
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].text, "Cannot create file " + unwritable + ".");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    // The Report commands have dialog settings of their own: Save › Analysis still shows what
    // the Save commands left (here, nothing: no filter).
    form->mmSaveAnalysis->trigger();
    EXPECT_EQ(dialogs.saveRequests.back().Title,
              QStringLiteral("Запись результатов анализа в текстовый файл"));
    EXPECT_FALSE(dialogs.saveRequests.back().Filter);
}

TEST_F(ReportMenu, PrintPaintsThePageOnThePrinterTheDialogSetUp) {
    AboutOk();
    Load(Write(ValidProtocol()));
    form->mmReportPrint->trigger();  // cancelled
    EXPECT_EQ(dialogs.printRequests, 1);

    const QString printed = dir.filePath("printed.pdf");
    QPageLayout offered;
    dialogs.printAnswer = [&](QPrinter& printer) {
        offered = printer.pageLayout();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    };
    form->mmReportPrint->trigger();
    EXPECT_EQ(dialogs.printRequests, 2);
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_EQ(offered.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(offered.orientation(), QPageLayout::Portrait);
    ASSERT_TRUE(QFileInfo::exists(printed));
    const QString text = PdfText(printed);
    for (const std::string& line : Lines(Report())) {
        const QString shown = ToQString(line).simplified();
        if (!shown.isEmpty()) {
            EXPECT_TRUE(text.contains(shown)) << shown.toStdString();
        }
    }
}

}  // namespace
}  // namespace orvix::test
