#include "screen_snapshot.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace orvix {
namespace {

// The widget the window shows at the place of `widget`: the last drawn of the siblings that
// cover all of it (the widget itself when nothing is in front of it).
QWidget& FrontAtPlaceOf(QWidget& widget) {
    QWidget* front = &widget;
    if (QWidget* parent = widget.parentWidget()) {
        for (QObject* child : parent->children()) {  // in drawing order, bottom first
            auto* sibling = qobject_cast<QWidget*>(child);
            if (sibling && !sibling->isWindow() && !sibling->isHidden() &&
                sibling->geometry().contains(widget.geometry()))
                front = sibling;
        }
    }
    return *front;
}

}  // namespace

bool ScreenCanBeCopied() {
    // Platforms whose screens are not the desktop the user sees: a grab there would not show
    // other programs' windows, or shows nothing.
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal") &&
           !platform.startsWith(QLatin1String("wayland"));
}

QImage CaptureScreenRect(const QRect& rect) {
    if (rect.isEmpty() || !ScreenCanBeCopied()) return {};
    QImage copy(rect.size(), QImage::Format_RGB32);
    copy.fill(Qt::black);
    bool copied = false;
    QPainter painter(&copy);
    painter.setCompositionMode(QPainter::CompositionMode_Source);  // a plain copy, no blending
    // The rectangle may span screens: each screen gives the part it shows.
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect part = rect.intersected(screen->geometry());
        if (part.isEmpty()) continue;
        const QPoint inScreen = part.topLeft() - screen->geometry().topLeft();
        const QImage pixels =
            screen->grabWindow(0, inScreen.x(), inScreen.y(), part.width(), part.height())
                .toImage();
        if (pixels.isNull() || pixels.size().isEmpty()) return {};  // the screen cannot be read
        // A scaled screen gives more pixels than the rectangle has points: drawn at its size.
        painter.drawImage(QRect(part.topLeft() - rect.topLeft(), part.size()), pixels);
        copied = true;
    }
    painter.end();
    return copied ? copy : QImage();
}

QImage RenderClientArea(QWidget& widget) {
    QImage copy = FrontAtPlaceOf(widget).grab().toImage();
    if (copy.size() != widget.size()) copy = copy.scaled(widget.size());  // a scaled screen
    copy.setDevicePixelRatio(1.0);
    return copy;
}

QImage CaptureClientArea(QWidget& widget) {
    const QRect onScreen(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    QImage copy = CaptureScreenRect(onScreen);
    if (copy.isNull()) copy = RenderClientArea(widget);
    return copy;
}

}  // namespace orvix
