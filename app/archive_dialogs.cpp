#include "archive_dialogs.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvix {
namespace {

TArchiveDialogs* g_dialogs = nullptr;

}  // namespace

TArchiveDialogs& ArchiveDialogs() {
    static TQtArchiveDialogs production;
    return g_dialogs ? *g_dialogs : production;
}

void SetArchiveDialogs(TArchiveDialogs* dialogs) {
    g_dialogs = dialogs;
}

std::optional<QString> TQtArchiveDialogs::ChooseFolder(QWidget* parent, const QString& title,
                                                       const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(parent, title, start);
    if (folder.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(folder);
}

std::optional<QString> TQtArchiveDialogs::ChooseName(QWidget* parent, const QString& title,
                                                     const QString& label, const QStringList& names,
                                                     const QString& current) {
    bool ok = false;
    QString name;
    if (names.isEmpty()) {
        name = QInputDialog::getText(parent, title, label, QLineEdit::Normal, current, &ok);
    } else {
        const qsizetype at = names.indexOf(current);
        name = QInputDialog::getItem(parent, title, label, names, at < 0 ? 0 : int(at), true, &ok);
    }
    name = name.trimmed();
    if (!ok || name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<TDateAnswer> TQtArchiveDialogs::ChooseDate(QWidget* parent, const QString& title,
                                                         QDate current) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Дата обследования:"), &dialog));
    auto* edit = new QDateEdit(current.isValid() ? current : QDate::currentDate(), &dialog);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    edit->setMinimumDate(QDate(1900, 1, 1));
    edit->setMaximumDate(QDate(2199, 12, 31));
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    QPushButton* own =
        buttons->addButton(QStringLiteral("Дата из протокола"), QDialogButtonBox::ResetRole);
    own->setToolTip(QStringLiteral("Вернуть дату, найденную в тексте протокола, или дату файла"));
    bool reset = false;
    QObject::connect(own, &QPushButton::clicked, &dialog, [&] {
        reset = true;
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (reset) return TDateAnswer{};
    return TDateAnswer{edit->date()};
}

void TQtArchiveDialogs::Inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace orvix
