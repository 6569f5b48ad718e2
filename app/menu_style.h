// The main menu shows each top-level item's picture in front of its caption (the toolkit's
// styles show one or the other).
#pragma once

#include <QProxyStyle>

namespace orvix {

class TMenuBarStyle final : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;

    static constexpr int kPicture = 16;
    static constexpr int kGap = 4;
};

}  // namespace orvix
