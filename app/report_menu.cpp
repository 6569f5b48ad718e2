// The Report menu, beside the specified Save commands: the report page as PDF or on a printer,
// the per-selection table as CSV, the work curve of the loaded test and its comparison with an
// earlier test. Its item is enabled exactly when Save is; its commands need the complete
// analysis of the loaded protocol on screen.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "archive_norm_input.h"
#include "base/file_io.h"
#include "base/numbers.h"
#include "busy_cursor.h"
#include "curve_windows.h"
#include "export/compare_warning.h"
#include "export/report_page.h"
#include "failure.h"
#include "main_window.h"
#include "protocol/output_names.h"
#include "protocol/points_csv.h"
#include "qt_text.h"
#include "report_view.h"
#include "user_dirs.h"

namespace orvix {

void TForm1::CreateReportMenu() {
    auto* report = new QMenu(QStringLiteral("Report"), menuBar());
    report->setObjectName(QStringLiteral("ReportMenu"));
    mmReport = menuBar()->addMenu(report);
    mmReport->setObjectName(QStringLiteral("mmReport"));
    mmReportPdf = report->addAction(QStringLiteral("PDF…"));
    mmReportPdf->setObjectName(QStringLiteral("mmReportPdf"));
    mmReportPrint = report->addAction(QStringLiteral("Print…"));
    mmReportPrint->setObjectName(QStringLiteral("mmReportPrint"));
    mmReportCsv = report->addAction(QStringLiteral("Data CSV…"));
    mmReportCsv->setObjectName(QStringLiteral("mmReportCsv"));
    mmReportCurve = report->addAction(QStringLiteral("Work curve…"));
    mmReportCurve->setObjectName(QStringLiteral("mmReportCurve"));
    mmReportCompare = report->addAction(QStringLiteral("Compare…"));
    mmReportCompare->setObjectName(QStringLiteral("mmReportCompare"));
    mmReportPdf->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    mmReportPrint->setShortcut(QKeySequence::Print);
    UpdateReportCommands();

    mmReport->setEnabled(mmSave->isEnabled());
    connect(mmSave, &QAction::enabledChanged, mmReport, &QAction::setEnabled);
    connect(mmReportPdf, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportPdfClick(); }); });
    connect(mmReportPrint, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportPrintClick(); }); });
    connect(mmReportCsv, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportCsvClick(); }); });
    connect(mmReportCurve, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportCurveClick(); }); });
    connect(mmReportCompare, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportCompareClick(); }); });
}

void TForm1::UpdateReportCommands() {
    const bool complete = shownComplete_ && loaded_.Analysis.Stopped == TAnalysisStep::Done &&
                          loaded_.Protocol.LineCount() > 0;
    for (QAction* command :
         {mmReportPdf, mmReportPrint, mmReportCsv, mmReportCurve, mmReportCompare})
        command->setEnabled(complete);
}

void TForm1::mmReportPdfClick() {
    if (!mmReportPdf->isEnabled()) return;
    // Settings of their own: the save dialog of the Save commands keeps what they left.
    const TSaveDialogSettings settings =
        SaveSettingsIn(user_dirs::ResultsFolder(exeDir_),
                       ToQString(output::FileName(loaded_.FileTag, output::kPdf)),
                       QStringLiteral("Запись страницы отчёта в PDF-файл"),
                       TFileFilter{QStringLiteral("PDF Files (*.pdf)"), QStringLiteral("*.pdf")});
    const std::optional<QString> chosen = dialogs_.SaveFile(this, settings);
    if (!chosen) return;
    // The profile against the archive's norm table in use, when there is one.
    const std::optional<stats::TNormInput> norms = ArchiveNormsFor(ArchiveDatabase(), loadedPath_);
    WriteReportPdf(ToPath(*chosen), loaded_, meAnalysis->Text(), QDate::currentDate(),
                   norms ? &*norms : nullptr);
}

void TForm1::mmReportPrintClick() {
    if (!mmReportPrint->isEnabled()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    const QString pageName = ToQString(output::FileName(loaded_.FileTag, output::kPdf));
    printer.setDocName(pageName);
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    // With no printer set up, the toolkit's print dialog offers only printing to a PDF file, by
    // default in the home folder: propose the page where Report › PDF… would write it. (The
    // desktop's own dialogs on Windows and macOS print to printers only.)
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer.setOutputFileName(user_dirs::ResultsFolder(exeDir_) + QDir::separator() + pageName);
#endif
    if (!dialogs_.Print(this, printer)) return;
    const std::optional<stats::TNormInput> norms = ArchiveNormsFor(ArchiveDatabase(), loadedPath_);
    QPainter painter(&printer);
    PaintReportPage(painter, loaded_, meAnalysis->Text(), QDate::currentDate(),
                    norms ? &*norms : nullptr);
}

void TForm1::mmReportCsvClick() {
    if (!mmReportCsv->isEnabled()) return;
    const TSaveDialogSettings settings =
        SaveSettingsIn(user_dirs::ResultsFolder(exeDir_),
                       ToQString(output::FileName(loaded_.FileTag, output::kPoints)),
                       QStringLiteral("Запись данных выборов в CSV-файл"),
                       TFileFilter{QStringLiteral("CSV Files (*.csv)"), QStringLiteral("*.csv")});
    const std::optional<QString> chosen = dialogs_.SaveFile(this, settings);
    if (!chosen) return;
    WriteFileAtomically(ToPath(*chosen), PointsCsv(loaded_.Protocol, loaded_.Analysis.Result));
}

namespace {

// A statistics window in place of the one of its kind that was open.
template <typename Window>
void ShowInPlaceOf(QPointer<Window>& slot, Window* window) {
    if (slot) {
        window->move(slot->pos());
        slot->close();
    }
    slot = window;
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

void TForm1::mmReportCurveClick() {
    if (!mmReportCurve->isEnabled()) return;
    ShowInPlaceOf(WorkCurveWindow, new TWorkCurveWindow(loaded_, DecimalChar(), this));
}

void TForm1::mmReportCompareClick() {
    if (!mmReportCompare->isEnabled()) return;
    // The loaded protocol is the later test; the user picks the earlier one as for Data.
    const TOpenDialogSettings open{QStringLiteral("Первое обследование для сравнения"),
                                   user_dirs::OpenFolder(exeDir_), QString()};
    const std::optional<QString> chosen = dialogs_.OpenFile(this, open);
    if (!chosen) return;

    TBusyCursor busy;
    // A protocol that cannot be read or analysed, or whose charts fail, fails with the message
    // Data shows for it; the loaded protocol stays as it is.
    TLoadedProtocol earlier = LoadAsDataCommand(ToPath(*chosen), DecimalChar());
    const std::string earlierName = QFileInfo(*chosen).fileName().toStdString();
    // Another examinee, or the "earlier" test not dated before the loaded one, is said first.
    std::vector<std::string> warnings =
        ComparisonWarnings(earlier, ToPath(*chosen), loaded_, loadedPath_);
    ShowComparison(std::move(earlier), loaded_, earlierName, loadedName_.toStdString(),
                   std::move(warnings),
                   ArchiveNormsFor(ArchiveDatabase(), ToPath(*chosen), loadedPath_));
}

void TForm1::ShowComparison(TLoadedProtocol earlier, TLoadedProtocol later,
                            const std::string& earlierName, const std::string& laterName,
                            std::vector<std::string> warnings,
                            std::optional<stats::TNormInput> norms) {
    ShowInPlaceOf(CompareWindow,
                  new TCompareWindow(std::move(earlier), std::move(later), earlierName, laterName,
                                     DecimalChar(), dialogs_, user_dirs::ResultsFolder(exeDir_),
                                     this, std::move(norms), std::move(warnings)));
}

}  // namespace orvix
