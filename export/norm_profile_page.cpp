#include "norm_profile_page.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "export/page_parts.h"
#include "stats/stats_text.h"

namespace orvix {
namespace {

using page::kGap;

constexpr int kTitleSize = 78;
constexpr int kTextSize = 64;
constexpr double kRowSpacing = 1.2;  // a row's height in the text's lines

const QColor kShade(222, 222, 222);
const QColor kGrid(170, 170, 170);
const QColor kPoint(0, 0, 160);

QFont TextFont() {
    return page::Font("Arial", kTextSize);
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

double RowHeight() {
    return page::LineHeight(TextFont()) * kRowSpacing;
}

// Text in `cell`, vertically centred, cut with an ellipsis at its width.
void DrawCell(QPainter& painter, const QRectF& cell, Qt::Alignment align, const QString& text) {
    const QFontMetricsF fm(painter.font());
    painter.drawText(cell, align | Qt::AlignVCenter,
                     fm.elidedText(text, Qt::ElideRight, cell.width()));
}

QRectF Span(double left, double right, const QRectF& row) {
    return QRectF(left, row.top(), right - left, row.height());
}

// An arrowhead at the scale's end, pointing out of it.
void DrawArrowhead(QPainter& painter, double x, double y, double size, bool right) {
    const double d = right ? size : -size;
    QPainterPath path;
    path.moveTo(x + d, y);
    path.lineTo(x, y - size * 0.7);
    path.lineTo(x, y + size * 0.7);
    path.closeSubpath();
    painter.fillPath(path, kPoint);
}

}  // namespace

QStringList ProfileNoteLines(const stats::TNormProfile& profile) {
    QStringList lines;
    lines.append(QStringLiteral("Обследуемый: ") +
                 QString::fromStdString(stats::ExamineeText(profile.Examinee)));
    if (profile.Lines.empty())
        lines.append(
            QStringLiteral("Ни для одного показателя нет нормы, подходящей обследуемому."));
    for (const stats::TNormSource& s : profile.Sources)
        lines.append(QString::fromStdString(stats::NormSourceText(s)));
    for (const std::string& w : profile.Warnings)
        lines.append(QStringLiteral("Внимание: ") + QString::fromStdString(w));
    return lines;
}

TProfileLayout LayOutProfile(const stats::TNormProfile& profile, double left, double top,
                             double width) {
    TProfileLayout l;
    const double titleHeight = page::LineHeight(page::Font("Arial", kTitleSize, true)) * 1.2;
    const double rowHeight = RowHeight();
    l.Title = QRectF(left, top, width, titleHeight);
    l.Header = QRectF(left, l.Title.bottom(), width, rowHeight);
    double y = l.Header.bottom();
    for (std::size_t i = 0; i < profile.Lines.size(); ++i, y += rowHeight)
        l.Rows.emplace_back(left, y, width, rowHeight);

    // Name 30 %, scale 47 % (its numbers need half a number's width at either end), T 8 %,
    // percentile 9 %, n 6 %.
    const QFontMetricsF fm(TextFont());
    const double pad = fm.horizontalAdvance(QStringLiteral("000"));
    l.NameLeft = left;
    l.NameRight = left + width * 0.30;
    l.ScaleLeft = l.NameRight + pad;
    l.ScaleRight = left + width * 0.77 - pad;
    l.TRight = left + width * 0.85;
    l.PercentileRight = left + width * 0.94;
    l.NRight = left + width;

    const double indent = fm.horizontalAdvance(QStringLiteral("0000"));
    for (const QString& note : ProfileNoteLines(profile)) {
        bool continued = false;
        for (const QString& part : page::WrapToWidth(note, fm, width, indent)) {
            l.Notes.push_back({part, continued});
            continued = true;
        }
    }
    const double notesTop = y + kGap / 4;
    l.NotesArea =
        QRectF(left, notesTop, width, fm.lineSpacing() * static_cast<double>(l.Notes.size()));
    l.Area = QRectF(left, top, width, l.NotesArea.bottom() - top);
    return l;
}

double ProfileX(const TProfileLayout& layout, double t) {
    const double share = (std::clamp(t, kProfileLowT, kProfileHighT) - kProfileLowT) /
                         (kProfileHighT - kProfileLowT);
    return layout.ScaleLeft + share * (layout.ScaleRight - layout.ScaleLeft);
}

QString ProfileTText(const stats::TProfileLine& line, char decimal) {
    return QString::fromStdString(stats::NumberText(line.T, 1, decimal));
}

void PaintProfile(QPainter& painter, const TProfileLayout& l, const stats::TNormProfile& profile,
                  char decimal) {
    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(page::Font("Arial", kTitleSize, true));
    DrawCell(painter, l.Title, Qt::AlignLeft,
             QStringLiteral("Профиль по нормам: T = 50 + 10z; отрезок — 95 % интервал, серая "
                            "полоса — от 40 до 60"));

    const QFont font = TextFont();
    const QFontMetricsF fm(font);
    painter.setFont(font);
    const double scaleTop = l.Header.bottom();
    const double scaleBottom = l.Rows.empty() ? scaleTop : l.Rows.back().bottom();

    // The shaded average range and the grid under the rows.
    painter.fillRect(
        QRectF(QPointF(ProfileX(l, 40), scaleTop), QPointF(ProfileX(l, 60), scaleBottom)), kShade);
    for (int t = static_cast<int>(kProfileLowT); t <= kProfileHighT; t += 10) {
        const double x = ProfileX(l, t);
        QPen pen(t == 50 ? QColor(Qt::black) : kGrid);
        pen.setWidthF(t == 50 ? 4 : 2);
        painter.setPen(pen);
        if (scaleBottom > scaleTop) painter.drawLine(QPointF(x, scaleTop), QPointF(x, scaleBottom));
        painter.setPen(Qt::black);
        const QString number = QString::number(t);
        const double w = fm.horizontalAdvance(number);
        painter.drawText(QRectF(x - w, l.Header.top(), 2 * w, l.Header.height()), Qt::AlignCenter,
                         number);
    }

    // The columns' captions.
    const double gap = fm.horizontalAdvance(QLatin1Char(' '));
    painter.setPen(Qt::black);
    DrawCell(painter, Span(l.NameLeft, l.NameRight, l.Header), Qt::AlignLeft,
             QStringLiteral("Показатель"));
    DrawCell(painter, Span(l.ScaleRight + gap, l.TRight, l.Header), Qt::AlignRight,
             QStringLiteral("T"));
    DrawCell(painter, Span(l.TRight + gap, l.PercentileRight, l.Header), Qt::AlignRight,
             QStringLiteral("Процентиль"));
    DrawCell(painter, Span(l.PercentileRight + gap, l.NRight, l.Header), Qt::AlignRight,
             QStringLiteral("n"));
    QPen rule(Qt::black);
    rule.setWidthF(3);
    painter.setPen(rule);
    painter.drawLine(QPointF(l.Header.left(), scaleTop), QPointF(l.Header.right(), scaleTop));
    if (scaleBottom > scaleTop)
        painter.drawLine(QPointF(l.Header.left(), scaleBottom),
                         QPointF(l.Header.right(), scaleBottom));

    const double mark = l.Rows.empty() ? 0 : l.Rows.front().height() * 0.22;
    for (std::size_t i = 0; i < l.Rows.size() && i < profile.Lines.size(); ++i) {
        const QRectF& row = l.Rows[i];
        const stats::TProfileLine& line = profile.Lines[i];
        painter.setPen(Qt::black);
        DrawCell(painter, Span(l.NameLeft, l.NameRight, row), Qt::AlignLeft, Utf8(line.Caption));
        DrawCell(painter, Span(l.ScaleRight + gap, l.TRight, row), Qt::AlignRight,
                 ProfileTText(line, decimal));
        DrawCell(painter, Span(l.TRight + gap, l.PercentileRight, row), Qt::AlignRight,
                 QString::fromStdString(stats::PercentileText(line)));
        DrawCell(painter, Span(l.PercentileRight + gap, l.NRight, row), Qt::AlignRight,
                 QString::number(line.N));
        if (!line.T) continue;
        const double y = row.center().y();
        if (line.BandLow && line.BandHigh) {
            QPen bar(kPoint);
            bar.setWidthF(6);
            bar.setCapStyle(Qt::FlatCap);
            painter.setPen(bar);
            const double x0 = ProfileX(l, *line.BandLow);
            const double x1 = ProfileX(l, *line.BandHigh);
            painter.drawLine(QPointF(x0, y), QPointF(x1, y));
            // An end cap where the band ends on the scale.
            if (*line.BandLow >= kProfileLowT)
                painter.drawLine(QPointF(x0, y - mark), QPointF(x0, y + mark));
            if (*line.BandHigh <= kProfileHighT)
                painter.drawLine(QPointF(x1, y - mark), QPointF(x1, y + mark));
        }
        const double x = ProfileX(l, *line.T);
        if (*line.T < kProfileLowT || *line.T > kProfileHighT) {
            DrawArrowhead(painter, x, y, mark * 1.6, *line.T > kProfileHighT);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kPoint);
            painter.drawEllipse(QPointF(x, y), mark, mark);
            painter.setBrush(Qt::NoBrush);
        }
    }

    painter.setPen(Qt::black);
    const double indent = fm.horizontalAdvance(QStringLiteral("0000"));
    double top = l.NotesArea.top();
    for (const TFigureLine& note : l.Notes) {
        painter.drawText(
            QPointF(l.NotesArea.left() + (note.Continued ? indent : 0), top + fm.ascent()),
            note.Text);
        top += fm.lineSpacing();
    }
    painter.restore();
}

}  // namespace orvix
