#include "compare_page.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "base/cp1251.h"
#include "base/numbers.h"
#include "charts/qt_text_measure.h"
#include "export/page_parts.h"
#include "plots/curve_legend.h"
#include "plots/curve_plots.h"
#include "report_page.h"
#include "stats/stats_text.h"

namespace orvix {
namespace {

using page::kGap;
using page::kMargin;
using page::LineHeight;
using page::MonoFont;

constexpr int kHeadingSize = 110;
constexpr int kSubjectSize = 90;
constexpr int kDateSize = 85;
constexpr int kLegendSize = 80;
constexpr int kTableSize = 85;
constexpr int kLargestTextSize = 90;
constexpr int kSmallestTextSize = 40;
constexpr int kTableColumns = 4;

double TableRowHeight() {
    return LineHeight(page::Font("Arial", kTableSize)) * 1.4;
}

// What the page says about one test: the examinee and the file tag.
QString TestLine(const QString& caption, const TLoadedProtocol& load) {
    return caption + QStringOf1251(load.Subject) + QStringLiteral(" [") +
           QStringOf1251(load.FileTag) + QLatin1Char(']');
}

void PaintHeader(QPainter& painter, const QRectF& r, const TLoadedProtocol& earlier,
                 const TLoadedProtocol& later, QDate printed) {
    page::PaintHeader(
        painter, r,
        {{page::Font("Arial", kHeadingSize, true),
          QStringLiteral("Сравнение двух обследований по методике «Кольца Ландольта»")},
         {page::Font("Arial", kSubjectSize),
          TestLine(QStringLiteral("Первое обследование — "), earlier)},
         {page::Font("Arial", kSubjectSize),
          TestLine(QStringLiteral("Повторное обследование — "), later)},
         {page::Font("Arial", kDateSize),
          QStringLiteral("Дата печати: ") + printed.toString(QStringLiteral("dd.MM.yyyy"))}});
}

// The table of indices: a shaded heading row, then one row per index, numbers right-aligned.
void PaintTable(QPainter& painter, const QRectF& r, const stats::TRetest& retest, char decimal) {
    const QFont font = page::Font("Arial", kTableSize);
    const QFont bold = page::Font("Arial", kTableSize, true);
    const double rowHeight = TableRowHeight();
    const double pad = rowHeight * 0.3;
    const double numberWidth = r.width() * 0.16;
    const double nameWidth = r.width() - 3 * numberWidth;
    const double columnLeft[kTableColumns] = {r.left(), r.left() + nameWidth,
                                              r.left() + nameWidth + numberWidth,
                                              r.left() + nameWidth + 2 * numberWidth};
    const double columnWidth[kTableColumns] = {nameWidth, numberWidth, numberWidth, numberWidth};

    painter.save();
    const auto row = [&](int index, const QString(&cells)[kTableColumns], bool heading) {
        const double top = r.top() + index * rowHeight;
        if (heading)
            painter.fillRect(QRectF(r.left(), top, r.width(), rowHeight), QColor(225, 225, 225));
        else if (index % 2 == 0)
            painter.fillRect(QRectF(r.left(), top, r.width(), rowHeight), QColor(244, 244, 244));
        painter.setFont(heading ? bold : font);
        painter.setPen(Qt::black);
        for (int c = 0; c < kTableColumns; ++c) {
            const QRectF cell(columnLeft[c] + pad, top, columnWidth[c] - 2 * pad, rowHeight);
            const Qt::Alignment align = c == 0 ? Qt::AlignLeft : Qt::AlignRight;
            painter.drawText(cell, align | Qt::AlignVCenter, cells[c]);
        }
    };
    row(0,
        {QStringLiteral("Показатель"), QStringLiteral("Первое"), QStringLiteral("Повторное"),
         QStringLiteral("Разность")},
        true);
    int index = 1;
    for (const stats::TIndexRow& ir : retest.Rows) {
        const auto number = [&](const std::optional<double>& v) {
            return QString::fromStdString(stats::NumberText(v, ir.Decimals, decimal));
        };
        row(index++,
            {QString::fromUtf8(ir.Name.data(), static_cast<qsizetype>(ir.Name.size())),
             number(ir.Earlier), number(ir.Later), number(ir.Difference)},
            false);
    }
    QPen line(QColor(120, 120, 120));
    line.setWidthF(3);
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    const double bottom = r.top() + index * rowHeight;
    painter.drawRect(QRectF(r.left(), r.top(), r.width(), bottom - r.top()));
    painter.drawLine(QPointF(r.left(), r.top() + rowHeight),
                     QPointF(r.right(), r.top() + rowHeight));
    for (int c = 1; c < kTableColumns; ++c)
        painter.drawLine(QPointF(columnLeft[c], r.top()), QPointF(columnLeft[c], bottom));
    painter.restore();
}

std::string TagUtf8(const TLoadedProtocol& load) {
    return Cp1251ToUtf8(load.FileTag);
}

// Lines too long for the page's width at the largest text size are broken after a comma (or
// else a space) and go on indented, so a long comparison line does not shrink all the text.
QStringList Wrapped(const QStringList& lines) {
    const QFontMetricsF fm(MonoFont(kLargestTextSize));
    const auto columns =
        static_cast<qsizetype>((kPageWidth - 2 * kMargin) / fm.horizontalAdvance(QLatin1Char('0')));
    const QString indent(4, QLatin1Char(' '));
    QStringList out;
    for (QString line : lines) {
        while (line.size() > columns) {
            qsizetype cut = line.lastIndexOf(QStringLiteral(", "), columns - 2);
            if (cut > indent.size()) {
                ++cut;  // the comma stays at the end of the line
            } else {
                cut = line.lastIndexOf(QLatin1Char(' '), columns - 1);
                if (cut <= indent.size()) break;
            }
            out.append(line.left(cut));
            line = indent + line.mid(cut).trimmed();
        }
        out.append(line);
    }
    return out;
}

// The comparison text's lines under the table. Paragraphs are parted by empty lines: the first
// names the tests, the one that starts with the column heading is the table.
QStringList PageLines(const stats::TRetest& retest, const TLoadedProtocol& earlier,
                      const TLoadedProtocol& later) {
    const QString text = QString::fromStdString(
        stats::RetestText(retest, TagUtf8(earlier), TagUtf8(later), DecimalChar()));
    const QStringList paragraphs = text.split(QStringLiteral("\n\n"));
    QStringList lines;
    for (qsizetype i = 1; i < paragraphs.size(); ++i) {
        const QString& p = paragraphs[i];
        if (p.startsWith(QStringLiteral("Показатель"))) continue;
        if (!lines.isEmpty()) lines.append(QString());
        lines += p.split(QLatin1Char('\n'));
    }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.pop_back();
    return Wrapped(lines);
}

}  // namespace

TComparePageLayout LayOutComparisonPage(int tableRows, const QStringList& textLines) {
    TComparePageLayout layout;
    const double width = kPageWidth - 2 * kMargin;
    const double headerHeight = LineHeight(page::Font("Arial", kHeadingSize, true)) +
                                2 * LineHeight(page::Font("Arial", kSubjectSize)) +
                                LineHeight(page::Font("Arial", kDateSize)) + kGap / 2;
    layout.Header = QRectF(kMargin, kMargin, width, headerHeight);
    const double chartHeight = width * kCurveChartHeight / kCurveChartWidth;
    layout.Chart = QRectF(kMargin, layout.Header.bottom() + kGap, width, chartHeight);
    // Two rows of legend at most: the overlay has four entries.
    const double legendHeight = LineHeight(page::Font("Arial", kLegendSize)) * 1.3 * 2;
    layout.Legend = QRectF(kMargin, layout.Chart.bottom() + kGap / 4, width, legendHeight);
    layout.Table = QRectF(kMargin, layout.Legend.bottom() + kGap / 2, width,
                          TableRowHeight() * (tableRows + 1));
    const double textTop = layout.Table.bottom() + kGap;
    const double room = kPageHeight - kMargin - textTop;

    QString widest;
    for (const QString& l : textLines)
        if (l.size() > widest.size()) widest = l;
    const auto count = static_cast<double>(std::max<qsizetype>(1, textLines.size()));
    int size = kLargestTextSize;
    for (; size > kSmallestTextSize; --size) {
        const QFontMetricsF fm(MonoFont(size));
        if (fm.lineSpacing() * count <= room && fm.horizontalAdvance(widest) <= width) break;
    }
    layout.TextFontSize = size;
    const QFontMetricsF fm(MonoFont(size));
    layout.TextCut = fm.lineSpacing() * count > room || fm.horizontalAdvance(widest) > width;
    layout.Text = QRectF(kMargin, textTop, width, std::max(0.0, room));
    return layout;
}

QStringList ComparisonPageLines(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                                const stats::TNormInput* norms) {
    return PageLines(stats::CompareTests(earlier.Analysis.Result, later.Analysis.Result, norms),
                     earlier, later);
}

void PaintComparisonPage(QPainter& painter, const TLoadedProtocol& earlier,
                         const TLoadedProtocol& later, QDate printed,
                         const stats::TNormInput* norms) {
    const char decimal = DecimalChar();
    const stats::TRetest retest =
        stats::CompareTests(earlier.Analysis.Result, later.Analysis.Result, norms);
    const QStringList lines = PageLines(retest, earlier, later);
    const TComparePageLayout layout =
        LayOutComparisonPage(static_cast<int>(retest.Rows.size()), lines);

    TCustomChart chart;
    chart.DecimalSeparator = decimal;
    TCurveOverlayPlot plot(chart);
    plot.Fill(retest.EarlierCurve, retest.LaterCurve, earlier.Subject, later.Subject);

    painter.save();
    const double scale = painter.device()->logicalDpiX() / kPageUnitsPerInch;
    painter.scale(scale, painter.device()->logicalDpiY() / kPageUnitsPerInch);
    PaintHeader(painter, layout.Header, earlier, later, printed);
    page::PaintChartAt(painter, chart, layout.Chart, kCurveChartWidth, kCurveChartHeight,
                       TQtTextMeasure());
    PaintLegend(painter, layout.Legend, plot.Legend(), page::Font("Arial", kLegendSize));
    PaintTable(painter, layout.Table, retest, decimal);
    page::PaintTextBlock(painter, layout.Text, layout.TextFontSize, lines);
    painter.restore();
}

QByteArray ComparisonPagePdf(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                             QDate printed, const stats::TNormInput* norms) {
    return page::A4Pdf(
        QStringLiteral("Сравнение обследований — ") + QStringOf1251(earlier.FileTag) +
            QStringLiteral(", ") + QStringOf1251(later.FileTag),
        [&](QPainter& painter) { PaintComparisonPage(painter, earlier, later, printed, norms); });
}

void WriteComparisonPdf(const std::filesystem::path& target, const TLoadedProtocol& earlier,
                        const TLoadedProtocol& later, QDate printed,
                        const stats::TNormInput* norms) {
    page::WritePdf(target, ComparisonPagePdf(earlier, later, printed, norms));
}

}  // namespace orvix
