// The window menu: the window's commands and "О программе" (the About box, which releases the
// Data command). On Windows it is the desktop's own system menu with one item added; elsewhere
// the program's icon at the left of the main menu opens it, and so do its keys.
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolButton>

#include "about_box.h"
#include "failure.h"
#include "main_window.h"
#include "pictures.h"

#ifdef Q_OS_WIN
#include "win_system_menu.h"
#endif

namespace orvix {
namespace {

template <typename Handler>
void OnTriggered(QAction* action, QObject* context, Handler handler) {
    QObject::connect(action, &QAction::triggered, context, [handler] { RunCommand(handler); });
}

}  // namespace

void TForm1::CreateSystemMenu() {
    SystemMenu = new QMenu(this);
    SystemMenu->setObjectName(QStringLiteral("SystemMenu"));
    struct Item {
        const char* caption;
        int command;
    };
    const Item items[] = {{"Восстановить", syscmd::kRestore},  {"Свернуть", syscmd::kMinimize},
                          {"Развернуть", syscmd::kMaximize},   {nullptr, 0},
                          {"Закрыть\tAlt+F4", syscmd::kClose}, {nullptr, 0},
                          {"О программе", syscmd::kAbout}};
    for (const Item& item : items) {
        if (!item.caption) {
            SystemMenu->addSeparator();
            continue;
        }
        QAction* action = SystemMenu->addAction(QString::fromUtf8(item.caption));
        action->setData(item.command);
        const int id = item.command;
        OnTriggered(action, this, [this, id] { WMSysCommand(id); });
    }
    connect(SystemMenu, &QMenu::aboutToShow, this, [this] {
        const Qt::WindowStates state = windowState();
        for (QAction* action : SystemMenu->actions()) {
            const int id = action->data().toInt();
            if (id == syscmd::kRestore)
                action->setEnabled(state & (Qt::WindowMaximized | Qt::WindowMinimized));
            if (id == syscmd::kMaximize) action->setEnabled(!(state & Qt::WindowMaximized));
            if (id == syscmd::kMinimize) action->setEnabled(!(state & Qt::WindowMinimized));
        }
    });

#ifndef Q_OS_WIN
    // Without a system menu of the desktop's own, the window menu opens from the program's
    // icon at the left of the main menu, with F1, or with Alt+Space where the window manager
    // leaves that key to the window (most take it for their own menu).
    sbSystemMenu = new QToolButton(menuBar());
    sbSystemMenu->setObjectName(QStringLiteral("sbSystemMenu"));
    sbSystemMenu->setIcon(pictures::ProgramIcon());
    sbSystemMenu->setAutoRaise(true);
    sbSystemMenu->setFocusPolicy(Qt::NoFocus);
    sbSystemMenu->setToolTip(QStringLiteral("Меню окна (F1)"));
    connect(sbSystemMenu, &QToolButton::clicked, this, [this] { ShowSystemMenu(); });
    menuBar()->setCornerWidget(sbSystemMenu, Qt::TopLeftCorner);
    for (const QKeySequence& key : SystemMenuKeys()) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this] { ShowSystemMenu(); });
    }
#endif
}

QList<QKeySequence> TForm1::SystemMenuKeys() {
#ifdef Q_OS_WIN
    return {};  // the desktop's own system menu, with its own key
#else
    return {QKeySequence(Qt::Key_F1), QKeySequence(Qt::ALT | Qt::Key_Space)};
#endif
}

QString TForm1::StartHint() {
#ifdef Q_OS_WIN
    const QString key = QStringLiteral("Alt+Пробел");
#else
    const QString key = QStringLiteral("F1");
#endif
    return QStringLiteral(
               "Начало работы: %1 — меню окна, в нём «О программе» и OK; "
               "затем Data (Ctrl+O) открывает протокол.")
        .arg(key);
}

void TForm1::ShowSystemMenu() {
    const QPoint at = sbSystemMenu ? sbSystemMenu->mapToGlobal(QPoint(0, sbSystemMenu->height()))
                                   : mapToGlobal(QPoint(0, 0));
    SystemMenu->popup(at);
}

void TForm1::WMSysCommand(int command) {
    if (command == syscmd::kAbout) AboutBox->ShowBox();
    DefaultSysCommand(command);
}

void TForm1::DefaultSysCommand(int command) {
    switch (command) {
        case syscmd::kRestore:
            showNormal();
            break;
        case syscmd::kMinimize:
            showMinimized();
            break;
        case syscmd::kMaximize:
            AllowAnySize();  // the fixed size of the normal window would hold it back
            showMaximized();
            break;
        case syscmd::kClose:
            close();
            break;
        default:
            break;
    }
}

#ifdef Q_OS_WIN
bool TForm1::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (win::IsSystemCommand(message, syscmd::kAbout))
        RunCommand([this] { AboutBox->ShowBox(); });  // then the desktop's own handling
    return QMainWindow::nativeEvent(eventType, message, result);
}
#endif

}  // namespace orvix
