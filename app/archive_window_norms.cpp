// The archive window's norms: the examinee's data the norms match by, the norm tables kept in
// the archive (import, the one in use, removal), and the norm columns of the list of tests.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "archive/archive.h"
#include "archive_dialogs.h"
#include "archive_models.h"
#include "archive_window.h"
#include "base/file_io.h"
#include "failure.h"
#include "main_window.h"
#include "norm_columns.h"
#include "qt_text.h"
#include "user_dirs.h"

namespace orvix {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void TArchiveWindow::CreateNormActions(QToolBar* bar) {
    const auto command = [this](const QString& text, const QString& tip, auto run) {
        auto* action = new QAction(text, this);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, [run] { RunCommand(run); });
        return action;
    };
    actExamineeData =
        command(QStringLiteral("Данные испытуемого…"),
                QStringLiteral("Дата рождения, пол и группа: по ним подбираются нормы"),
                [this] { EditExamineeData(); });
    actImportNorms = command(QStringLiteral("Импорт таблицы норм…"),
                             QStringLiteral("Взять таблицу норм из CSV-файла в архив"),
                             [this] { ImportNormTable(); });
    actChooseNorms = command(QStringLiteral("Выбрать таблицу норм…"),
                             QStringLiteral("Таблица норм, по которой считаются баллы"),
                             [this] { ChooseNormTable(); });
    actRemoveNorms =
        command(QStringLiteral("Удалить таблицу норм…"),
                QStringLiteral("Убрать таблицу норм из архива"), [this] { RemoveNormTable(); });
    actNormColumns = new QAction(QStringLiteral("Столбцы норм"), this);
    actNormColumns->setCheckable(true);
    actNormColumns->setToolTip(
        QStringLiteral("T-баллы и процентили выбранных показателей по таблице норм"));
    connect(actNormColumns, &QAction::toggled, this,
            [this](bool on) { RunCommand([this, on] { ShowNormColumns(on); }); });
    NormIndices = new QMenu(QStringLiteral("Показатели норм"), this);

    auto* menu = new QMenu(QStringLiteral("Нормы"), this);
    menu->addAction(actNormColumns);
    menu->addMenu(NormIndices);
    menu->addSeparator();
    menu->addActions({actImportNorms, actChooseNorms, actRemoveNorms});
    auto* button = new QToolButton(bar);
    button->setText(QStringLiteral("Нормы"));
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(button);

    NormsState = new QLabel(this);
    NormsState->setObjectName(QStringLiteral("ArchiveNormsState"));
    Examinees->addAction(actExamineeData);
}

void TArchiveWindow::EditExamineeData() {
    const std::vector<archive::TExamineeRow> chosen = SelectedExaminees();
    if (chosen.size() != 1) return;
    const std::optional<stats::TExamineeData> data = ArchiveDialogs().ChooseExamineeData(
        this, QStringLiteral("Данные испытуемого: ") + Utf8(chosen.front().Name),
        chosen.front().Data);
    if (!data) return;
    archive_->SetExamineeData(chosen.front().Id, *data);
    Refresh();
}

void TArchiveWindow::ImportNormTable() {
    const TOpenDialogSettings open{QStringLiteral("Таблица норм (CSV)"),
                                   user_dirs::NormsFolder(form_.ExeDir()), QString()};
    const std::optional<QString> chosen = form_.Dialogs().OpenFile(this, open);
    if (!chosen) return;
    const std::string text = ReadWholeFile(ToPath(*chosen));
    // A bad table fails with the reader's message, naming its line and column.
    archive_->ImportNormTable(QFileInfo(*chosen).fileName().toStdString(), text);
    RefreshNorms();
}

void TArchiveWindow::ChooseNormTable() {
    const std::vector<archive::TNormTableRow> tables = archive_->NormTables();
    const QString none = QStringLiteral("(без норм)");
    QStringList names{none};
    QString current = none;
    for (const archive::TNormTableRow& t : tables) {
        names.append(Utf8(t.Name));
        if (t.InUse) current = Utf8(t.Name);
    }
    const std::optional<QString> name =
        ArchiveDialogs().ChooseName(this, QStringLiteral("Таблица норм"),
                                    QStringLiteral("Считать баллы по таблице:"), names, current);
    if (!name) return;
    std::optional<std::int64_t> use;
    for (const archive::TNormTableRow& t : tables)
        if (Utf8(t.Name) == *name) use = t.Id;
    if (!use && *name != none) return;  // a name typed that no table has
    archive_->UseNormTable(use);
    RefreshNorms();
}

void TArchiveWindow::RemoveNormTable() {
    const std::vector<archive::TNormTableRow> tables = archive_->NormTables();
    if (tables.empty()) return;
    QStringList names;
    QString current;
    for (const archive::TNormTableRow& t : tables) {
        names.append(Utf8(t.Name));
        if (t.InUse) current = Utf8(t.Name);
    }
    const std::optional<QString> name = ArchiveDialogs().ChooseName(
        this, QStringLiteral("Удалить таблицу норм"), QStringLiteral("Удалить из архива таблицу:"),
        names, current.isEmpty() ? names.front() : current);
    if (!name) return;
    for (const archive::TNormTableRow& t : tables)
        if (Utf8(t.Name) == *name) archive_->RemoveNormTable(t.Id);
    RefreshNorms();
}

void TArchiveWindow::RefreshNorms() {
    norms_ = archive_->NormTableInUse();
    actRemoveNorms->setEnabled(!archive_->NormTables().empty());
    NormsState->setText(norms_ ? QStringLiteral("Нормы: ") + Utf8(norms_->Name)
                               : QStringLiteral("Нормы не выбраны"));
    NormIndices->clear();
    if (!norms_ || !norms_->Table) {
        testModel_->SetNorms(nullptr);
        NormIndices->setEnabled(false);
        return;
    }
    // The indices chosen before stay chosen where this table has them.
    auto columns = std::make_shared<TNormColumns>(norms_->Table, normIndices_);
    // Kept as views of the program's own index names: the table's texts go with the table.
    normIndices_.clear();
    for (const std::string_view index : columns->Indices())
        if (const stats::TNormIndex* known = stats::FindNormIndex(index))
            normIndices_.push_back(known->Column);
    NormIndices->setEnabled(true);
    for (const std::string_view index : columns->TableIndices()) {
        QAction* a = NormIndices->addAction(
            QString::fromUtf8(stats::NormIndexCaption(index).data(),
                              static_cast<qsizetype>(stats::NormIndexCaption(index).size())));
        a->setCheckable(true);
        a->setChecked(std::find(normIndices_.begin(), normIndices_.end(), index) !=
                      normIndices_.end());
        // The view into the table's own texts stays valid as long as the table is in use.
        const stats::TNormIndex* known = stats::FindNormIndex(index);
        const std::string_view stable = known ? known->Column : index;
        connect(a, &QAction::toggled, this, [this, stable](bool on) {
            RunCommand([this, stable, on] {
                std::erase(normIndices_, stable);
                if (on) normIndices_.push_back(stable);
                RefreshNorms();
            });
        });
    }
    testModel_->SetNorms(actNormColumns->isChecked() ? columns : nullptr);
}

void TArchiveWindow::ShowNormColumns(bool on) {
    if (on && !norms_) {
        const QSignalBlocker block(actNormColumns);
        actNormColumns->setChecked(false);
        ArchiveDialogs().Inform(this, QStringLiteral("Нормы"),
                                QStringLiteral("Таблица норм не выбрана: импортируйте её или "
                                               "выберите одну из взятых в архив (меню «Нормы»)."));
        return;
    }
    RefreshNorms();
    const int first = static_cast<int>(ArchiveColumns().size());
    // As wide as their headings (the rows' numbers are short), measured without the rows.
    const QFontMetrics metrics(Tests->horizontalHeader()->font());
    for (int c = first; c < testModel_->columnCount(); ++c)
        Tests->setColumnWidth(
            c, std::max(60,
                        metrics.horizontalAdvance(
                            testModel_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
                            20));
    // The columns just added come into sight.
    if (on && testModel_->rowCount() > 0 && testModel_->columnCount() > first) {
        const int row = std::max(Tests->rowAt(0), 0);
        Tests->scrollTo(testModel_->index(row, testModel_->columnCount() - 1));
        Tests->scrollTo(testModel_->index(row, first));
    }
}

}  // namespace orvix
