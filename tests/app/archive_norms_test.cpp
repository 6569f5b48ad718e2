// Norms in the archive window: a local norm table from the tests chosen, written as a norm
// file that reads back.
#include <QAction>

#include "app/archive_norms.h"
#include "archive_fixture.h"
#include "stats/norm_table_csv.h"

namespace orvix::test {
namespace {

using ArchiveNorms = ArchiveTest;

double Figure(const archive::TTestRow& row, const char* column) {
    return row.Figures[*stats::FigureColumn(column)].Value;
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

    ASSERT_EQ(archiveDialogs.informed.size(), 2u);
    const QString told = archiveDialogs.informed[1];
    EXPECT_TRUE(told.contains(QStringLiteral("Испытуемых: 3 (не вошли обследований: 2")))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("10.03.2026 — 20.04.2026"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("меньше 30 человек"))) << told.toStdString();
    EXPECT_TRUE(dialogs.failures.empty());
}

}  // namespace
}  // namespace orvix::test
