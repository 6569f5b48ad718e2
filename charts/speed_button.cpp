#include "speed_button.h"

#include <QPainter>

namespace orvix {

namespace {

constexpr int kGlyphSize = 9;

// A solid arrow 4 columns wide and 7 rows high, tip outwards, centred in the glyph square.
void DrawArrow(QImage& image, TArrowGlyph glyph, int dx, int dy, QRgb colour) {
    const int left = (kGlyphSize - 4) / 2;
    const int middle = kGlyphSize / 2;
    for (int c = 0; c < 4; ++c) {
        const int x = glyph == TArrowGlyph::Left ? left + c : left + 3 - c;
        for (int y = middle - c; y <= middle + c; ++y) image.setPixel(x + dx, y + dy, colour);
    }
}

}  // namespace

TSpeedButton::TSpeedButton(TArrowGlyph glyph, QWidget* parent)
    : QAbstractButton(parent), glyph_(glyph) {
    setFocusPolicy(Qt::NoFocus);
    resize(25, 25);
}

QImage TSpeedButton::GlyphImage(TArrowGlyph glyph, bool enabled) {
    QImage image(kGlyphSize, kGlyphSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (enabled) {
        DrawArrow(image, glyph, 0, 0, qRgb(0, 0, 0));
    } else {
        DrawArrow(image, glyph, 1, 1, qRgb(255, 255, 255));
        DrawArrow(image, glyph, 0, 0, qRgb(128, 128, 128));
    }
    return image;
}

void TSpeedButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    const bool down = isDown();
    p.fillRect(rect(), palette().color(QPalette::Button));

    // Two-pixel bevel: raised at rest (light top-left, dark bottom-right), sunken while down.
    const QColor white(255, 255, 255);
    const QColor light(227, 227, 227);
    const QColor shadow(160, 160, 160);
    const QColor dark(105, 105, 105);
    const auto frame = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        const int r = w - 1 - inset;
        const int b = h - 1 - inset;
        p.setPen(topLeft);
        p.drawLine(inset, inset, r - 1, inset);
        p.drawLine(inset, inset, inset, b - 1);
        p.setPen(bottomRight);
        p.drawLine(inset, b, r, b);
        p.drawLine(r, inset, r, b);
    };
    if (down) {
        frame(0, dark, white);
        frame(1, shadow, light);
    } else {
        frame(0, white, dark);
        frame(1, light, shadow);
    }

    const QImage glyph = GlyphImage(glyph_, isEnabled());
    const int shift = down ? 1 : 0;
    p.drawImage((w - glyph.width()) / 2 + shift, (h - glyph.height()) / 2 + shift, glyph);
}

}  // namespace orvix
