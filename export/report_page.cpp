#include "report_page.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/numbers.h"
#include "charts/chart_painter.h"
#include "charts/qt_text_measure.h"
#include "export/page_parts.h"
#include "protocol/report.h"
#include "stats/stats_text.h"

namespace orvix {
namespace {

using page::ChartToPage;
using page::kGap;
using page::kMargin;
using page::LineHeight;
using page::MonoFont;

constexpr int kHeadingSize = 110;
constexpr int kSubjectSize = 100;
constexpr int kDateSize = 85;
constexpr int kLegendSize = 75;
constexpr int kFiguresSize = 72;
constexpr int kLargestReportSize = 90;
constexpr int kSmallestReportSize = 40;

// A white cross inside the square marker of half-size `half` at (x, y), chart pixels.
void DrawCross(QPainter& painter, double x, double y, int half) {
    const double d = half - 0.5;
    painter.drawLine(QPointF(x - d, y - d), QPointF(x + d, y + d));
    painter.drawLine(QPointF(x - d, y + d), QPointF(x + d, y - d));
}

// The cue over the markers of wrong selections (search-time chart) or of intervals with
// wrong selections (five-second chart): `wrong(i)` says which points of `series` get it.
template <typename Wrong>
void DrawWrongCues(QPainter& painter, const TCustomChart& chart, const TLineSeries& series,
                   Wrong wrong) {
    const TRect plot = chart.PlotRect();
    painter.save();
    painter.setClipRect(QRect(plot.Left + 1, plot.Top + 1, plot.Width() - 1, plot.Height() - 2));
    QPen pen(Qt::white);
    pen.setWidthF(std::max(1.0, series.Pointer.HorizSize() / 2.5));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const TAxisMap& hx = chart.BottomAxis.Map();
    const TAxisMap& vy = chart.LeftAxis.Map();
    const int first = std::max(0, series.FirstVisible());
    const int last = std::min(series.LastVisible(), series.PointCount() - 1);
    for (int i = first; i <= last; ++i) {
        if (!wrong(static_cast<std::size_t>(i))) continue;
        const int x = hx.ToPixel(series.PointX(i));
        const int y = vy.ToPixel(series.PointY(i));
        if (x < plot.Left || x > plot.Right || y < plot.Top || y > plot.Bottom) continue;
        DrawCross(painter, x, y, std::min(series.Pointer.HorizSize(), series.Pointer.VertSize()));
    }
    painter.restore();
}

void PaintHeader(QPainter& painter, const TReportPageLayout& layout, const TLoadedProtocol& load,
                 QDate printed) {
    page::PaintHeader(
        painter, layout.Header,
        {{page::Font("Arial", kHeadingSize, true),
          QStringOf1251(load.Protocol.LineAt(line::kHeading))},
         {page::Font("Arial", kSubjectSize), QStringOf1251(load.Subject)},
         {page::Font("Arial", kDateSize),
          QStringLiteral("Дата печати: ") + printed.toString(QStringLiteral("dd.MM.yyyy"))}});
}

// One row: a green marker, a red marker with the cross, the mean line, the band line and an
// omission bar, each followed by what it stands for.
void PaintLegend(QPainter& painter, const QRectF& r) {
    const QFont font = page::Font("Arial", kLegendSize);
    const QFontMetricsF fm(font);
    painter.save();
    painter.setFont(font);
    const double mark = fm.ascent() * 0.8;
    const double midY = r.top() + r.height() / 2;
    double x = r.left();
    const auto label = [&](const QString& text) {
        x += mark * 0.6;
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, midY + fm.ascent() / 2 - fm.descent() / 2), text);
        x += fm.horizontalAdvance(text) + mark * 2;
    };
    const auto square = [&](TColor color, bool cross) {
        const QRectF box(x, midY - mark / 2, mark, mark);
        painter.fillRect(box, ToQColor(color));
        if (cross) {
            QPen pen(Qt::white);
            pen.setWidthF(mark / 5);
            painter.setPen(pen);
            const QRectF in = box.adjusted(mark / 6, mark / 6, -mark / 6, -mark / 6);
            painter.drawLine(in.topLeft(), in.bottomRight());
            painter.drawLine(in.bottomLeft(), in.topRight());
        }
        x += mark;
    };
    const auto stroke = [&](TColor color, Qt::PenStyle style) {
        QPen pen(ToQColor(color));
        pen.setWidthF(mark / 6);
        pen.setStyle(style);
        painter.setPen(pen);
        painter.drawLine(QPointF(x, midY), QPointF(x + mark * 2.5, midY));
        x += mark * 2.5;
    };
    square(clGreen, false);
    label(QStringLiteral("верный выбор; интервал без ошибок"));
    square(clRed, true);
    label(QStringLiteral("ошибочный выбор; интервал с ошибками"));
    stroke(clBlue, Qt::SolidLine);
    label(QStringLiteral("среднее"));
    stroke(clBandLine, Qt::DashDotLine);
    label(QStringLiteral("среднее ± 2 ст. откл."));
    painter.fillRect(QRectF(x + mark * 0.3, midY - mark / 2, mark * 0.4, mark), ToQColor(clRed));
    x += mark;
    label(QStringLiteral("пропуски"));
    painter.restore();
}

double FiguresColumnWidth(double width) {
    return (width - kGap) / 2;
}

// The figures' lines of one column: each figure whole, wrapped to the column's width.
std::vector<TFigureLine> FigureColumn(const QStringList& figures, qsizetype from, qsizetype to,
                                      double columnWidth) {
    const QFontMetricsF fm(page::Font("Arial", kFiguresSize));
    const double indent = fm.horizontalAdvance(QStringLiteral("0000"));
    std::vector<TFigureLine> lines;
    for (qsizetype i = from; i < to; ++i) {
        bool continued = false;
        for (const QString& part : page::WrapToWidth(figures[i], fm, columnWidth, indent)) {
            lines.push_back({part, continued});
            continued = true;
        }
    }
    return lines;
}

// The work-curve figures in two columns under the legend, continued lines indented.
void PaintFigures(QPainter& painter, const TReportPageLayout& layout) {
    const QFont font = page::Font("Arial", kFiguresSize);
    const QFontMetricsF fm(font);
    const double indent = fm.horizontalAdvance(QStringLiteral("0000"));
    const QRectF& r = layout.Figures;
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const auto column = [&](const std::vector<TFigureLine>& lines, double left) {
        double top = r.top() + kGap / 4;
        for (const TFigureLine& line : lines) {
            painter.drawText(QPointF(left + (line.Continued ? indent : 0), top + fm.ascent()),
                             line.Text);
            top += fm.lineSpacing();
        }
    };
    column(layout.FiguresLeft, r.left());
    column(layout.FiguresRight, r.left() + FiguresColumnWidth(r.width()) + kGap);
    painter.restore();
}

}  // namespace

QStringList WorkCurvePageLines(const TLoadedProtocol& load) {
    if (load.Analysis.Stopped != TAnalysisStep::Done || load.Protocol.LineCount() == 0) return {};
    const TAnalysisResult& result = load.Analysis.Result;
    const QString text = QString::fromStdString(stats::WorkCurveText(
        stats::ComputeWorkCurve(result), stats::ComputeAccuracy(result), DecimalChar()));
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
}

QStringList ReportPageLines(std::string_view report1251) {
    QString text = QStringOf1251(report1251);
    text.remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.pop_back();
    return lines;
}

TReportPageLayout LayOutReportPage(const QStringList& reportLines, const QStringList& figureLines) {
    TReportPageLayout layout;
    const double width = kPageWidth - 2 * kMargin;
    const double headerHeight = LineHeight(page::Font("Arial", kHeadingSize, true)) +
                                LineHeight(page::Font("Arial", kSubjectSize)) +
                                LineHeight(page::Font("Arial", kDateSize)) + kGap / 2;
    layout.Header = QRectF(kMargin, kMargin, width, headerHeight);
    const double chartHeight = width * kPageChartHeight / kPageChartWidth;
    const double legendHeight = LineHeight(page::Font("Arial", kLegendSize)) * 1.5;
    const qsizetype firstColumn = (figureLines.size() + 1) / 2;
    layout.FiguresLeft = FigureColumn(figureLines, 0, firstColumn, FiguresColumnWidth(width));
    layout.FiguresRight =
        FigureColumn(figureLines, firstColumn, figureLines.size(), FiguresColumnWidth(width));
    const std::size_t figureRows = std::max(layout.FiguresLeft.size(), layout.FiguresRight.size());
    const double figuresHeight = figureRows == 0 ? 0
                                                 : LineHeight(page::Font("Arial", kFiguresSize)) *
                                                           static_cast<double>(figureRows) +
                                                       kGap / 4;
    const double reportTop = layout.Header.bottom() + kGap;
    // What the charts and the legend leave for the text.
    const double room = kPageHeight - kMargin - figuresHeight - legendHeight - 2 * chartHeight -
                        kGap / 2 - kGap - reportTop;

    // The largest size at which the lines fit both ways.
    QString widest;
    for (const QString& l : reportLines)
        if (l.size() > widest.size()) widest = l;
    const auto count = static_cast<double>(std::max<qsizetype>(1, reportLines.size()));
    int size = kLargestReportSize;
    for (; size > kSmallestReportSize; --size) {
        const QFontMetricsF fm(MonoFont(size));
        if (fm.lineSpacing() * count <= room && fm.horizontalAdvance(widest) <= width) break;
    }
    layout.ReportFontSize = size;
    const QFontMetricsF fm(MonoFont(size));
    layout.ReportCut = fm.lineSpacing() * count > room || fm.horizontalAdvance(widest) > width;
    // The charts follow the text.
    layout.Report = QRectF(kMargin, reportTop, width, std::min(room, fm.lineSpacing() * count));
    layout.SearchChart = QRectF(kMargin, layout.Report.bottom() + kGap, width, chartHeight);
    layout.TempoChart = QRectF(kMargin, layout.SearchChart.bottom() + kGap / 2, width, chartHeight);
    layout.Legend = QRectF(kMargin, layout.TempoChart.bottom(), width, legendHeight);
    layout.Figures = QRectF(kMargin, layout.Legend.bottom(), width, figuresHeight);
    return layout;
}

void FillPageCharts(TDetachedCharts& charts, const TLoadedProtocol& load) {
    charts.SearchChart.SetMaxPointsPerPage(0);
    charts.SearchChart.DecimalSeparator = DecimalChar();
    charts.TempoChart.DecimalSeparator = DecimalChar();
    TTextLines unused;
    try {
        ShowLoad(load, unused, charts.Tempo, charts.Search);
    } catch (const Exception&) {
        // The load's failure was shown when it was loaded; the charts keep what they reached.
    }
}

void PaintReportPage(QPainter& painter, const TLoadedProtocol& load, std::string_view report1251,
                     QDate printed) {
    const QStringList lines = ReportPageLines(report1251);
    const QStringList figures = WorkCurvePageLines(load);
    const TReportPageLayout layout = LayOutReportPage(lines, figures);
    TDetachedCharts charts;
    FillPageCharts(charts, load);

    painter.save();
    const double scale = painter.device()->logicalDpiX() / kPageUnitsPerInch;
    painter.scale(scale, painter.device()->logicalDpiY() / kPageUnitsPerInch);
    PaintHeader(painter, layout, load, printed);
    page::PaintTextBlock(painter, layout.Report, layout.ReportFontSize, lines);

    const TQtTextMeasure measure;
    const TAnalysisResult& result = load.Analysis.Result;
    page::PaintChartAt(painter, charts.SearchChart, layout.SearchChart, kPageChartWidth,
                       kPageChartHeight, measure);
    {
        painter.save();
        painter.setTransform(ChartToPage(layout.SearchChart, kPageChartWidth, kPageChartHeight),
                             true);
        DrawWrongCues(painter, charts.SearchChart, *charts.Search.SeriesSel, [&](std::size_t i) {
            return i < result.Points.size() && !result.Points[i].Correct;
        });
        painter.restore();
    }
    page::PaintChartAt(painter, charts.TempoChart, layout.TempoChart, kPageChartWidth,
                       kPageChartHeight, measure);
    {
        painter.save();
        painter.setTransform(ChartToPage(layout.TempoChart, kPageChartWidth, kPageChartHeight),
                             true);
        DrawWrongCues(painter, charts.TempoChart, *charts.Tempo.Series5sec, [&](std::size_t i) {
            return i < result.Intervals.size() && result.Intervals[i].Wrong > 0;
        });
        painter.restore();
    }
    PaintLegend(painter, layout.Legend);
    PaintFigures(painter, layout);
    painter.restore();
}

QByteArray ReportPagePdf(const TLoadedProtocol& load, std::string_view report1251, QDate printed) {
    return page::A4Pdf(
        QStringOf1251(load.Protocol.LineAt(line::kHeading)) + QStringLiteral(" — ") +
            QStringOf1251(load.Subject),
        [&](QPainter& painter) { PaintReportPage(painter, load, report1251, printed); });
}

void WriteReportPdf(const std::filesystem::path& target, const TLoadedProtocol& load,
                    std::string_view report1251, QDate printed) {
    page::WritePdf(target, ReportPagePdf(load, report1251, printed));
}

}  // namespace orvix
