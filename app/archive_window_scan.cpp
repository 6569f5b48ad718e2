// The archive window's scans: the folders they look through, and their progress and outcome
// in the status line.
#include <QAction>
#include <QLabel>

#include "archive/archive.h"
#include "archive_scanner.h"
#include "archive_window.h"
#include "base/numbers.h"
#include "failure.h"
#include "main_window.h"
#include "qt_text.h"

namespace orvix {

std::vector<std::filesystem::path> TArchiveWindow::ScanRoots() {
    std::vector<std::filesystem::path> roots;
    if (const auto data = form_.ArchiveDataFolder()) roots.push_back(ToPath(*data));
    for (const std::filesystem::path& folder : archive_->Folders()) roots.push_back(folder);
    return roots;
}

void TArchiveWindow::Rescan() {
    if (scanner_->Running()) {
        rescanAgain_ = true;  // a folder added during a scan is looked at right after it
        return;
    }
    ScanState->setText(QStringLiteral("Поиск протоколов…"));
    scanner_->Start(ScanRoots(), DecimalChar());
    actRescan->setEnabled(false);
}

void TArchiveWindow::ScanProgress(qulonglong done, qulonglong total) {
    ScanState->setText(QStringLiteral("Поиск протоколов: %1 из %2…").arg(done).arg(total));
}

void TArchiveWindow::ScanFinished(const archive::TScanCounts& counts, const std::string& failure) {
    actRescan->setEnabled(true);
    if (!failure.empty()) {
        ScanState->setText(QStringLiteral("Поиск не удался"));
        ReportFailure(failure);
        return;
    }
    QString text = QStringLiteral(
                       "%1: новых %2, изменённых %3, без изменений %4, нет файла %5, "
                       "с ошибкой %6, других файлов %7")
                       .arg(counts.Cancelled ? QStringLiteral("Поиск прерван")
                                             : QStringLiteral("Поиск окончен"))
                       .arg(counts.Added)
                       .arg(counts.Changed)
                       .arg(counts.Unchanged)
                       .arg(counts.Missing)
                       .arg(counts.Failed)
                       .arg(counts.PassedOver);
    QString details;
    for (const std::string& w : counts.Warnings) details += QString::fromStdString(w) + '\n';
    if (!counts.Warnings.empty())
        text += QStringLiteral(", не удалось прочесть: %1").arg(counts.Warnings.size());
    ScanState->setText(text);
    ScanState->setToolTip(details.trimmed());
    if (counts.Added + counts.Changed + counts.Missing > 0) RunCommand([this] { Refresh(); });
    if (rescanAgain_) {
        rescanAgain_ = false;
        Rescan();
    }
}

}  // namespace orvix
