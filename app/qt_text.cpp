#include "qt_text.h"

#include <QDir>

#include "base/cp1251.h"

namespace orvix {

QString ToQString(std::string_view text1251) {
    QString out;
    out.reserve(static_cast<qsizetype>(text1251.size()));
    for (const char c : text1251)
        out.append(QChar(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(c)))));
    return out;
}

std::string ToCp1251(const QString& text, char replacement) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;  // one character outside the code page, one replacement
            out.push_back(replacement);
            continue;
        }
        const int byte = UnicodeToCp1251(c.unicode());
        out.push_back(byte < 0 ? replacement : static_cast<char>(byte));
    }
    return out;
}

bool FitsCp1251(const QString& text) {
    for (const QChar c : text)
        if (UnicodeToCp1251(c.unicode()) < 0) return false;
    return true;
}

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QString FromPath(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(QString::fromStdU16String(path.u16string()));
}

}  // namespace orvix
