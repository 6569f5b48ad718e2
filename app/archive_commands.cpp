// The archive window's commands over the tests and examinees chosen: loading, comparing,
// summarising, and the user's corrections, each of which goes through the archive and is
// followed by the lists read again.
#include <QDir>
#include <QTableView>
#include <algorithm>

#include "archive/archive.h"
#include "archive/test_date.h"
#include "archive_dialogs.h"
#include "archive_models.h"
#include "archive_norm_input.h"
#include "archive_window.h"
#include "base/numbers.h"
#include "busy_cursor.h"
#include "export/compare_warning.h"
#include "group_summary_window.h"
#include "main_window.h"
#include "qt_text.h"
#include "user_dirs.h"

namespace orvix {
namespace {

QString Name(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

void TArchiveWindow::OpenSelected() {
    const QModelIndex current = Tests->currentIndex();
    if (!current.isValid()) return;
    // The path as the open dialog would give it, in Qt's form with '/' on every system (not the
    // form shown to the user); a missing file fails there with Data's message for a file that
    // cannot be opened, naming the file as Data does.
    const QString path = QDir::fromNativeSeparators(FromPath(testModel_->Row(current.row()).File));
    form_.OpenProtocol(path);
    form_.raise();
    form_.activateWindow();
}

void TArchiveWindow::CompareSelected() {
    std::vector<archive::TTestRow> tests = SelectedTests();
    if (tests.size() != 2) return;
    // The earlier test by its date; on one day, the file written first.
    std::sort(tests.begin(), tests.end(), [](const auto& a, const auto& b) {
        return std::tie(a.Date, a.ModifiedNs) < std::tie(b.Date, b.ModifiedNs);
    });
    TBusyCursor busy;
    // Each is read as Data reads it; one that fails does so with Data's message.
    TLoadedProtocol earlier = LoadAsDataCommand(tests[0].File, DecimalChar());
    TLoadedProtocol later = LoadAsDataCommand(tests[1].File, DecimalChar());
    // Examinees and dates as the archive holds them, the user's corrections included.
    const auto compared = [](const archive::TTestRow& row) {
        return TComparedTest{row.Examinee, std::to_string(row.ExamineeId), row.Date};
    };
    // The change against the table in use, for the examinee as they were at the earlier test.
    // Read now: the table may have been chosen since the window last looked.
    std::optional<stats::TNormInput> norms;
    if (const auto inUse = archive_->NormTableInUse(); inUse && inUse->Table)
        norms = NormsForRow(*inUse, tests[0]);
    form_.ShowComparison(
        std::move(earlier), std::move(later), FromPath(tests[0].File.filename()).toStdString(),
        FromPath(tests[1].File.filename()).toStdString(),
        ComparisonWarnings(compared(tests[0]), compared(tests[1])), std::move(norms));
}

void TArchiveWindow::SummariseSelected() {
    std::vector<archive::TTestRow> tests = SelectedTests();
    if (tests.empty()) return;
    auto* window = new TGroupSummaryWindow(std::move(tests), DecimalChar(), form_.Dialogs(),
                                           ResultsFolder(), this);
    window->show();
    window->raise();
    window->activateWindow();
}

void TArchiveWindow::MoveSelected() {
    const std::vector<archive::TTestRow> tests = SelectedTests();
    if (tests.empty()) return;
    std::vector<archive::TExamineeRow> people = examineeModel_->Rows();
    std::sort(people.begin(), people.end(), [](const auto& a, const auto& b) {
        return Name(a.Name).localeAwareCompare(Name(b.Name)) < 0;
    });
    QStringList names;
    for (const archive::TExamineeRow& e : people) names.append(Name(e.Name));
    const std::optional<QString> chosen = ArchiveDialogs().ChooseName(
        this, QStringLiteral("Перенести к испытуемому"),
        QStringLiteral("Испытуемый (выберите из списка или введите новое имя):"), names,
        Name(tests.front().Examinee));
    if (!chosen) return;
    const auto known = std::find_if(people.begin(), people.end(),
                                    [&](const auto& e) { return Name(e.Name) == *chosen; });
    std::int64_t to = known != people.end() ? known->Id : 0;
    for (const archive::TTestRow& t : tests) {
        if (to == 0)
            to = archive_->MoveTestToNewExaminee(t.Id, chosen->toStdString());
        else
            archive_->MoveTest(t.Id, to);
    }
    Refresh();
}

void TArchiveWindow::UndoMoveSelected() {
    for (const archive::TTestRow& t : SelectedTests())
        if (t.ExamineeCorrected) archive_->UndoMoveTest(t.Id);
    Refresh();
}

void TArchiveWindow::SetDateOfSelected() {
    const std::vector<archive::TTestRow> tests = SelectedTests();
    if (tests.empty()) return;
    const QDate current = QDate::fromString(Name(tests.front().Date), Qt::ISODate);
    const std::optional<TDateAnswer> answer =
        ArchiveDialogs().ChooseDate(this, QStringLiteral("Дата обследования"), current);
    if (!answer) return;
    std::optional<std::string> iso;
    if (answer->Date) iso = answer->Date->toString(Qt::ISODate).toStdString();
    for (const archive::TTestRow& t : tests) archive_->SetTestDate(t.Id, iso);
    Refresh();
}

void TArchiveWindow::RenameExaminee() {
    const std::vector<archive::TExamineeRow> chosen = SelectedExaminees();
    if (chosen.size() != 1) return;
    const std::optional<QString> name = ArchiveDialogs().ChooseName(
        this, QStringLiteral("Переименовать испытуемого"), QStringLiteral("Имя испытуемого:"), {},
        Name(chosen.front().Name));
    if (!name) return;
    archive_->RenameExaminee(chosen.front().Id, name->toStdString());
    Refresh();
}

void TArchiveWindow::MergeExaminees() {
    const std::vector<archive::TExamineeRow> chosen = SelectedExaminees();
    if (chosen.size() != 2) return;
    const QStringList names{Name(chosen[0].Name), Name(chosen[1].Name)};
    const std::optional<QString> kept = ArchiveDialogs().ChooseName(
        this, QStringLiteral("Объединить испытуемых"),
        QStringLiteral("Все протоколы обоих будут у одного испытуемого. Его имя:"), names,
        names[0]);
    if (!kept) return;
    // The examinee whose name is kept takes the other's tests; a new name renames it after.
    const int into = *kept == names[1] ? 1 : 0;
    archive_->MergeExaminees(chosen[1 - into].Id, chosen[into].Id);
    if (*kept != names[into]) archive_->RenameExaminee(chosen[into].Id, kept->toStdString());
    Refresh();
    SelectExaminees({chosen[into].Id});
}

void TArchiveWindow::AddFolder() {
    const std::optional<QString> folder =
        ArchiveDialogs().ChooseFolder(this, QStringLiteral("Папка с протоколами"),
                                      form_.ArchiveDataFolder().value_or(QDir::homePath()));
    if (!folder) return;
    archive_->AddFolder(ToPath(*folder));
    Rescan();
}

}  // namespace orvix
