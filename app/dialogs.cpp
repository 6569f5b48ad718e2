#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

TQtDialogs::TQtDialogs() = default;

TQtDialogs::~TQtDialogs() {
    delete saveDialog_;  // unless its parent window took it along already
}

std::optional<QString> TQtDialogs::SaveFile(QWidget* parent, const TSaveDialogSettings& settings) {
    // One dialog for the whole run: closing and destroying a file dialog takes tens of
    // milliseconds, which would delay the save the user has just confirmed.
    if (saveDialog_ && saveDialog_->parentWidget() != parent) delete saveDialog_;
    if (!saveDialog_) {
        saveDialog_ = new QFileDialog(parent);
        saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
        saveDialog_->setFileMode(QFileDialog::AnyFile);
        saveDialog_->setSizeGripEnabled(true);
    }
    QFileDialog& dialog = *saveDialog_;
    dialog.setWindowTitle(settings.Title);
    if (!settings.InitialDir.isEmpty()) dialog.setDirectory(settings.InitialDir);
    // A proposed name with its folder opens the dialog in that folder. Qt's own dialog does so
    // by itself; Windows' own is given the name alone and would stay in the last folder used.
    if (!settings.FileName.isEmpty() && QFileInfo(settings.FileName).isAbsolute())
        dialog.setDirectory(QFileInfo(settings.FileName).absolutePath());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.OverwritePrompt);
    if (settings.Filter) {
        // The pattern goes in brackets after the description, as the dialog reads filters;
        // the user sees only the description.
        QString pattern = settings.Filter->Pattern;
#ifdef Q_OS_WIN
        // Windows matches patterns in any letter case anyway; a pattern in capitals ("*.GIF")
        // made the system dialog under wine append its suffix to a name that had it in small
        // letters ("x.gif.GIF").
        pattern = pattern.toLower();
#endif
        dialog.setNameFilter(settings.Filter->Description + QStringLiteral(" (") + pattern +
                             QLatin1Char(')'));
        dialog.setOption(QFileDialog::HideNameFilterDetails);
    } else {
        dialog.setNameFilter(QFileDialog::tr("All Files (*)"));
        dialog.setOption(QFileDialog::HideNameFilterDetails, false);
    }
    if (!settings.FileName.isEmpty()) dialog.selectFile(settings.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void TQtDialogs::ShowFailure(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

TSaveDialogSettings SaveSettingsIn(const QString& folder, const QString& fileName,
                                   const QString& title, TFileFilter filter) {
    TSaveDialogSettings settings;
    settings.Title = title;
    settings.InitialDir = folder;
    settings.FileName = folder + QDir::separator() + fileName;
    settings.Filter = std::move(filter);
    settings.OverwritePrompt = true;
    return settings;
}

}  // namespace orvix
