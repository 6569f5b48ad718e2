#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace orvix {

std::optional<QString> TQtDialogs::OpenFile(QWidget* parent, const TOpenDialogSettings& settings) {
    QFileDialog dialog(parent, settings.Title, settings.InitialDir);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!settings.FileName.isEmpty()) dialog.selectFile(settings.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<QString> TQtDialogs::SaveFile(QWidget* parent, const TSaveDialogSettings& settings) {
    QFileDialog dialog(parent, settings.Title, settings.InitialDir);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.OverwritePrompt);
    dialog.setSizeGripEnabled(true);
    if (settings.Filter) {
        // The pattern goes in brackets after the description, as the dialog reads filters;
        // the user sees only the description.
        dialog.setNameFilter(settings.Filter->Description + QStringLiteral(" (") +
                             settings.Filter->Pattern + QLatin1Char(')'));
        dialog.setOption(QFileDialog::HideNameFilterDetails);
    }
    if (!settings.FileName.isEmpty()) dialog.selectFile(settings.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void TQtDialogs::ShowFailure(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace orvix
