#include "archive_norms.h"

#include <QStringList>
#include <algorithm>
#include <map>

#include "archive/archive_local_norms.h"
#include "archive_columns.h"
#include "archive_dialogs.h"
#include "archive_window.h"
#include "base/file_io.h"
#include "dialogs.h"
#include "main_window.h"
#include "qt_text.h"
#include "stats/norm_scores.h"
#include "stats/norm_table_csv.h"

namespace orvix {
namespace {

// The earliest good test of each examinee, by date and then by when its file was written.
std::vector<const archive::TTestRow*> FirstTests(const std::vector<archive::TTestRow>& tests) {
    std::map<std::int64_t, const archive::TTestRow*> first;
    for (const archive::TTestRow& t : tests) {
        if (t.Status != archive::TTestStatus::Ok) continue;
        const archive::TTestRow*& kept = first[t.ExamineeId];
        if (!kept || std::tie(t.Date, t.ModifiedNs) < std::tie(kept->Date, kept->ModifiedNs))
            kept = &t;
    }
    std::vector<const archive::TTestRow*> out;
    for (const auto& [id, row] : first) out.push_back(row);
    return out;
}

// The group a row is for, in Russian: sex, ages, label; "все" for a group open on every side.
QString GroupText(const stats::TNormRow& row) {
    QStringList parts;
    if (row.Sex == stats::TSex::Male) parts.append(QStringLiteral("мужской пол"));
    if (row.Sex == stats::TSex::Female) parts.append(QStringLiteral("женский пол"));
    if (row.AgeFrom && row.AgeTo)
        parts.append(QStringLiteral("возраст %1–%2").arg(*row.AgeFrom).arg(*row.AgeTo));
    if (!row.Group.empty())
        parts.append(QStringLiteral("«%1»").arg(QString::fromStdString(row.Group)));
    return parts.isEmpty()
               ? QStringLiteral(
                     "без ограничений (пол, возраст или группа известны не у всех или различны)")
               : parts.join(QStringLiteral(", "));
}

}  // namespace

TArchiveNorms NormsOfTests(const std::vector<archive::TTestRow>& tests,
                           const stats::TLocalNormGroup& group) {
    std::vector<archive::TTestRow> first;
    for (const archive::TTestRow* t : FirstTests(tests)) first.push_back(*t);
    TArchiveNorms made;
    made.Examinees = first.size();
    made.LeftOut = tests.size() - first.size();
    made.Norms = archive::LocalNormsOf(first, group);
    return made;
}

stats::TLocalNormGroup GroupOfTests(const std::vector<archive::TTestRow>& tests) {
    stats::TLocalNormGroup group;
    const std::vector<const archive::TTestRow*> first = FirstTests(tests);
    if (first.empty()) return group;
    const stats::TExamineeData& one = first.front()->ExamineeData;
    bool sameSex = one.Sex != stats::TSex::Any;
    bool sameGroup = !one.Group.empty();
    bool agesKnown = true;
    for (const archive::TTestRow* t : first) {
        sameSex = sameSex && t->ExamineeData.Sex == one.Sex;
        sameGroup = sameGroup && t->ExamineeData.Group == one.Group;
        const std::optional<int> age =
            stats::ExamineeAt(t->ExamineeData, stats::ParseDate(t->Date)).Age;
        if (!age) {
            agesKnown = false;
            continue;
        }
        group.AgeFrom = std::min(group.AgeFrom.value_or(*age), *age);
        group.AgeTo = std::max(group.AgeTo.value_or(*age), *age);
    }
    if (sameSex) group.Sex = one.Sex;
    if (sameGroup) group.Group = one.Group;
    if (!agesKnown) group.AgeFrom = group.AgeTo = std::nullopt;
    return group;
}

QString NormsReport(const TArchiveNorms& made, const QString& file) {
    const stats::TNormTable& table = made.Norms.Table;
    QString text =
        QStringLiteral("Нормы записаны в файл %1.\n\nИспытуемых: %2").arg(file).arg(made.Examinees);
    if (made.LeftOut > 0)
        text += QStringLiteral(
                    " (не вошли обследований: %1 — с ошибкой, без файла или "
                    "повторные; от каждого испытуемого берётся первое)")
                    .arg(made.LeftOut);
    text += QStringLiteral(".");
    if (!table.Rows.empty()) {
        const stats::TNormRow& row = table.Rows.front();
        if (!row.DateFrom.empty())
            text += QStringLiteral("\nДаты обследований: %1 — %2.")
                        .arg(ShownDate(row.DateFrom), ShownDate(row.DateTo));
        text += QStringLiteral("\nПоказателей в нормах: %1.").arg(table.Rows.size());
        text += QStringLiteral("\nГруппа: %1.").arg(GroupText(row));
    }
    if (!made.Norms.Skipped.empty()) {
        QStringList skipped;
        for (const std::string_view index : made.Norms.Skipped) skipped.append(FigureTitle(index));
        text += QStringLiteral("\nНе вошли (меньше двух значений или все равны): %1.")
                    .arg(skipped.join(QStringLiteral("; ")));
    }
    if (made.Examinees < static_cast<std::size_t>(stats::kSmallNormGroup))
        text += QStringLiteral(
                    "\n\nВ группе меньше %1 человек: такие нормы годятся лишь для "
                    "предварительной оценки.")
                    .arg(stats::kSmallNormGroup);
    return text;
}

void TArchiveWindow::NormsFromSelected() {
    const std::vector<archive::TTestRow> tests = SelectedTests();
    if (tests.empty()) return;
    const QString title = QStringLiteral("Нормы по выбранным обследованиям");
    if (FirstTests(tests).size() < 2) {
        ArchiveDialogs().Inform(this, title,
                                QStringLiteral("Для норм нужны обследования хотя бы двух "
                                               "испытуемых, прочитанные без ошибок."));
        return;
    }
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const std::optional<QString> id =
        ArchiveDialogs().ChooseName(this, title, QStringLiteral("Название норм (norm_id):"), {},
                                    QStringLiteral("местные-") + today);
    if (!id) return;
    stats::TLocalNormGroup group = GroupOfTests(tests);
    group.NormId = id->toStdString();
    group.Version = today.toStdString();
    group.Source = "Архив ORVIX-КЛ, нормы по выбранным обследованиям";
    const TArchiveNorms made = NormsOfTests(tests, group);
    if (made.Norms.Table.Rows.empty()) {
        ArchiveDialogs().Inform(this, title,
                                QStringLiteral("Ни у одного показателя нет двух разных значений: "
                                               "нормы не из чего построить."));
        return;
    }
    QString name = *id;
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) name.replace(c, QLatin1Char('_'));
    const TSaveDialogSettings settings =
        SaveSettingsIn(ResultsFolder(), name + QStringLiteral(".csv"),
                       QStringLiteral("Запись норм по выбранным обследованиям в CSV-файл"),
                       TFileFilter{QStringLiteral("Таблицы норм CSV"), QStringLiteral("*.csv")});
    const std::optional<QString> chosen = form_.Dialogs().SaveFile(this, settings);
    if (!chosen) return;
    WriteFileAtomically(ToPath(*chosen), stats::WriteNormTable(made.Norms.Table));
    ArchiveDialogs().Inform(this, title, NormsReport(made, *chosen));
}

}  // namespace orvix
