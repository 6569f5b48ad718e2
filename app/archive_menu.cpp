// The Archive command beside the Report menu: a top-level item enabled together with Data that
// opens the archive window, or brings it to the front when it is open.
#include <QMenuBar>

#include "archive/archive_location.h"
#include "archive_window.h"
#include "failure.h"
#include "main_window.h"
#include "pictures.h"
#include "qt_text.h"
#include "user_dirs.h"

namespace orvix {

void TForm1::CreateArchiveMenu() {
    mmArchive = menuBar()->addAction(pictures::ArchiveIcon(), QStringLiteral("Archive"));
    mmArchive->setObjectName(QStringLiteral("mmArchive"));
    mmArchive->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    mmArchive->setEnabled(mmOpen->isEnabled());
    connect(mmOpen, &QAction::enabledChanged, mmArchive, &QAction::setEnabled);
    connect(mmArchive, &QAction::triggered, this,
            [this] { RunCommand([this] { mmArchiveClick(); }); });
}

void TForm1::mmArchiveClick() {
    if (!mmArchive->isEnabled()) return;
    if (!ArchiveWindow) ArchiveWindow = TArchiveWindow::Open(*this);
    ArchiveWindow->show();
    ArchiveWindow->raise();
    ArchiveWindow->activateWindow();
}

std::filesystem::path TForm1::ArchiveDatabase() const {
    if (archivePlaces_) return archivePlaces_->first;
    return archive::DatabaseLocation(ToPath(exeDir_));
}

std::optional<QString> TForm1::ArchiveDataFolder() const {
    if (archivePlaces_) return archivePlaces_->second;
    return user_dirs::DataFolder(exeDir_);
}

void TForm1::SetArchivePlaces(std::filesystem::path database, std::optional<QString> dataFolder) {
    archivePlaces_.emplace(std::move(database), std::move(dataFolder));
}

}  // namespace orvix
