#include "qt_text_measure.h"

#include <algorithm>

#include "base/cp1251.h"

namespace orvix {

QColor ToQColor(TColor color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

TColor FromQColor(const QColor& color) {
    return RGBColor(color.red(), color.green(), color.blue());
}

QFont ToQFont(const TChartFont& font) {
    QFont f(QString::fromStdString(font.Name));
    f.setPixelSize(std::max(1, font.Height));
    f.setBold(font.Bold);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QString QStringOf1251(std::string_view text1251) {
    bool ascii = true;
    for (char c : text1251)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    if (ascii) return QString::fromLatin1(text1251.data(), static_cast<qsizetype>(text1251.size()));
    return QString::fromStdString(Cp1251ToUtf8(text1251));
}

const TQtTextMeasure::Entry& TQtTextMeasure::Find(const TChartFont& font) const {
    for (const Entry& e : cache_)
        if (e.key.Name == font.Name && e.key.Height == font.Height && e.key.Bold == font.Bold)
            return e;
    QFont f = ToQFont(font);
    cache_.push_back(Entry{font, f, QFontMetrics(f)});
    return cache_.back();
}

const QFontMetrics& TQtTextMeasure::Metrics(const TChartFont& font) const {
    return Find(font).metrics;
}

const QFont& TQtTextMeasure::Font(const TChartFont& font) const {
    return Find(font).font;
}

int TQtTextMeasure::TextWidth(const TChartFont& font, std::string_view text) const {
    return Metrics(font).horizontalAdvance(QStringOf1251(text));
}

int TQtTextMeasure::TextHeight(const TChartFont& font) const {
    return Metrics(font).height();
}

}  // namespace orvix
