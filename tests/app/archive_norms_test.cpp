// Norms in the archive window: a local norm table from the tests chosen, written as a norm
// file that reads back.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <cstdio>

#include "app/archive_norms.h"
#include "app/curve_windows.h"
#include "app/norm_columns.h"
#include "app/user_dirs.h"
#include "archive/archive.h"
#include "archive_fixture.h"
#include "base/numbers.h"
#include "stats/norm_table_csv.h"
#include "stats/stats_text.h"
#include "tests/support/pdf_tools.h"

namespace orvix::test {
namespace {

using ArchiveNorms = ArchiveTest;

double Figure(const archive::TTestRow& row, const char* column) {
    return row.Figures[*stats::FigureColumn(column)].Value;
}

// Norms for boys of 9 to 11: N+ by mean and SD from 40 people, accuracy from 20.
constexpr char kBoys[] =
    "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,source\n"
    "мальчики,1,N+,male,9,11,,40,200,40,higher,0.8,проверка окна\n"
    "мальчики,1,accuracy,male,9,11,,20,0.9,0.05,higher,0.7,проверка окна\n";

void WriteText(const QString& path, const char* text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// What pdftotext reads in a PDF, whitespace runs as one space.
QString PdfText(const QString& pdf) {
    return QString::fromStdString(
               PdfToolOutput("pdftotext",
                             {"-enc", "UTF-8", PdfToolPath(pdf.toStdU16String()), "-"}))
        .simplified();
}

TEST_F(ArchiveNorms, NormsFromTheChosenTestsTakeEachExamineeOnceByTheirFirstTest) {
    Put(Named(100, "Кузнецов 01.06.2026", "Кузнецов Е.В."), "k2.klp");
    Put(Named(101, "Кузнецов 10.03.2026", "Кузнецов Е.В."), "k1.klp");
    Put(Named(102, "Петрова 12.03.2026", "Петрова А.С."), "p.klp");
    Put(Named(103, "Орлов 20.04.2026", "Орлов И.П."), "o.klp");
    auto spoilt = Named(104, "Смирнова 11.03.2026", "Смирнова О.Л.");
    spoilt.Head[11] = "x";
    Put(spoilt, "s.klp");
    TArchiveWindow& w = OpenArchive();

    // Two tests of one person are not a group.
    SelectFiles({"k1.klp", "k2.klp"});
    ASSERT_TRUE(w.actNorms->isEnabled());
    w.actNorms->trigger();
    ASSERT_EQ(archiveDialogs.informed.size(), 1u);
    EXPECT_TRUE(archiveDialogs.informed[0].contains(QStringLiteral("хотя бы двух испытуемых")));
    EXPECT_TRUE(dialogs.saveRequests.empty());

    // A cancelled name writes nothing.
    SelectFiles({"k1.klp", "k2.klp", "p.klp", "o.klp", "s.klp"});
    w.actNorms->trigger();
    EXPECT_TRUE(dialogs.saveRequests.empty());

    // The group is what the examinees share: the range of their ages and one label; their
    // sexes differ, so any sex.
    const auto setData = [&](const char* file, stats::TSex sex, stats::TDate birth) {
        w.Archive().SetExamineeData(w.TestModel().Row(RowOf(file)).ExamineeId, {sex, birth, "5А"});
    };
    setData("k1.klp", stats::TSex::Male, {2015, 5, 1});    // 10 at 10.03.2026
    setData("p.klp", stats::TSex::Female, {2014, 12, 1});  // 11 at 12.03.2026
    setData("o.klp", stats::TSex::Male, {2015, 9, 1});     // 10 at 20.04.2026
    w.Refresh();
    archiveDialogs.names.push_back(QStringLiteral("школа 5/2026"));
    const QString file = dir.filePath("norms.csv");
    dialogs.saveAnswers.push_back(file);
    w.actNorms->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].InitialDir,
              QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/Results"));
    // The proposed name cannot hold a folder separator.
    EXPECT_TRUE(dialogs.saveRequests[0].FileName.endsWith(QStringLiteral("школа 5_2026.csv")));

    const stats::TNormRead read = stats::ReadNormTable(Read(file));
    ASSERT_FALSE(read.Error) << read.Error->Message;
    const stats::TNormRow* plus = nullptr;
    for (const stats::TNormRow& row : read.Table.Rows)
        if (row.Index == "N+") plus = &row;
    ASSERT_TRUE(plus);
    EXPECT_EQ(plus->NormId, "школа 5/2026");
    // k1 (the earlier of Кузнецов's), p and o; not the retest, not the failed test.
    EXPECT_EQ(plus->N, 3);
    const auto& m = w.TestModel();
    const double mean =
        (Figure(m.Row(RowOf("k1.klp")), "N+") + Figure(m.Row(RowOf("p.klp")), "N+") +
         Figure(m.Row(RowOf("o.klp")), "N+")) /
        3;
    ASSERT_TRUE(plus->Mean);
    EXPECT_NEAR(*plus->Mean, mean, 1e-6);
    EXPECT_EQ(plus->DateFrom, "2026-03-10");
    EXPECT_EQ(plus->DateTo, "2026-04-20");
    EXPECT_EQ(plus->Sex, stats::TSex::Any);
    EXPECT_EQ(plus->AgeFrom, 10);
    EXPECT_EQ(plus->AgeTo, 11);
    EXPECT_EQ(plus->Group, "5А");

    ASSERT_EQ(archiveDialogs.informed.size(), 2u);
    const QString told = archiveDialogs.informed[1];
    EXPECT_TRUE(told.contains(QStringLiteral("Испытуемых: 3 (не вошли обследований: 2")))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("10.03.2026 — 20.04.2026"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("меньше 30 человек"))) << told.toStdString();
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(ArchiveNorms, ExamineeDataAndTheNormTableScoreTheNormColumns) {
    Put(Named(110, "Кузнецов 10.03.2026", "Кузнецов Е.В."), "k.klp");
    Put(Named(111, "Петрова 12.03.2026", "Петрова А.С."), "p.klp");
    TArchiveWindow& w = OpenArchive();
    const int fixed = w.TestModel().columnCount();

    // The examinee's data, and the list showing it: sex, age at the latest test, group.
    SelectExaminees({"Кузнецов Е.В."});
    ASSERT_TRUE(w.actExamineeData->isEnabled());
    archiveDialogs.examineeData.push_back({stats::TSex::Male, stats::TDate{2015, 5, 1}, "4 класс"});
    w.actExamineeData->trigger();
    QAbstractItemModel* people = w.Examinees->model();
    int k = -1;
    for (int r = 0; r < people->rowCount(); ++r)
        if (people->index(r, 0).data().toString() == QStringLiteral("Кузнецов Е.В.")) k = r;
    ASSERT_GE(k, 0);
    EXPECT_EQ(people->index(k, 3).data().toString(), QStringLiteral("м"));
    EXPECT_EQ(people->index(k, 4).data().toInt(), 10);
    EXPECT_EQ(people->index(k, 5).data().toString(), QStringLiteral("4 класс"));
    // Asked again, the dialog proposes what is kept; a cancel keeps it.
    SelectExaminees({"Кузнецов Е.В."});
    w.actExamineeData->trigger();
    ASSERT_EQ(archiveDialogs.examineeDataShown.size(), 2u);
    EXPECT_EQ(archiveDialogs.examineeDataShown[1].Group, "4 класс");
    EXPECT_EQ(archiveDialogs.examineeDataShown[1].BirthDate, (stats::TDate{2015, 5, 1}));
    w.Examinees->clearSelection();  // everyone's tests again

    // Without a table the columns are refused with a word why.
    w.actNormColumns->setChecked(true);
    EXPECT_FALSE(w.actNormColumns->isChecked());
    EXPECT_EQ(w.TestModel().columnCount(), fixed);
    ASSERT_EQ(archiveDialogs.informed.size(), 1u);

    // A bad file is refused with the reader's message; a good one starts in the norms folder
    // and is put in use.
    const QString bad = dir.filePath("bad.csv");
    WriteText(bad, "norm_id,version\n");
    dialogs.openAnswers.push_back(bad);
    w.actImportNorms->trigger();
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(w.NormsState->text(), QStringLiteral("Нормы не выбраны"));
    const QString good = dir.filePath("мальчики.csv");
    WriteText(good, kBoys);
    dialogs.openAnswers.push_back(good);
    w.actImportNorms->trigger();
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[1].InitialDir, user_dirs::NormsFolder(form->ExeDir()));
    EXPECT_EQ(w.NormsState->text(), QStringLiteral("Нормы: мальчики.csv"));

    // T and percentile per index of the table, then the warnings.
    w.actNormColumns->setChecked(true);
    ASSERT_EQ(w.TestModel().columnCount(), fixed + 5);
    const auto heading = [&](int c) {
        return w.TestModel().headerData(fixed + c, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    EXPECT_EQ(heading(0), QStringLiteral("T N+"));
    EXPECT_EQ(heading(1), QStringLiteral("П N+"));
    EXPECT_EQ(heading(2), QStringLiteral("T Точность"));
    const auto cell = [&](const char* file, int c, int role = Qt::DisplayRole) {
        return w.TestModel().index(RowOf(QString::fromUtf8(file)), fixed + c).data(role).toString();
    };
    const double plus = Figure(w.TestModel().Row(RowOf("k.klp")), "N+");
    EXPECT_EQ(cell("k.klp", 0).toStdString(),
              stats::NumberText(50 + 10 * (plus - 200) / 40, 0, DecimalChar()));
    // The accuracy norm's group is small: said where its scores stand.
    EXPECT_TRUE(cell("k.klp", 2, Qt::ToolTipRole).contains(QStringLiteral("n = 20")));
    EXPECT_EQ(cell("k.klp", 4), QStringLiteral("замечаний: 1"));
    // Петрова has no data: no norm of the table fits her.
    EXPECT_TRUE(cell("p.klp", 0).isEmpty());
    EXPECT_EQ(cell("p.klp", 4), QStringLiteral("замечаний: 2"));
    EXPECT_TRUE(cell("p.klp", 4, Qt::ToolTipRole).contains(QStringLiteral("нет нормы")));

    // Sorted by T, either way the tests without one go last.
    w.Tests->sortByColumn(fixed, Qt::DescendingOrder);
    EXPECT_EQ(RowOf("k.klp"), 0);
    w.Tests->sortByColumn(fixed, Qt::AscendingOrder);
    EXPECT_EQ(RowOf("k.klp"), 0);
    w.Tests->sortByColumn(fixed + 4, Qt::DescendingOrder);
    EXPECT_EQ(RowOf("p.klp"), 0);

    // Fewer indices chosen: fewer columns; the choice stays after the lists are read again.
    ASSERT_EQ(w.NormIndices->actions().size(), 2);
    w.NormIndices->actions()[1]->setChecked(false);
    EXPECT_EQ(w.TestModel().columnCount(), fixed + 3);
    w.Refresh();
    EXPECT_EQ(w.TestModel().columnCount(), fixed + 3);

    // No table in use: the columns go; then the table is removed.
    archiveDialogs.names.push_back(QStringLiteral("(без норм)"));
    w.actChooseNorms->trigger();
    EXPECT_EQ(w.TestModel().columnCount(), fixed);
    EXPECT_EQ(w.NormsState->text(), QStringLiteral("Нормы не выбраны"));
    archiveDialogs.names.push_back(QStringLiteral("мальчики.csv"));
    w.actRemoveNorms->trigger();
    EXPECT_TRUE(w.Archive().NormTables().empty());
    EXPECT_EQ(dialogs.failures.size(), 1u);
}

TEST_F(ArchiveNorms, ReportPageAndComparisonsTakeTheTableInUseAndTheExamineesData) {
    const QString first = Put(Named(120, "Кузнецов 10.03.2026", "Кузнецов Е.В."), "k1.klp");
    const QString second = Put(Named(121, "Кузнецов 01.06.2026", "Кузнецов Е.В."), "k2.klp");
    TArchiveWindow& w = OpenArchive();

    // Without a table in use the page is as it was.
    form->OpenProtocol(second);
    const QString plain = dir.filePath("plain.pdf");
    dialogs.saveAnswers.push_back(plain);
    form->mmReportPdf->trigger();
    EXPECT_FALSE(PdfText(plain).contains(QStringLiteral("Нормы «")));

    w.Archive().ImportNormTable("мальчики.csv", kBoys);
    w.Archive().SetExamineeData(w.TestModel().Row(RowOf("k1.klp")).ExamineeId,
                                {stats::TSex::Male, stats::TDate{2015, 5, 1}, {}});
    const QString pdf = dir.filePath("normed.pdf");
    dialogs.saveAnswers.push_back(pdf);
    form->mmReportPdf->trigger();
    const QString text = PdfText(pdf);
    // Found by its content: the examinee at the test of 01.06.2026 is 11.
    EXPECT_TRUE(text.contains(QStringLiteral("пол мужской, 11 лет"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Нормы «мальчики», версия 1"))) << text.toStdString();

    // The archive window's comparison (its rows read again: the data was set behind its back),
    // and Report › Compare…: the examinee at the earlier test.
    w.Refresh();
    SelectFiles({"k1.klp", "k2.klp"});
    w.actCompare->trigger();
    ASSERT_TRUE(form->CompareWindow);
    const QString compared = form->CompareWindow->Text->toPlainText();
    EXPECT_TRUE(compared.contains(
        QStringLiteral("Обследуемый при первом обследовании: пол мужской, 10 лет")))
        << compared.toStdString();
    form->CompareWindow->close();
    dialogs.openAnswers.push_back(first);
    form->mmReportCompare->trigger();
    ASSERT_TRUE(form->CompareWindow);
    EXPECT_TRUE(form->CompareWindow->Text->toPlainText().contains(
        QStringLiteral("Обследуемый при первом обследовании: пол мужской, 10 лет")));
    EXPECT_TRUE(dialogs.failures.empty());
}

}  // namespace
}  // namespace orvix::test
