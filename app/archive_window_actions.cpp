// The archive window's commands as actions: its tool bar, the corrections' menu and the
// lists' context menus.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "archive_window.h"
#include "failure.h"

namespace orvix {
namespace {

QAction* Command(QWidget* owner, const QString& text, const QString& tip,
                 std::function<void()> run) {
    auto* action = new QAction(text, owner);
    action->setToolTip(tip);
    QObject::connect(action, &QAction::triggered, owner, [run] { RunCommand(run); });
    return action;
}

}  // namespace

void TArchiveWindow::CreateActions() {
    actRescan = Command(this, QStringLiteral("Обновить"),
                        QStringLiteral("Найти новые, изменённые и исчезнувшие протоколы"),
                        [this] { Rescan(); });
    actRescan->setShortcut(QKeySequence(Qt::Key_F5));
    // The search box at a key's reach, as in every list of the desktop.
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        Search->setFocus(Qt::ShortcutFocusReason);
        Search->selectAll();
    });
    addAction(find);
    actAddFolder =
        Command(this, QStringLiteral("Добавить папку…"),
                QStringLiteral("Искать протоколы и в этой папке"), [this] { AddFolder(); });
    actOpen = Command(this, QStringLiteral("Открыть"),
                      QStringLiteral("Загрузить протокол в главное окно (Enter, двойной щелчок)"),
                      [this] { OpenSelected(); });
    actCompare = Command(this, QStringLiteral("Сравнить"),
                         QStringLiteral("Сравнить два выбранных обследования"),
                         [this] { CompareSelected(); });
    actSummary = Command(this, QStringLiteral("Сводка"),
                         QStringLiteral("Показатели выбранных обследований по группе"),
                         [this] { SummariseSelected(); });
    actNorms = Command(this, QStringLiteral("Нормы по выбранным…"),
                       QStringLiteral("Построить таблицу норм по выбранным обследованиям и "
                                      "записать её в CSV-файл"),
                       [this] { NormsFromSelected(); });
    actMove = Command(this, QStringLiteral("Перенести к испытуемому…"),
                      QStringLiteral("Отнести протоколы к другому или новому испытуемому"),
                      [this] { MoveSelected(); });
    actUndoMove = Command(this, QStringLiteral("Отменить перенос"),
                          QStringLiteral("Вернуть протоколы испытуемому, названному в протоколе"),
                          [this] { UndoMoveSelected(); });
    actSetDate =
        Command(this, QStringLiteral("Задать дату…"), QStringLiteral("Задать дату обследования"),
                [this] { SetDateOfSelected(); });
    actRename = Command(this, QStringLiteral("Переименовать…"),
                        QStringLiteral("Изменить имя испытуемого"), [this] { RenameExaminee(); });
    actMerge = Command(this, QStringLiteral("Объединить…"),
                       QStringLiteral("Объединить двух выбранных испытуемых в одного"),
                       [this] { MergeExaminees(); });

    auto* bar = addToolBar(QStringLiteral("Архив"));
    bar->setObjectName(QStringLiteral("ArchiveToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addActions({actRescan, actAddFolder});
    bar->addSeparator();
    bar->addActions({actOpen, actCompare, actSummary, actNorms});
    bar->addSeparator();
    auto* corrections = new QMenu(QStringLiteral("Исправить"), this);
    corrections->addActions({actMove, actUndoMove, actSetDate});
    corrections->addSeparator();
    corrections->addActions({actRename, actMerge});
    auto* correct = new QToolButton(bar);
    correct->setText(QStringLiteral("Исправить"));
    correct->setMenu(corrections);
    correct->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(correct);
    CreateNormActions(bar);
    corrections->addAction(actExamineeData);

    auto* separator = new QAction(this);
    separator->setSeparator(true);
    Tests->addActions(
        {actOpen, actCompare, actSummary, actNorms, separator, actMove, actUndoMove, actSetDate});
    Examinees->addActions({actRename, actMerge});
}

}  // namespace orvix
