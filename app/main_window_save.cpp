// The main window's save commands: Save › Analysis writes the report view's text, Save › Chart
// 5 sec and Save › Chart Select write what the screen shows at the chart's place as a GIF file.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>

#include "export/gif_image.h"
#include "export/qimage_rgb.h"
#include "export/screen_snapshot.h"
#include "export/uncover_wait.h"
#include "main_window.h"
#include "protocol/output_names.h"
#include "protocol/report.h"
#include "qt_text.h"
#include "report_view.h"
#include "user_dirs.h"

namespace orvix {
namespace {

// The name a chart picture is written under: the chosen one, with ".gif" appended unless it
// already ends in exactly that (case counts: "x.GIF" becomes "x.GIF.gif").
QString GifFileName(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(".gif"), Qt::CaseSensitive)) return chosen;
    return chosen + QLatin1String(".gif");
}

}  // namespace

void TForm1::mmSaveAnalysisClick() {
    saveDialog_.Title = QStringLiteral("Запись результатов анализа в текстовый файл");
    saveDialog_.FileName = ProposedName(output::kReport);
    const std::optional<QString> chosen = dialogs_.SaveFile(this, saveDialog_);
    if (!chosen) return;
    SaveLines(meAnalysis->Text(), ToPath(*chosen));
}

void TForm1::btSaveClick() {
    SaveChartPicture(*Chart5sec,
                     QStringLiteral("Запись графика динамики поиска по 5 sec в gif-файл"),
                     output::kTempoPicture);
}

void TForm1::mmSaveChartSelClick() {
    SaveChartPicture(*ChartSel, QStringLiteral("Запись графика динамики поиска в gif-файл"),
                     output::kSearchPicture);
}

QString TForm1::ProposedName(std::string_view ending) const {
    return user_dirs::ResultsFolder(exeDir_) + QDir::separator() +
           ToQString(output::FileName(loaded_.FileTag, ending));
}

void TForm1::SaveChartPicture(TChart& chart, const QString& title, std::string_view nameEnding) {
    // The dialog keeps these settings after the command, cancelled or not: a later
    // Save › Analysis changes only its title and file name.
    saveDialog_.Filter = TFileFilter{QStringLiteral("GIF Files (*.gif)"), QStringLiteral("*.GIF")};
    saveDialog_.OverwritePrompt = true;
    saveDialog_.InitialDir = user_dirs::ResultsFolder(exeDir_);
    saveDialog_.Title = title;
    saveDialog_.FileName = ProposedName(nameEnding);
    TUncoverWait uncovered(chart);  // the dialog and the overwrite question close over it
    const std::optional<QString> chosen = dialogs_.SaveFile(this, saveDialog_);
    if (!chosen) return;

    // Pending events run first, so the area the dialog covered is repainted before the
    // screen is copied; under a window manager that repaint comes only once the manager has
    // taken the dialogs' frames away.
    QCoreApplication::processEvents();
    QGuiApplication::sync();
    QCoreApplication::processEvents();
    uncovered.Wait(std::chrono::seconds(2));

    const QString target = GifFileName(*chosen);
    // What the screen shows at the chart's place: the chart in front of the two, and any
    // window over it.
    TGIFImage picture;
    picture.ImportBitmap(ToRgbImage(CaptureClientArea(chart)));
    picture.WriteToFile(ToPath(target));
}

}  // namespace orvix
