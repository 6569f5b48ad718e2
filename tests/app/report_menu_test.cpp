// Report › PDF…, Print… and Data CSV…: the dialogs they ask, and what they write; Work curve…
// and Compare…: when they can run, what their windows show, and the comparison page.
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <cstdio>
#include <fstream>
#include <random>

#include "app/curve_windows.h"
#include "base/cp1251.h"
#include "form_fixture.h"
#include "protocol/output_names.h"
#include "protocol/points_csv.h"
#include "stats/norm_table_csv.h"
#include "stats/stats_text.h"
#include "tests/support/pdf_tools.h"

namespace orvix::test {
namespace {

QString BesideProgram(const QString& name) {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/" + name);
}

// What pdftotext reads in a PDF, whitespace runs as one space.
QString PdfText(const QString& pdf) {
    return QString::fromStdString(
               PdfToolOutput("pdftotext",
                             {"-enc", "UTF-8", PdfToolPath(pdf.toStdU16String()), "-"}))
        .simplified();
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

protogen::TProtocolText Generated(std::uint64_t seed, char decimal = '.') {
    protogen::TGenerateOptions o;
    o.Seed = seed;
    o.Decimal = decimal;
    return protogen::GenerateProtocol(o);
}

TEST_F(ReportMenu, StatisticsCommandsRunOnACompleteAnalysisOnly) {
    AboutOk();
    const auto statistics = [&] {
        return std::array<bool, 3>{form->mmReport->isEnabled(), form->mmReportCurve->isEnabled(),
                                   form->mmReportCompare->isEnabled()};
    };
    EXPECT_EQ(statistics(), (std::array<bool, 3>{false, false, false}));
    Load(Write(Generated(3)));
    ASSERT_TRUE(dialogs.failures.empty());
    EXPECT_EQ(statistics(), (std::array<bool, 3>{true, true, true}));
    // An analysis that stops early: Report stays on with Save, the statistics go off.
    Load(Write(Generated(3, ','), "comma.klp"));
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(statistics(), (std::array<bool, 3>{true, false, false}));
    form->mmReportCurve->trigger();
    form->mmReportCompare->trigger();
    EXPECT_FALSE(form->WorkCurveWindow);
    EXPECT_EQ(dialogs.openRequests.size(), 2u);
    Load(Write(Generated(4)));
    EXPECT_EQ(statistics(), (std::array<bool, 3>{true, true, true}));
}

// A page or data file for a case file holds one complete analysis of one protocol: after a
// load that failed anywhere, charts included, the commands that write them are off and write
// nothing; a file that cannot be read changes nothing, so they stay with what is on screen.
TEST_F(ReportMenu, CaseFileCommandsNeedTheCompleteAnalysisOnScreen) {
    AboutOk();
    const auto commands = [&] {
        return std::array<bool, 5>{form->mmReportPdf->isEnabled(), form->mmReportPrint->isEnabled(),
                                   form->mmReportCsv->isEnabled(), form->mmReportCurve->isEnabled(),
                                   form->mmReportCompare->isEnabled()};
    };
    const std::array<bool, 5> on{true, true, true, true, true}, off{};
    EXPECT_EQ(commands(), off);

    QString garbage = dir.filePath("garbage.klp");
    {
        std::mt19937 random(18);
        std::string bytes(4000, '\0');
        for (char& byte : bytes) byte = static_cast<char>(random());
        std::ofstream(ToPath(garbage), std::ios::binary) << bytes;
    }
    auto negative = protogen::BasicProtocol();  // its search-time chart fails, after the analysis
    negative.Head[21] = "-1.0";
    negative.Head[24] = "2";
    negative.Records = {protogen::RecordLine(1, "1.0", "-0.500", " +"),
                        protogen::RecordLine(2, "6.0", "-0.700", " +")};
    const QString good = Write(Generated(3), "good.klp");
    dialogs.printAnswer = [](QPrinter&) { return true; };
    for (const QString& failing :
         {Write(Generated(3, ','), "comma.klp"), garbage, Write(negative, "negative.klp")}) {
        SCOPED_TRACE(failing.toStdString());
        Load(good);
        EXPECT_EQ(commands(), on);
        dialogs.failures.clear();
        Load(failing);
        ASSERT_EQ(dialogs.failures.size(), 1u);
        EXPECT_EQ(commands(), off);
        EXPECT_TRUE(form->mmReport->isEnabled());  // with Save
        const auto asked = dialogs.saveRequests.size();
        for (QAction* command : {form->mmReportPdf, form->mmReportPrint, form->mmReportCsv})
            command->trigger();
        form->mmReportPdfClick();
        form->mmReportPrintClick();
        form->mmReportCsvClick();
        EXPECT_EQ(dialogs.saveRequests.size(), asked);
        EXPECT_EQ(dialogs.printRequests, 0);
    }

    // Unreadable: the complete load stays on screen, and the page is still its page.
    Load(good);
    const std::string subject = form->SubjectCaption();
    Load(dir.filePath("missing.klp"));
    EXPECT_EQ(commands(), on);
    const QString pdf = dir.filePath("page.pdf");
    dialogs.saveAnswers.push_back(pdf);
    form->mmReportPdf->trigger();
    EXPECT_TRUE(PdfText(pdf).contains(ToQString(subject).simplified()));
}

TEST_F(ReportMenu, CompareWithAFailingProtocolShowsWhatDataShowsAndKeepsTheLoad) {
    AboutOk();
    Load(Write(Generated(5), "later.klp"));
    ASSERT_TRUE(dialogs.failures.empty());
    const std::string report = Report();
    const std::string tag = form->FileTag();
    const int points = form->ChartSel->Plot().SeriesSel->PointCount();

    const QString missing = dir.filePath("missing.klp");
    const QString comma = Write(Generated(6, ','), "comma.klp");
    // Analysed to the end, but its search-time chart cannot take the range.
    auto negative = protogen::BasicProtocol();
    negative.Head[21] = "-1.0";
    negative.Head[24] = "2";
    negative.Records = {protogen::RecordLine(1, "1.0", "-0.500", " +"),
                        protogen::RecordLine(2, "6.0", "-0.700", " +")};
    const QString axis = Write(negative, "negative.klp");
    for (const QString& bad : {missing, comma, axis}) {
        dialogs.openAnswers.push_back(bad);
        form->mmReportCompare->trigger();
    }
    ASSERT_EQ(dialogs.failures.size(), 3u);
    // It starts where Data starts.
    ASSERT_EQ(dialogs.openRequests.size(), 4u);
    EXPECT_EQ(dialogs.openRequests[1].InitialDir, dialogs.openRequests[0].InitialDir);
    EXPECT_EQ(dialogs.openRequests[1].InitialDir, BesideProgram("Data"));
    // Nothing of the loaded protocol changed.
    EXPECT_FALSE(form->CompareWindow);
    EXPECT_EQ(Report(), report);
    EXPECT_EQ(form->FileTag(), tag);
    EXPECT_EQ(form->ChartSel->Plot().SeriesSel->PointCount(), points);
    EXPECT_TRUE(form->mmReportCompare->isEnabled());

    // The same files under Data: the same messages, the same way.
    Load(missing);
    Load(comma);
    Load(axis);
    ASSERT_EQ(dialogs.failures.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(dialogs.failures[i].text, dialogs.failures[i + 3].text);
        EXPECT_EQ(dialogs.failures[i].caption, dialogs.failures[i + 3].caption);
        EXPECT_FALSE(dialogs.failures[i].busyCursor);
    }
    EXPECT_EQ(dialogs.failures[0].text, "Cannot open file " + missing + ".");
    EXPECT_EQ(dialogs.failures[2].text, "Axis Maximum Value must be >= Minimum.");
}

TEST_F(ReportMenu, StatisticsWindowsShowTheFiguresAndTheComparisonPageIsSaved) {
    form->SetDecimalPointSource([] { return QStringLiteral(","); });
    AboutOk();
    const auto earlierText = Generated(8, ',');
    const auto laterText = Generated(9, ',');
    const QString earlierPath = Write(earlierText, "earlier.klp");
    Load(Write(laterText, "later.klp"));
    ASSERT_TRUE(dialogs.failures.empty());
    const TLoadedProtocol earlier = LoadAndAnalyse(ToPath(earlierPath));
    const TLoadedProtocol laterLoad = AnalyseText(laterText.Text());
    const TAnalysisResult& later = laterLoad.Analysis.Result;

    form->mmReportCurve->trigger();
    ASSERT_TRUE(form->WorkCurveWindow);
    TWorkCurveWindow& curve = *form->WorkCurveWindow;
    EXPECT_TRUE(curve.isVisible());
    EXPECT_FALSE(curve.isModal());
    const stats::TWorkCurve laterCurve = stats::ComputeWorkCurve(later);
    std::string figures = stats::WorkCurveText(laterCurve, stats::ComputeAccuracy(later), ',');
    figures.pop_back();
    EXPECT_EQ(curve.Figures->toPlainText().toStdString(), figures);
    EXPECT_EQ(curve.Plot().Selections->PointCount(), static_cast<int>(laterCurve.Minutes.size()));
    // Asked again, the window is made anew in place of the old one.
    QPointer<TWorkCurveWindow> first = form->WorkCurveWindow;
    form->mmReportCurve->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_TRUE(form->WorkCurveWindow);

    // The picked protocol is the earlier test, the loaded one the later.
    dialogs.openAnswers.push_back(earlierPath);
    form->mmReportCompare->trigger();
    ASSERT_TRUE(dialogs.failures.empty()) << dialogs.failures[0].text.toStdString();
    ASSERT_TRUE(form->CompareWindow);
    TCompareWindow& compare = *form->CompareWindow;
    const stats::TRetest retest = stats::CompareTests(earlier.Analysis.Result, later);
    EXPECT_EQ(compare.Text->toPlainText().toStdString() + "\n",
              stats::RetestText(retest, "earlier.klp", "later.klp", ','));
    ASSERT_EQ(compare.Table->rowCount(), static_cast<int>(retest.Rows.size()));
    ASSERT_EQ(compare.Table->columnCount(), 4);
    EXPECT_EQ(compare.Table->horizontalHeaderItem(3)->text(), QStringLiteral("Разность"));
    for (int r = 0; r < compare.Table->rowCount(); ++r) {
        const stats::TIndexRow& row = retest.Rows[static_cast<std::size_t>(r)];
        EXPECT_EQ(compare.Table->item(r, 0)->text().toStdString(), row.Name);
        EXPECT_EQ(compare.Table->item(r, 1)->text().toStdString(),
                  stats::NumberText(row.Earlier, row.Decimals, ','));
        EXPECT_EQ(compare.Table->item(r, 3)->text().toStdString(),
                  stats::NumberText(row.Difference, row.Decimals, ','));
    }
    EXPECT_EQ(compare.Plot().EarlierSelections->PointCount(),
              static_cast<int>(retest.EarlierCurve.Minutes.size()));

    const QString pdf = dir.filePath("compare.pdf");
    dialogs.saveAnswers.push_back(pdf);
    compare.PdfButton->click();
    EXPECT_TRUE(dialogs.failures.empty());
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].FileName,
              BesideProgram("Results/" +
                            ToQString(output::FileName(form->FileTag(), output::kComparePdf))));
    EXPECT_EQ(dialogs.saveRequests[0].Filter, (TFileFilter{"PDF Files (*.pdf)", "*.pdf"}));
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Повторное обследование — ") +
                              ToQString(form->SubjectCaption()).simplified()))
        << text.toStdString();
    const stats::TIndexRow& firstRow = retest.Rows[0];
    EXPECT_TRUE(text.contains(
        QString::fromStdString(std::string(firstRow.Name) + " " +
                               stats::NumberText(firstRow.Earlier, firstRow.Decimals, ','))));
}

// Given norms, the comparison window and its page measure the change against them.
TEST_F(ReportMenu, TheComparisonWindowWithNormsGivesTheReliableChangeOnItsPage) {
    const TLoadedProtocol earlier = AnalyseText(Generated(8, '.').Text());
    const TLoadedProtocol later = AnalyseText(Generated(9, '.').Text());
    ASSERT_EQ(later.Analysis.Stopped, TAnalysisStep::Done);
    const stats::TNormRead read = stats::ReadNormTable(
        "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,source\n"
        "окно,1,selections per minute,any,,,,90,30,8,higher,0.8,проверка окна\n"
        "окно,1,accuracy,any,,,,90,0.9,0.05,higher,0.7,проверка окна\n");
    ASSERT_FALSE(read.Error);
    stats::TNormInput norms;
    norms.Table = std::make_shared<const stats::TNormTable>(read.Table);
    auto* window = new TCompareWindow(earlier, later, "первое", "второе", '.', dialogs, dir.path(),
                                      form.get(), norms);
    const stats::TRetest retest =
        stats::CompareTests(earlier.Analysis.Result, later.Analysis.Result, &norms);
    ASSERT_TRUE(retest.Norms);
    ASSERT_EQ(retest.Norms->Lines.size(), 2u);
    EXPECT_EQ(window->Text->toPlainText().toStdString() + "\n",
              stats::RetestText(retest, "первое", "второе", '.'));

    const QString pdf = dir.filePath("compare.pdf");
    dialogs.saveAnswers.push_back(pdf);
    window->PdfButton->click();
    EXPECT_TRUE(dialogs.failures.empty());
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Надёжность изменения по нормам")))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains(QStringLiteral("Нормы «окно», версия 1, n = 90; источник: проверка окна")))
        << text.toStdString();
    window->close();
}

}  // namespace
}  // namespace orvix::test
