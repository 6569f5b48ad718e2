// What the report page and the comparison page share: margins and gaps in page units, their
// fonts, the header with its rule, the monospaced text block, a chart placed on the page, and
// the page as a PDF document written atomically.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "export/report_page.h"

class QFontMetricsF;
class QPainter;

namespace orvix {

class TCustomChart;
class TQtTextMeasure;

namespace page {

inline constexpr double kMargin = 15 / 25.4 * kPageUnitsPerInch;  // 15 mm all round
inline constexpr double kGap = 60;

QFont Font(const char* family, int size, bool bold = false);
QFont MonoFont(int size);
double LineHeight(const QFont& font);

// Each line in its font from the top of `r`, cut with an ellipsis at its width, and a rule
// along the bottom of `r`.
void PaintHeader(QPainter& painter, const QRectF& r,
                 const std::vector<std::pair<QFont, QString>>& lines);

// `text` broken into lines no wider than `width` in `fm`, the lines after the first narrower by
// `indent` (they are drawn indented). A break goes after the last comma or colon that lets the
// line fit, else at the last space that does; only a word wider than a line by itself is
// broken inside. Nothing is left out: each break takes the one space it stands at.
QStringList WrapToWidth(const QString& text, const QFontMetricsF& fm, double width, double indent);

// Monospaced lines of `fontSize` from the top of `r`; what does not fit is cut.
void PaintTextBlock(QPainter& painter, const QRectF& r, int fontSize, const QStringList& lines);

// From a chart's layout pixels (`width` × `height`) to `place` on the page.
QTransform ChartToPage(const QRectF& place, int width, int height);
void PaintChartAt(QPainter& painter, TCustomChart& chart, const QRectF& place, int width,
                  int height, const TQtTextMeasure& measure);

// One A4 portrait page without margins painted by `paint`, as PDF with fonts embedded.
QByteArray A4Pdf(const QString& title, const std::function<void(QPainter&)>& paint);

void WritePdf(const std::filesystem::path& target, const QByteArray& pdf);

}  // namespace page
}  // namespace orvix
