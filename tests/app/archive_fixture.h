// A main window whose archive lives in the test's own folder (its database and its Data
// folder), the archive window's questions answered from queues, and protocols of named
// examinees written for the test.
#pragma once

#include <QDir>
#include <QTableView>
#include <QTest>
#include <deque>

#include "app/archive_dialogs.h"
#include "app/archive_models.h"
#include "app/archive_scanner.h"
#include "app/archive_window.h"
#include "base/cp1251.h"
#include "form_fixture.h"

namespace orvix::test {

class TScriptedArchiveDialogs final : public TArchiveDialogs {
  public:
    std::deque<QString> folders, names;
    std::deque<TDateAnswer> dates;
    std::deque<stats::TExamineeData> examineeData;
    std::vector<stats::TExamineeData> examineeDataShown;  // what each data question proposed
    std::vector<QStringList> nameLists;                   // the names each name question offered
    std::vector<QString> informed;

    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
        return Next(folders);
    }
    std::optional<QString> ChooseName(QWidget*, const QString&, const QString&,
                                      const QStringList& offered, const QString&) override {
        nameLists.push_back(offered);
        return Next(names);
    }
    std::optional<TDateAnswer> ChooseDate(QWidget*, const QString&, QDate) override {
        return Next(dates);
    }
    std::optional<stats::TExamineeData> ChooseExamineeData(
        QWidget*, const QString&, const stats::TExamineeData& current) override {
        examineeDataShown.push_back(current);
        return Next(examineeData);
    }
    void Inform(QWidget*, const QString&, const QString& text) override {
        informed.push_back(text);
    }

  private:
    template <typename T>
    static std::optional<T> Next(std::deque<T>& answers) {
        if (answers.empty()) return std::nullopt;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A generated protocol of `subject` (SubjectCaption) with `fileTag` (FileTag), both UTF-8.
inline protogen::TProtocolText Named(std::uint64_t seed, const char* fileTag, const char* subject) {
    protogen::TGenerateOptions o;
    o.Seed = seed;
    o.DurationSeconds = 300;
    auto p = protogen::GenerateProtocol(o);
    p.Head[1] = W1251(fileTag);
    p.Head[2] = W1251(subject);
    return p;
}

class ArchiveTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        SetArchiveDialogs(&archiveDialogs);
        data = dir.filePath("Data");
        ASSERT_TRUE(QDir().mkpath(data));
        database = dir.filePath("db/archive.db");
        Place();
    }
    void TearDown() override {
        form.reset();
        SetArchiveDialogs(nullptr);
        FormTest::TearDown();
    }
    // The test's places for the archive of the window now open.
    void Place() { form->SetArchivePlaces(ToPath(database), data); }
    void Renew() {
        NewForm();
        Place();
    }

    QString Put(const protogen::TProtocolText& protocol, const QString& name) {
        return Write(protocol, QStringLiteral("Data/") + name);
    }

    // About OK, then Archive; the window after its first scan.
    TArchiveWindow& OpenArchive() {
        AboutOk();
        form->mmArchive->trigger();
        EXPECT_TRUE(form->ArchiveWindow);
        // The window's own scan starts once the event loop runs.
        bool scanned = false;
        const QMetaObject::Connection done = QObject::connect(
            &form->ArchiveWindow->Scanner(), &TArchiveScanner::Finished, [&] { scanned = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return scanned; }, 120000));
        QObject::disconnect(done);
        QCoreApplication::processEvents();
        return *form->ArchiveWindow;
    }
    // After a command that starts a scan at once (Rescan, a folder added).
    void WaitForScan() {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !form->ArchiveWindow || !form->ArchiveWindow->Scanner().Running(); },
            120000));
        QCoreApplication::processEvents();
    }
    TArchiveWindow& Window() { return *form->ArchiveWindow; }

    // The shown row of the test whose file is named `name`, or -1.
    int RowOf(const QString& name) {
        const TArchiveTestModel& m = Window().TestModel();
        for (int r = 0; r < m.rowCount(); ++r)
            if (FromPath(m.Row(r).File.filename()) == name) return r;
        return -1;
    }
    // The column cells shown, top to bottom.
    QStringList Column(int column) {
        QStringList cells;
        const TArchiveTestModel& m = Window().TestModel();
        for (int r = 0; r < m.rowCount(); ++r) cells.append(m.index(r, column).data().toString());
        return cells;
    }
    void SelectFiles(const QStringList& names) {
        QTableView* tests = Window().Tests;
        tests->clearSelection();
        for (const QString& name : names) {
            const int r = RowOf(name);
            ASSERT_GE(r, 0) << name.toStdString();
            tests->selectionModel()->select(
                tests->model()->index(r, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            tests->selectionModel()->setCurrentIndex(tests->model()->index(r, 0),
                                                     QItemSelectionModel::NoUpdate);
        }
    }
    // Selects the examinees shown under these names in the list on the left.
    void SelectExaminees(const QStringList& names) {
        QTableView* list = Window().Examinees;
        list->clearSelection();
        for (int r = 0; r < list->model()->rowCount(); ++r)
            if (names.contains(list->model()->index(r, 0).data().toString()))
                list->selectionModel()->select(
                    list->model()->index(r, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QStringList ExamineeNames() {
        QStringList names;
        QAbstractItemModel* m = Window().Examinees->model();
        for (int r = 0; r < m->rowCount(); ++r) names.append(m->index(r, 0).data().toString());
        return names;
    }

    TScriptedArchiveDialogs archiveDialogs;
    QString data, database;
};

}  // namespace orvix::test
