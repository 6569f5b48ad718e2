// The retest comparison page: one A4 portrait page with a header (both tests' subjects and file
// tags, the date it was printed), the work curves of both tests over each other at the page's
// width with their legend, the table of indices, and the Welch comparisons (with norms, the
// reliable change) and minute-by-minute curves of the comparison text. Written as PDF, as the
// window's comparison and the batch tool save it.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QRectF>
#include <QStringList>
#include <filesystem>

#include "protocol/load.h"
#include "stats/norm_input.h"

class QPainter;

namespace orvix {

// Where the page puts its parts, in page units (report_page.h) from the top left corner.
struct TComparePageLayout {
    QRectF Header;
    QRectF Chart;
    QRectF Legend;
    QRectF Table;
    QRectF Text;
    int TextFontSize = 0;  // pixel size of the text's font, in page units
    bool TextCut = false;  // the text does not fit even at the smallest size: its end is cut
};

// The layout for a table of `tableRows` rows and these text lines; the text gets the largest
// size up to 9 points (and at least 4) at which it fits.
TComparePageLayout LayOutComparisonPage(int tableRows, const QStringList& textLines);

// The comparison text's lines the page shows under its table: all of the text but the part
// naming the tests (the header does) and the table of indices (drawn as a table), lines too
// long for the page broken after a comma and continued indented.
QStringList ComparisonPageLines(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                                const stats::TNormInput* norms = nullptr);

// Paints the page on `painter`, which paints on an A4 page device from its top left corner.
// Both loads must come from complete analyses; numbers use the program's decimal separator.
// With `norms`, the text also gives the reliable change of every index that has what it needs.
void PaintComparisonPage(QPainter& painter, const TLoadedProtocol& earlier,
                         const TLoadedProtocol& later, QDate printed,
                         const stats::TNormInput* norms = nullptr);

// The page as a PDF document (fonts embedded).
QByteArray ComparisonPagePdf(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                             QDate printed, const stats::TNormInput* norms = nullptr);

// Writes the PDF to `target` atomically, as every other save writes.
void WriteComparisonPdf(const std::filesystem::path& target, const TLoadedProtocol& earlier,
                        const TLoadedProtocol& later, QDate printed,
                        const stats::TNormInput* norms = nullptr);

}  // namespace orvix
