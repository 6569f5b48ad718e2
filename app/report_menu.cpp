// The Report menu, beside the specified Save commands: the report page as PDF or on a printer,
// and the per-selection table as CSV. Its item is enabled exactly when Save is.
#include <QDate>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "base/file_io.h"
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

    mmReport->setEnabled(mmSave->isEnabled());
    connect(mmSave, &QAction::enabledChanged, mmReport, &QAction::setEnabled);
    connect(mmReportPdf, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportPdfClick(); }); });
    connect(mmReportPrint, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportPrintClick(); }); });
    connect(mmReportCsv, &QAction::triggered, this,
            [this] { RunCommand([this] { mmReportCsvClick(); }); });
}

void TForm1::mmReportPdfClick() {
    // Settings of their own: the save dialog of the Save commands keeps what they left.
    TSaveDialogSettings settings;
    settings.Filter = TFileFilter{QStringLiteral("PDF Files (*.pdf)"), QStringLiteral("*.pdf")};
    settings.OverwritePrompt = true;
    settings.InitialDir = user_dirs::ResultsFolder(exeDir_);
    settings.Title = QStringLiteral("Запись страницы отчёта в PDF-файл");
    settings.FileName = ProposedName(output::kPdf);
    const std::optional<QString> chosen = dialogs_.SaveFile(this, settings);
    if (!chosen) return;
    WriteReportPdf(ToPath(*chosen), loaded_, meAnalysis->Text(), QDate::currentDate());
}

void TForm1::mmReportPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setDocName(ToQString(output::FileName(loaded_.FileTag, output::kPdf)));
    if (!dialogs_.Print(this, printer)) return;
    QPainter painter(&printer);
    PaintReportPage(painter, loaded_, meAnalysis->Text(), QDate::currentDate());
}

void TForm1::mmReportCsvClick() {
    // Settings of their own: the save dialog of the Save commands keeps what they left.
    TSaveDialogSettings settings;
    settings.Filter = TFileFilter{QStringLiteral("CSV Files (*.csv)"), QStringLiteral("*.csv")};
    settings.OverwritePrompt = true;
    settings.InitialDir = user_dirs::ResultsFolder(exeDir_);
    settings.Title = QStringLiteral("Запись данных выборов в CSV-файл");
    settings.FileName = ProposedName(output::kPoints);
    const std::optional<QString> chosen = dialogs_.SaveFile(this, settings);
    if (!chosen) return;
    WriteFileAtomically(ToPath(*chosen), PointsCsv(loaded_.Protocol, loaded_.Analysis.Result));
}

}  // namespace orvix
