// The archive window's commands: the user's corrections through its dialogs, comparisons with
// their warnings (and the Report menu's Compare… with the same), and the group summary with
// its export.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

#include "app/curve_windows.h"
#include "app/group_summary_window.h"
#include "archive/archive.h"
#include "archive/archive_export.h"
#include "archive_fixture.h"
#include "stats/group_summary.h"

namespace orvix::test {
namespace {

using ArchiveCommands = ArchiveTest;

// Readable by its owner only. Windows has no group and other bits (who may read is the folder's
// access list, and Qt reports every readable file readable by all), so there it is not asked.
void ExpectOwnerOnly(const QString& file) {
#ifdef _WIN32
    (void)file;
#else
    EXPECT_EQ(QFileInfo(file).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0)
        << file.toStdString();
#endif
}

TEST_F(ArchiveCommands, CorrectionsGoThroughTheArchiveAndTheListsFollow) {
    Put(Named(60, "Кузнецов 10.03.2026", "Испытуемый: Кузнецов Е.В., 30 лет"), "k1.klp");
    Put(Named(61, "Кузнецов 01.06.2026", "Кузнецов Е.В."), "k2.klp");
    Put(Named(62, "Петрова 11.03.2026", "Петрова А.С."), "p1.klp");
    auto undated = Named(63, "без даты", "Петрова А. С.");
    undated.Head[0] = W1251("Протокол");
    Put(undated, "p2.klp");
    TArchiveWindow& w = OpenArchive();
    ASSERT_EQ(ExamineeNames(), (QStringList{"Кузнецов Е.В.", "Петрова А.С."}));
    const auto examineeOf = [&](const QString& file) {
        return w.TestModel().index(RowOf(file), 0).data().toString();
    };

    // A test to another examinee: the names offered are everybody's.
    SelectFiles({"p1.klp"});
    EXPECT_FALSE(w.actUndoMove->isEnabled());
    archiveDialogs.names.push_back(QStringLiteral("Кузнецов Е.В."));
    w.actMove->trigger();
    EXPECT_EQ(archiveDialogs.nameLists.back(), (QStringList{"Кузнецов Е.В.", "Петрова А.С."}));
    EXPECT_EQ(examineeOf("p1.klp"), QStringLiteral("Кузнецов Е.В."));
    EXPECT_EQ(w.ExamineeModel().Rows().size(), 2u);
    // Still selected after the lists were read again: undo is at hand.
    ASSERT_EQ(w.SelectedTests().size(), 1u);
    EXPECT_TRUE(w.actUndoMove->isEnabled());
    w.actUndoMove->trigger();
    EXPECT_EQ(examineeOf("p1.klp"), QStringLiteral("Петрова А.С."));

    // Two tests to a new examinee, by a name typed.
    SelectFiles({"k2.klp", "p2.klp"});
    archiveDialogs.names.push_back(QStringLiteral("Новикова Н.Н."));
    w.actMove->trigger();
    EXPECT_EQ(examineeOf("k2.klp"), QStringLiteral("Новикова Н.Н."));
    EXPECT_EQ(examineeOf("p2.klp"), QStringLiteral("Новикова Н.Н."));
    EXPECT_EQ(ExamineeNames(), (QStringList{"Кузнецов Е.В.", "Новикова Н.Н.", "Петрова А.С."}));

    // A rename.
    SelectExaminees({"Новикова Н.Н."});
    ASSERT_TRUE(w.actRename->isEnabled());
    archiveDialogs.names.push_back(QStringLiteral("Новикова Нина Николаевна"));
    w.actRename->trigger();
    EXPECT_TRUE(ExamineeNames().contains(QStringLiteral("Новикова Нина Николаевна")));

    // A date set, and back to the file's date.
    w.Examinees->clearSelection();
    SelectFiles({"p2.klp"});
    const QModelIndex before = w.TestModel().index(RowOf("p2.klp"), 1);
    const QString fileDate = before.data().toString();
    EXPECT_EQ(before.data(Qt::ToolTipRole).toString(), QStringLiteral("дата файла"));
    archiveDialogs.dates.push_back({QDate(2025, 12, 1)});
    w.actSetDate->trigger();
    QModelIndex after = w.TestModel().index(RowOf("p2.klp"), 1);
    EXPECT_EQ(after.data().toString(), QStringLiteral("01.12.2025"));
    EXPECT_EQ(after.data(Qt::ToolTipRole).toString(), QStringLiteral("дата задана вручную"));
    EXPECT_FALSE(after.data(Qt::FontRole).isValid());
    archiveDialogs.dates.push_back({});
    w.actSetDate->trigger();
    after = w.TestModel().index(RowOf("p2.klp"), 1);
    EXPECT_EQ(after.data().toString(), fileDate);
    EXPECT_TRUE(after.data(Qt::FontRole).value<QFont>().italic());
    // A cancelled question changes nothing.
    w.actSetDate->trigger();
    w.actMove->trigger();
    EXPECT_EQ(examineeOf("p2.klp"), QStringLiteral("Новикова Нина Николаевна"));

    // Two examinees made one, under the name chosen.
    SelectExaminees({"Кузнецов Е.В.", "Новикова Нина Николаевна"});
    ASSERT_TRUE(w.actMerge->isEnabled());
    archiveDialogs.names.push_back(QStringLiteral("Кузнецов Е.В."));
    w.actMerge->trigger();
    EXPECT_EQ(ExamineeNames(), (QStringList{"Кузнецов Е.В.", "Петрова А.С."}));
    for (const char* f : {"k1.klp", "k2.klp", "p2.klp"})
        EXPECT_EQ(examineeOf(f), QStringLiteral("Кузнецов Е.В.")) << f;

    // The user's corrections outlive a scan and the window.
    w.actRescan->trigger();
    WaitForScan();
    w.close();
    Renew();
    OpenArchive();
    EXPECT_EQ(ExamineeNames(), (QStringList{"Кузнецов Е.В.", "Петрова А.С."}));
    EXPECT_EQ(Window().TestModel().index(RowOf("p2.klp"), 0).data().toString(),
              QStringLiteral("Кузнецов Е.В."));
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(ArchiveCommands, CompareTakesTheEarlierByDateAndWarnsOfWhatIsAmiss) {
    Put(Named(70, "Кузнецов 01.06.2026", "Кузнецов Е.В."), "later.klp");
    Put(Named(71, "Кузнецов 10.03.2026", "Кузнецов Е.В., 30 лет"), "earlier.klp");
    Put(Named(72, "Петрова 10.03.2026", "Петрова А.С."), "other.klp");
    TArchiveWindow& w = OpenArchive();

    // One person, in the list later test first: no warning, the earlier one first.
    SelectFiles({"later.klp", "earlier.klp"});
    ASSERT_TRUE(w.actCompare->isEnabled());
    w.actCompare->trigger();
    ASSERT_TRUE(form->CompareWindow);
    EXPECT_TRUE(form->CompareWindow->Warnings->isHidden());
    EXPECT_TRUE(form->CompareWindow->Text->toPlainText().startsWith(
        QStringLiteral("Сравнение двух обследований (разность: повторное минус первое)\n"
                       "Первое: earlier.klp\nПовторное: later.klp")))
        << form->CompareWindow->Text->toPlainText().toStdString();

    // Two people on one day.
    SelectFiles({"earlier.klp", "other.klp"});
    w.actCompare->trigger();
    ASSERT_TRUE(form->CompareWindow);
    const QString warned = form->CompareWindow->Warnings->text();
    EXPECT_FALSE(form->CompareWindow->Warnings->isHidden());
    EXPECT_TRUE(warned.contains(QStringLiteral("разных испытуемых")) &&
                warned.contains(QStringLiteral("«Кузнецов Е.В.»")) &&
                warned.contains(QStringLiteral("«Петрова А.С.»")))
        << warned.toStdString();
    EXPECT_TRUE(warned.contains(QStringLiteral("в один день — 10.03.2026")))
        << warned.toStdString();
    // The page says the same at its top.
    const QString pdf = dir.filePath("compare.pdf");
    dialogs.saveAnswers.push_back(pdf);
    form->CompareWindow->PdfButton->click();
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);

    // A test moved to the other examinee by the user: the archive's examinees decide.
    SelectFiles({"other.klp"});
    archiveDialogs.names.push_back(QStringLiteral("Кузнецов Е.В."));
    w.actMove->trigger();
    SelectFiles({"other.klp", "later.klp"});
    w.actCompare->trigger();
    EXPECT_TRUE(form->CompareWindow->Warnings->isHidden())
        << form->CompareWindow->Warnings->text().toStdString();

    // A test whose file is gone: Data's message, no comparison.
    ASSERT_TRUE(QFile::remove(dir.filePath("Data/later.klp")));
    form->CompareWindow->close();
    SelectFiles({"earlier.klp", "later.klp"});
    w.actCompare->trigger();
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].text,
              "Cannot open file " + QDir::toNativeSeparators(dir.filePath("Data/later.klp")) + ".");
}

TEST_F(ArchiveCommands, ReportCompareWarnsOfAnotherExamineeAndOfDatesOutOfOrder) {
    AboutOk();
    Load(Write(Named(80, "Кузнецов 01.06.2026", "Кузнецов Е.В."), "loaded.klp"));
    struct Case {
        protogen::TProtocolText picked;
        QStringList parts;  // what the warnings must say; none: no warnings
    };
    const Case cases[] = {
        {Named(81, "Кузнецов 10.03.2026", "Испытуемый: Кузнецов Е. В."), {}},
        {Named(82, "Петрова 10.03.2026", "Петрова А.С."),
         {"разных испытуемых", "«Петрова А.С.» (первое)", "«Кузнецов Е.В.» (повторное)"}},
        {Named(83, "Кузнецов 02.07.2026", "Кузнецов Е.В."),
         {"первое обследование (02.07.2026) датировано позже повторного (01.06.2026)"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        dialogs.openAnswers.push_back(Write(c.picked, QString("picked%1.klp").arg(n++)));
        form->mmReportCompare->trigger();
        ASSERT_TRUE(form->CompareWindow);
        const QString text = form->CompareWindow->Warnings->text();
        EXPECT_EQ(form->CompareWindow->Warnings->isHidden(), c.parts.isEmpty())
            << text.toStdString();
        for (const QString& part : c.parts) EXPECT_TRUE(text.contains(part)) << text.toStdString();
    }
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(ArchiveCommands, SummaryOfTheChosenTestsAndItsExport) {
    Put(Named(90, "Кузнецов 10.03.2026", "Кузнецов Е.В."), "a.klp");
    Put(Named(91, "Кузнецов 01.06.2026", "Кузнецов Е.В."), "b.klp");
    auto spoilt = Named(92, "Петрова 11.03.2026", "Петрова А.С.");
    spoilt.Head[11] = "x";
    Put(spoilt, "c.klp");
    Put(Named(93, "Орлов 11.03.2026", "Орлов И.П."), "d.klp");
    TArchiveWindow& w = OpenArchive();
    SelectFiles({"a.klp", "b.klp", "c.klp"});
    ASSERT_TRUE(w.actSummary->isEnabled());
    w.actSummary->trigger();
    auto* summary = w.findChild<TGroupSummaryWindow*>();
    ASSERT_TRUE(summary);
    EXPECT_FALSE(summary->isModal());
    EXPECT_EQ(summary->Caption->text(),
              QStringLiteral("Обследований: 3, из них с ошибкой (без показателей): 1"));

    // Every numeric index, n counting the tests with a figure; the figures as computed from
    // the two good tests' cells.
    const std::vector<std::size_t> numeric = stats::NumericFigureColumns();
    ASSERT_EQ(summary->Table->rowCount(), static_cast<int>(numeric.size()));
    const std::size_t plus = *stats::FigureColumn("N+");
    const double a = w.TestModel().Row(RowOf("a.klp")).Figures[plus].Value;
    const double b = w.TestModel().Row(RowOf("b.klp")).Figures[plus].Value;
    int plusRow = -1;
    for (int r = 0; r < summary->Table->rowCount(); ++r)
        if (summary->Table->item(r, 0)->text().startsWith(QStringLiteral("N+"))) plusRow = r;
    ASSERT_GE(plusRow, 0);
    EXPECT_EQ(summary->Table->item(plusRow, 1)->text(), QStringLiteral("2"));
    EXPECT_EQ(summary->Table->item(plusRow, 2)->text(), QString::number((a + b) / 2, 'f', 2));
    EXPECT_EQ(summary->Table->item(plusRow, 7)->text(), QString::number(std::min(a, b), 'f', 2));

    // The export: the rows with the archive export's columns, and the summary beside them.
    const QString rowsFile = dir.filePath("out/group.csv");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("out")));
    dialogs.saveAnswers.push_back(rowsFile);
    summary->ExportButton->click();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].InitialDir,
              QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/Results"));
    EXPECT_EQ(dialogs.saveRequests[0].Filter->Pattern, QStringLiteral("*.csv *.xlsx"));
    std::vector<std::vector<stats::TCell>> rows;
    for (const archive::TTestRow& t : summary->Tests())
        rows.push_back(archive::ExportCells(t, t.Examinee, false));
    EXPECT_EQ(Read(rowsFile), archive::ExportCsv(rows));
    const QString summaryFile = dir.filePath("out/group (сводка).csv");
    const std::string summaryText = Read(summaryFile);
    EXPECT_EQ(summaryText,
              stats::CsvTable(stats::SummaryHeader(), stats::SummaryCells(summary->Summary())));
    EXPECT_EQ(summaryText.rfind("index,n,mean,SD,median,Q1,Q3,min,max\n", 0), 0u);
    EXPECT_NE(summaryText.find("\nN+,2,"), std::string::npos) << summaryText;
    ExpectOwnerOnly(rowsFile);
    EXPECT_TRUE(dialogs.failures.empty());

    // A name ending in .xlsx makes both files workbooks, the owner's only.
    const QString book = dir.filePath("out/group.XLSX");
    dialogs.saveAnswers.push_back(book);
    summary->ExportButton->click();
    EXPECT_TRUE(dialogs.failures.empty());
    const QString summaryBook = dir.filePath("out/group (сводка).XLSX");
    for (const QString& file : {book, summaryBook}) {
        EXPECT_EQ(Read(file).substr(0, 2), "PK") << file.toStdString();
        ExpectOwnerOnly(file);
    }
#ifdef ORVIX_OPENPYXL_PYTHON
    // Read back: the same header, one row per test, and the summary's N+ row with its n.
    QProcess python;
    python.start(QStringLiteral(ORVIX_OPENPYXL_PYTHON),
                 {QStringLiteral("-c"),
                  QStringLiteral("import openpyxl,sys\n"
                                 "for f in sys.argv[1:]:\n"
                                 "  s=openpyxl.load_workbook(f).active\n"
                                 "  r=list(s.iter_rows(values_only=True))\n"
                                 "  print(s.title,len(r),r[0][0],r[0][-1],r[1][0],r[1][1])\n"),
                  book, summaryBook});
    ASSERT_TRUE(python.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
    ASSERT_GE(lines.size(), 2) << python.readAllStandardError().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Обследования 4 file status %1 %2")
                            .arg(QString::fromStdString(rows[0][0].Text),
                                 QString::fromStdString(rows[0][1].Text)));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Сводка ") +
                                    QString::number(summary->Table->rowCount() + 1) +
                                    QStringLiteral(" index max ")))
        << lines[1].toStdString();
#endif
}

}  // namespace
}  // namespace orvix::test
