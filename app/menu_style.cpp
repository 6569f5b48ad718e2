#include "menu_style.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

namespace orvix {
namespace {
bool PictureAndCaption(const QStyleOption* option) {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    return item && !item->icon.isNull() && !item->text.isEmpty();
}
}  // namespace

void TMenuBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (element != CE_MenuBarItem || !PictureAndCaption(option)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    QStyleOptionMenuItem background = *item;  // the item's frame and highlight only
    background.icon = QIcon();
    background.text.clear();
    QProxyStyle::drawControl(element, &background, painter, widget);

    const bool enabled = item->state & State_Enabled;
    const int width =
        kPicture + kGap +
        item->fontMetrics.horizontalAdvance(QString(item->text).remove(QLatin1Char('&')));
    const QRect content(item->rect.x() + (item->rect.width() - width) / 2, item->rect.y(), width,
                        item->rect.height());
    const QPixmap picture =
        item->icon.pixmap(QSize(kPicture, kPicture), painter->device()->devicePixelRatio(),
                          enabled ? QIcon::Normal : QIcon::Disabled);
    painter->drawPixmap(content.x(), content.y() + (content.height() - kPicture) / 2, picture);
    const QRect text = content.adjusted(kPicture + kGap, 0, 0, 0);
    // A disabled caption in the colour of disabled text, as the styles draw their own disabled
    // items: the Windows styles take the Disabled group's Text, since its ButtonText may be as
    // dark as an enabled caption's.
    QPalette palette = item->palette;
    if (!enabled) palette.setCurrentColorGroup(QPalette::Disabled);
    proxy()->drawItemText(
        painter, text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine,
        palette, enabled, item->text, enabled ? QPalette::ButtonText : QPalette::Text);
}

QSize TMenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
    if (type != CT_MenuBarItem || !PictureAndCaption(option))
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const QString caption = QString(item->text).remove(QLatin1Char('&'));
    const QSize content(kPicture + kGap + item->fontMetrics.horizontalAdvance(caption),
                        std::max(kPicture, item->fontMetrics.height()));
    return QProxyStyle::sizeFromContents(type, option, content, widget);
}

}  // namespace orvix
