// A small flat-faced push button with an arrow glyph, as the search-time chart's scroll
// buttons use. It paints itself pixel by pixel (no platform style), so a chart picture looks
// the same on every desktop.
#pragma once

#include <QAbstractButton>
#include <QImage>

namespace orvix {

enum class TArrowGlyph { Left, Right };

class TSpeedButton final : public QAbstractButton {
    Q_OBJECT

  public:
    explicit TSpeedButton(TArrowGlyph glyph, QWidget* parent = nullptr);

    TArrowGlyph Glyph() const noexcept { return glyph_; }

    // The glyph picture of a state: a black arrow when enabled, an engraved grey one (grey
    // over a white shadow one pixel down and right) when disabled. Transparent elsewhere.
    static QImage GlyphImage(TArrowGlyph glyph, bool enabled);

    QSize sizeHint() const override { return {25, 25}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TArrowGlyph glyph_;
};

}  // namespace orvix
