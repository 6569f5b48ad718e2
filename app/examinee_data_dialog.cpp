// The dialog of an examinee's data: birth date (or not known), sex, group label.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "archive_dialogs.h"

namespace orvix {

std::optional<stats::TExamineeData> TQtArchiveDialogs::ChooseExamineeData(
    QWidget* parent, const QString& title, const stats::TExamineeData& current) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);

    auto* known = new QCheckBox(QStringLiteral("известна"), &dialog);
    auto* birth = new QDateEdit(&dialog);
    birth->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    birth->setCalendarPopup(true);
    birth->setMinimumDate(QDate(1900, 1, 1));
    birth->setMaximumDate(QDate(2199, 12, 31));
    if (current.BirthDate)
        birth->setDate(
            QDate(current.BirthDate->Year, current.BirthDate->Month, current.BirthDate->Day));
    else
        birth->setDate(QDate::currentDate().addYears(-10));
    known->setChecked(current.BirthDate.has_value());
    birth->setEnabled(known->isChecked());
    QObject::connect(known, &QCheckBox::toggled, birth, &QWidget::setEnabled);
    auto* birthRow = new QWidget(&dialog);
    auto* birthLayout = new QHBoxLayout(birthRow);
    birthLayout->setContentsMargins(0, 0, 0, 0);
    birthLayout->addWidget(known);
    birthLayout->addWidget(birth, 1);
    form->addRow(QStringLiteral("Дата рождения:"), birthRow);

    auto* sex = new QComboBox(&dialog);
    sex->addItems(
        {QStringLiteral("не указан"), QStringLiteral("мужской"), QStringLiteral("женский")});
    sex->setCurrentIndex(static_cast<int>(current.Sex));
    form->addRow(QStringLiteral("Пол:"), sex);

    auto* group = new QLineEdit(QString::fromStdString(current.Group), &dialog);
    group->setPlaceholderText(QStringLiteral("класс, образование, любая метка"));
    form->addRow(QStringLiteral("Группа:"), group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;

    stats::TExamineeData data;
    if (known->isChecked()) {
        const QDate d = birth->date();
        data.BirthDate = stats::TDate{d.year(), d.month(), d.day()};
    }
    data.Sex = static_cast<stats::TSex>(sex->currentIndex());
    data.Group = group->text().trimmed().toStdString();
    return data;
}

}  // namespace orvix
