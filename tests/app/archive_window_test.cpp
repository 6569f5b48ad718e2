// The archive window as the user meets it: a test loaded from it is what Data loads (report,
// menu, messages), search and sort, one examinee's history, what opening the database tells,
// and closing it in the middle of a scan.
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "app/about_box.h"
#include "app/archive_columns.h"
#include "archive/archive.h"
#include "archive/database.h"
#include "archive_fixture.h"
#include "base/file_io.h"

namespace orvix::test {
namespace {

// What the main window shows after a command.
struct TOutcome {
    std::vector<QString> failures;
    std::string report, fileTag;
    TMenuState menu{};
    bool workHidden = true;
    int points = 0;
    bool operator==(const TOutcome&) const = default;
};

void PrintTo(const TOutcome& o, std::ostream* out) {
    *out << "failures:";
    for (const QString& f : o.failures) *out << " [" << f.toStdString() << "]";
    *out << " menu:";
    for (const bool on : o.menu) *out << on;
    *out << " work " << (o.workHidden ? "hidden" : "shown") << ", FileTag " << o.fileTag
         << ", points " << o.points << ", report of " << o.report.size() << " bytes";
}

// Types `text` into `widget` key by key, Cyrillic too (QTest's own typing is ASCII only).
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
}

class ArchiveWindow : public ArchiveTest {
  protected:
    TOutcome Outcome() {
        TOutcome o;
        for (const auto& f : dialogs.failures) o.failures.push_back(f.text);
        o.report = Report();
        o.fileTag = form->FileTag();
        o.menu = Menu();
        o.workHidden = form->paWork->isHidden();
        o.points = form->ChartSel->Plot().SeriesSel->PointCount();
        return o;
    }
};

TEST_F(ArchiveWindow, ATestLoadedFromTheListIsWhatDataLoads) {
    const QString good = Put(Named(3, "Кузнецов 10.03.2026", "Кузнецов Е.В."), "good.klp");
    auto spoilt = Named(4, "Петрова 11.03.2026", "Петрова А.С.");
    spoilt.Head[9] = "9 8";
    const QString bad = Put(spoilt, "bad.klp");
    const QString gone = Put(Named(5, "Орлов 12.03.2026", "Орлов И.П."), "gone.klp");

    // Each file first as the first load after start-up, then after a good load in the
    // search-time view; the missing file is gone after the archive has listed it.
    struct Case {
        QString path;
        bool afterGood;
    };
    const Case cases[] = {{good, false}, {bad, false}, {gone, false}, {bad, true}, {gone, true}};
    bool removed = false;
    for (const Case& c : cases) {
        const QString name = QFileInfo(c.path).fileName();
        SCOPED_TRACE(name.toStdString() + (c.afterGood ? " after a load" : ""));
        const auto prepare = [&] {
            if (!c.afterGood) return;
            Load(good);
            form->mmChartSel->trigger();
        };
        // Through the archive: Enter on its row (double click for the good file).
        Renew();
        dialogs.failures.clear();
        TArchiveWindow& window = OpenArchive();
        ASSERT_GE(RowOf(name), 0);
        if (c.path == gone && !removed) {
            ASSERT_TRUE(QFile::remove(gone));
            removed = true;
        }
        prepare();
        SelectFiles({name});
        EXPECT_TRUE(window.actOpen->isEnabled());
        if (c.path == good) {
            const QRect cell =
                window.Tests->visualRect(window.Tests->model()->index(RowOf(name), 2));
            // A double click is a click, then the second press that the system reports as a
            // double click.
            QTest::mouseClick(window.Tests->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(window.Tests->viewport(), Qt::LeftButton, {}, cell.center());
        } else {
            QTest::keyClick(window.Tests, Qt::Key_Return);
        }
        const TOutcome archived = Outcome();

        // Through Data.
        Renew();
        dialogs.failures.clear();
        AboutOk();
        prepare();
        Load(c.path);
        const TOutcome data = Outcome();

        EXPECT_EQ(archived, data);
        ASSERT_EQ(data.failures.size(), c.path == good ? 0u : 1u);
        if (c.path == gone) {
            EXPECT_EQ(data.failures[0], "Cannot open file " + gone + ".");
        } else if (c.path == bad) {
            EXPECT_EQ(data.failures[0], "'9 8' is not a valid integer value.");
        } else {
            EXPECT_EQ(data.report, BatchReport(good));
        }
    }
}

TEST_F(ArchiveWindow, SearchAndSortAsOneTypesAndClicks) {
    struct P {
        const char* name;
        const char* tag;
        const char* subject;
        const char* plus;
    };
    const P protocols[] = {
        {"a.klp", "Кузнецов 10.12.2026", "Испытуемый: Кузнецов Е.В., обследование 10.12.2026", "9"},
        {"b.klp", "Кузнецов 05.01.2027", "Кузнецов Е. В., 41 год", "100"},
        {"c.klp", "Петрова 20.12.2026", "Петрова Анна Сергеевна, 29 лет", "10"},
        {"d-school.klp", "Школа 7, 2б класс 03.02.2026", "Ёлкина Ю.", "55"},
    };
    std::uint64_t seed = 20;
    for (const P& p : protocols) {
        auto text = Named(seed++, p.tag, p.subject);
        text.Head[11] = p.plus;
        Put(text, p.name);
    }
    TArchiveWindow& w = OpenArchive();
    EXPECT_EQ(w.Counts->text(), QStringLiteral("Протоколов: 4, испытуемых: 3, показано: 4, с "
                                               "ошибкой: 0, нет файла: 0"));
    EXPECT_EQ(ExamineeNames().size(), 3);
    EXPECT_EQ(ExamineeNames().mid(1), (QStringList{"Кузнецов Е.В.", "Петрова Анна Сергеевна"}));

    // Numbers as numbers, both ways.
    const int plusColumn = 5;
    QHeaderView* header = w.Tests->horizontalHeader();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    };
    SelectFiles({"c.klp"});
    clickHeader(plusColumn);
    EXPECT_EQ(Column(plusColumn), (QStringList{"9", "10", "55", "100"}));
    clickHeader(plusColumn);
    EXPECT_EQ(Column(plusColumn), (QStringList{"100", "55", "10", "9"}));
    // The selection follows its row.
    ASSERT_EQ(w.SelectedTests().size(), 1u);
    EXPECT_EQ(w.SelectedTests()[0].File.filename(), "c.klp");
    // Dates as dates, across the year's end.
    clickHeader(1);
    if (header->sortIndicatorOrder() != Qt::AscendingOrder) clickHeader(1);
    EXPECT_EQ(Column(1), (QStringList{"03.02.2026", "10.12.2026", "20.12.2026", "05.01.2027"}));

    // The search, as one types: examinee (letter case and ё ignored), FileTag, file name.
    const auto search = [&](const QString& text) {
        w.Search->clear();
        Type(w.Search, text);
        QStringList files;
        for (int r = 0; r < w.TestModel().rowCount(); ++r)
            files.append(FromPath(w.TestModel().Row(r).File.filename()));
        files.sort();
        return files;
    };
    EXPECT_EQ(search("КУЗН"), (QStringList{"a.klp", "b.klp"}));
    EXPECT_EQ(ExamineeNames(), QStringList{"Кузнецов Е.В."});
    EXPECT_TRUE(w.Counts->text().contains(QStringLiteral("показано: 2")));
    EXPECT_EQ(search("елкина"), QStringList{"d-school.klp"});
    EXPECT_EQ(search("2б класс"), QStringList{"d-school.klp"});
    EXPECT_EQ(search("c.kl"), QStringList{"c.klp"});
    EXPECT_EQ(search("nobody"), QStringList{});
    EXPECT_TRUE(ExamineeNames().isEmpty());
    EXPECT_EQ(search(""), (QStringList{"a.klp", "b.klp", "c.klp", "d-school.klp"}));
    EXPECT_EQ(ExamineeNames().size(), 3);

    // One examinee: their tests in date order, and their history.
    clickHeader(plusColumn);
    SelectExaminees({"Кузнецов Е.В."});
    EXPECT_EQ(Column(1), (QStringList{"10.12.2026", "05.01.2027"}));
    EXPECT_EQ(Column(0), (QStringList{"Кузнецов Е.В.", "Кузнецов Е.В."}));
    EXPECT_TRUE(w.HistoryPane->isVisibleTo(&w));
    ASSERT_EQ(w.History().Selections->PointCount(), 2);
    EXPECT_LT(w.History().Selections->PointX(0), w.History().Selections->PointX(1));
    EXPECT_EQ(w.History().Chart().Foot.Text().at(0), W1251("Кузнецов Е.В."));
    EXPECT_TRUE(w.Counts->text().contains(QStringLiteral("показано: 2")));
    w.Examinees->clearSelection();
    EXPECT_FALSE(w.HistoryPane->isVisibleTo(&w));
    EXPECT_EQ(w.TestModel().rowCount(), 4);
}

TEST_F(ArchiveWindow, FileDatesFailuresAndMissingFilesAreMarked) {
    auto undated = Named(31, "без даты", "Орлов И.П.");
    undated.Head[0] = W1251("Протокол");
    const QString file = Put(undated, "undated.klp");
    auto spoilt = Named(32, "Орлов 01.02.2026", "Орлов И.П.");
    spoilt.Head[11] = "x";
    Put(spoilt, "spoilt.klp");
    const QString gone = Put(Named(33, "Орлов 02.02.2026", "Орлов И.П."), "gone.klp");
    WriteFileAtomically(ToPath(dir.filePath("Data/notes.txt")), "not a protocol\n");
    TArchiveWindow& w = OpenArchive();
    ASSERT_EQ(w.TestModel().rowCount(), 3);

    const QModelIndex date = w.TestModel().index(RowOf("undated.klp"), 1);
    EXPECT_EQ(date.data(Qt::ToolTipRole).toString(), QStringLiteral("дата файла"));
    EXPECT_TRUE(date.data(Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(date.data().toString(),
              QFileInfo(file).lastModified().date().toString(QStringLiteral("dd.MM.yyyy")));
    EXPECT_FALSE(w.TestModel().index(RowOf("gone.klp"), 1).data(Qt::FontRole).isValid());
    const int status = static_cast<int>(ArchiveColumns().size()) - 1;
    EXPECT_EQ(w.TestModel().index(RowOf("spoilt.klp"), status).data().toString(),
              QStringLiteral("'x' is not a valid integer value."));

    ASSERT_TRUE(QFile::remove(gone));
    w.actRescan->trigger();
    WaitForScan();
    EXPECT_EQ(w.TestModel().index(RowOf("gone.klp"), status).data().toString(),
              QStringLiteral("нет файла"));
    EXPECT_EQ(w.Counts->text(), QStringLiteral("Протоколов: 3, испытуемых: 1, показано: 3, с "
                                               "ошибкой: 1, нет файла: 1"));
    EXPECT_TRUE(w.ScanState->text().contains(QStringLiteral("других файлов 1")))
        << w.ScanState->text().toStdString();
}

TEST_F(ArchiveWindow, AFolderAddedIsScannedAndKept) {
    Put(Named(40, "Кузнецов 10.03.2026", "Кузнецов Е.В."), "one.klp");
    const QString clinic = dir.filePath("clinic share/группа 1");
    ASSERT_TRUE(QDir().mkpath(clinic));
    Write(Named(41, "Петрова 11.03.2026", "Петрова А.С."), "clinic share/группа 1/two.klp");
    TArchiveWindow& w = OpenArchive();
    EXPECT_EQ(w.TestModel().rowCount(), 1);
    archiveDialogs.folders.push_back(dir.filePath("clinic share"));
    w.actAddFolder->trigger();
    WaitForScan();
    EXPECT_EQ(w.TestModel().rowCount(), 2);
    EXPECT_GE(RowOf("two.klp"), 0);
    // Kept for the next time, with the Data folder first.
    w.close();
    Renew();
    TArchiveWindow& again = OpenArchive();
    const std::vector<std::filesystem::path> roots = again.ScanRoots();
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0], ToPath(data));
    EXPECT_EQ(roots[1], ToPath(dir.filePath("clinic share")));
}

TEST_F(ArchiveWindow, ClosingInTheMiddleOfAScanStopsIt) {
    for (int i = 0; i < 400; ++i) {
        protogen::TGenerateOptions o;
        o.Seed = 100 + static_cast<std::uint64_t>(i);
        Put(protogen::GenerateProtocol(o), QString("p%1.klp").arg(i));
    }
    AboutOk();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        form->mmArchive->trigger();
        ASSERT_TRUE(form->ArchiveWindow);
        QPointer<TArchiveWindow> window = form->ArchiveWindow;
        // The scan starts right after the window is shown.
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->Scanner().Running(); }, 5000));
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(window);
        if (round == 0) {
            // Stopped: the scan had no time to read them all (the analysis alone of 400
            // protocols takes a good part of a second).
            archive::TArchive archive(ToPath(database));
            EXPECT_LT(archive.Tests().size(), 400u);
        }
    }
    // What the stopped scans did is kept, and the next scan goes on to the end.
    TArchiveWindow& w = OpenArchive();
    EXPECT_EQ(w.TestModel().rowCount(), 400);
    EXPECT_TRUE(w.ScanState->text().startsWith(QStringLiteral("Поиск окончен")));
    // The main window closed during a scan takes the window and its scan along.
    w.actRescan->trigger();
    form->close();
    EXPECT_FALSE(form->ArchiveWindow && form->ArchiveWindow->isVisible());
    form.reset();
    archive::TArchive archive(ToPath(database));
    EXPECT_EQ(archive.Database().QueryText("PRAGMA integrity_check"), "ok");
}

TEST_F(ArchiveWindow, WhatOpeningTheDatabaseFoundIsToldAndAFailureShown) {
    Put(Named(50, "Кузнецов 10.03.2026", "Кузнецов Е.В."), "one.klp");
    // A damaged file: set aside, told, the index built anew.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(database).path()));
    WriteFileAtomically(ToPath(database), std::string(8192, '\x5a'));
    TArchiveWindow& w = OpenArchive();
    ASSERT_EQ(archiveDialogs.informed.size(), 1u);
    EXPECT_TRUE(archiveDialogs.informed[0].contains(QStringLiteral("Файл сохранён как")))
        << archiveDialogs.informed[0].toStdString();
    EXPECT_EQ(w.TestModel().rowCount(), 1);
    EXPECT_TRUE(dialogs.failures.empty());
    w.close();

    // A database that cannot be made: the message, no window, the program goes on.
    Renew();
    const QString blocker = dir.filePath("file");
    WriteFileAtomically(ToPath(blocker), "x");
    form->SetArchivePlaces(ToPath(blocker + "/archive.db"), data);
    AboutOk();
    form->mmArchive->trigger();
    EXPECT_FALSE(form->ArchiveWindow);
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].caption, ApplicationTitle());
    EXPECT_FALSE(dialogs.failures[0].text.isEmpty());
    Load(Put(Named(51, "x", "y"), "x.klp"));
    EXPECT_EQ(dialogs.failures.size(), 1u);
}

TEST_F(ArchiveWindow, ItsKeyOpensItOnceDataIsOn) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(form->ArchiveWindow);
    AboutOk();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(form->ArchiveWindow);
    EXPECT_TRUE(form->ArchiveWindow->isVisible());
}

TEST_F(ArchiveWindow, TheAboutBoxNamesTheDatabasesPlace) {
    TAboutBox& about = *form->AboutBox;
    ASSERT_TRUE(about.DatabasePlace);
    const QString place = FromPath(form->ArchiveDatabase());
    about.ShowDatabasePlace(place);
    EXPECT_EQ(about.DatabasePlace->toolTip(), QStringLiteral("Архив: ") + place);
    EXPECT_TRUE(about.DatabasePlace->text().startsWith(QStringLiteral("Архив: ")));
    EXPECT_TRUE(about.DatabasePlace->text().endsWith(QStringLiteral("archive.db")));
    // Inside the box's panel.
    const QRect r = about.DatabasePlace->geometry();
    EXPECT_LE(r.bottom(), about.DatabasePlace->parentWidget()->height());
    EXPECT_LE(r.right(), about.DatabasePlace->parentWidget()->width());
}

}  // namespace
}  // namespace orvix::test
