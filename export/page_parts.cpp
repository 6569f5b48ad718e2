#include "page_parts.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "base/file_io.h"
#include "charts/chart_painter.h"
#include "charts/qt_text_measure.h"

namespace orvix::page {

QFont Font(const char* family, int size, bool bold) {
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(size);
    f.setBold(bold);
    return f;
}

QFont MonoFont(int size) {
    QFont f = Font("Courier New", size);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    return f;
}

double LineHeight(const QFont& font) {
    return QFontMetricsF(font).lineSpacing();
}

void PaintHeader(QPainter& painter, const QRectF& r,
                 const std::vector<std::pair<QFont, QString>>& lines) {
    double y = r.top();
    painter.setPen(Qt::black);
    for (const auto& [font, text] : lines) {
        painter.setFont(font);
        const QFontMetricsF fm(font);
        const QString shown = fm.elidedText(text, Qt::ElideRight, r.width());
        painter.drawText(QRectF(r.left(), y, r.width(), fm.height()), Qt::AlignLeft | Qt::AlignTop,
                         shown);
        y += fm.lineSpacing();
    }
    QPen rule(Qt::black);
    rule.setWidthF(5);
    painter.setPen(rule);
    painter.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.right(), r.bottom()));
}

QStringList WrapToWidth(const QString& text, const QFontMetricsF& fm, double width, double indent) {
    QStringList lines;
    QString rest = text;
    for (double room = width; fm.horizontalAdvance(rest) > room; room = width - indent) {
        qsizetype space = -1;  // the last space the line may end before
        qsizetype mark = -1;   // the last such space after a comma or colon
        for (qsizetype i = 1; i < rest.size(); ++i) {
            if (rest[i] != QLatin1Char(' ')) continue;
            if (fm.horizontalAdvance(rest.left(i)) > room) break;
            space = i;
            if (rest[i - 1] == QLatin1Char(',') || rest[i - 1] == QLatin1Char(':')) mark = i;
        }
        const qsizetype cut = mark > 0 ? mark : space;
        if (cut > 0) {
            lines.append(rest.left(cut));
            rest = rest.mid(cut + 1);
            continue;
        }
        // One word wider than the line: as many of its characters as fit, one at least.
        qsizetype fit = 1;
        while (fit < rest.size() && fm.horizontalAdvance(rest.left(fit + 1)) <= room) ++fit;
        lines.append(rest.left(fit));
        rest = rest.mid(fit);
    }
    lines.append(rest);
    return lines;
}

void PaintTextBlock(QPainter& painter, const QRectF& r, int fontSize, const QStringList& lines) {
    painter.save();
    painter.setClipRect(r);
    const QFont font = MonoFont(fontSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF fm(font);
    double baseline = r.top() + fm.ascent();
    for (const QString& text : lines) {
        if (baseline - fm.ascent() > r.bottom()) break;
        if (!text.isEmpty()) painter.drawText(QPointF(r.left(), baseline), text);
        baseline += fm.lineSpacing();
    }
    painter.restore();
}

QTransform ChartToPage(const QRectF& place, int width, int height) {
    QTransform t;
    t.translate(place.left(), place.top());
    t.scale(place.width() / width, place.height() / height);
    return t;
}

void PaintChartAt(QPainter& painter, TCustomChart& chart, const QRectF& place, int width,
                  int height, const TQtTextMeasure& measure) {
    painter.save();
    painter.setTransform(ChartToPage(place, width, height), true);
    PaintChart(chart, painter, width, height, measure);
    painter.restore();
}

QByteArray A4Pdf(const QString& title, const std::function<void(QPainter&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(static_cast<int>(kPageUnitsPerInch));
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setCreator(QStringLiteral("ORVIX-КЛ"));
        writer.setTitle(title);
        QPainter painter(&writer);
        paint(painter);
    }
    return bytes;
}

void WritePdf(const std::filesystem::path& target, const QByteArray& pdf) {
    WriteFileAtomically(target,
                        std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
}

}  // namespace orvix::page
