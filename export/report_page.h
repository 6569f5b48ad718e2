// The examiner's report page: one A4 portrait page with a header (the protocol's heading, the
// subject, the date it was printed), the report text in a monospaced font and both result
// charts at the page's width, painted by the chart painter as vector drawing. Wrong selections
// and intervals with wrong selections carry a white cross inside their marker, and a legend
// explains the marks, so the page reads in grey-scale print too. Under the legend, the figures
// of the test's work curve when its analysis is complete. Written as PDF or painted on a
// printer.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QRectF>
#include <QStringList>
#include <filesystem>
#include <string_view>
#include <vector>

#include "plots/result_plots.h"
#include "protocol/load.h"

class QPainter;
class QPagedPaintDevice;

namespace orvix {

// The page's unit: a tenth of a point.
inline constexpr double kPageUnitsPerInch = 720;
// A4 in page units.
inline constexpr double kPageWidth = 210 / 25.4 * kPageUnitsPerInch;
inline constexpr double kPageHeight = 297 / 25.4 * kPageUnitsPerInch;

// The size each chart is laid out at before it is scaled to the page's width.
inline constexpr int kPageChartWidth = kResultChartWidth;
inline constexpr int kPageChartHeight = kResultChartHeight;

// One line of the work-curve figures as the page draws it: a figure too long for its column
// goes on in lines indented under its start.
struct TFigureLine {
    QString Text;
    bool Continued = false;
};

// Where the page puts its parts, in page units from the page's top left corner.
struct TReportPageLayout {
    QRectF Header;
    QRectF Report;
    QRectF SearchChart;  // the search-time chart, then the five-second chart under it
    QRectF TempoChart;
    QRectF Legend;
    QRectF Figures;  // the work-curve figures, in two columns; empty without them
    // The figures' lines in each column, wrapped to its width: the first half of the figures
    // (one more when their number is odd) on the left.
    std::vector<TFigureLine> FiguresLeft;
    std::vector<TFigureLine> FiguresRight;
    int ReportFontSize = 0;  // pixel size of the report's font, in page units
    bool ReportCut = false;  // the text does not fit even at the smallest size: its end is cut
};

// The layout for a report of these lines and these work-curve figures: the figures get the
// lines they need whole, and the text the largest size up to 9 points (and at least 4) at
// which its lines fit the place left.
TReportPageLayout LayOutReportPage(const QStringList& reportLines,
                                   const QStringList& figureLines = {});

// The work-curve figures of a complete analysis, one per line, numbers with the program's
// decimal separator; none when the analysis stopped early.
QStringList WorkCurvePageLines(const TLoadedProtocol& load);

// The report's lines (Windows-1251 text, CR LF or LF breaks), trailing empty lines dropped.
QStringList ReportPageLines(std::string_view report1251);

// Fills both charts from `load` as the window's charts are filled, except that the search-time
// chart shows the whole test on one page. A load that failed fills what the window shows.
void FillPageCharts(TDetachedCharts& charts, const TLoadedProtocol& load);

// Paints the page on `painter`, which paints on an A4 page device from its top left corner.
void PaintReportPage(QPainter& painter, const TLoadedProtocol& load, std::string_view report1251,
                     QDate printed);

// The page as a PDF document (fonts embedded).
QByteArray ReportPagePdf(const TLoadedProtocol& load, std::string_view report1251, QDate printed);

// Writes the PDF to `target` atomically, as every other save writes.
void WriteReportPdf(const std::filesystem::path& target, const TLoadedProtocol& load,
                    std::string_view report1251, QDate printed);

}  // namespace orvix
