#include "uncover_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "screen_snapshot.h"

namespace orvix {
namespace {

// The part of the window the window system asks to be shown again, in window coordinates.
QRegion ExposedRegion(const QExposeEvent& event) {
    // The toolkit marks the accessor for removal in favour of paint events, which a window
    // with a backing store does not get for an exposure; nothing else tells where it is.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return event.region();
    QT_WARNING_POP
}

}  // namespace

TUncoverWait::TUncoverWait(QWidget& widget)
    : widget_(&widget), window_(widget.window()->windowHandle()) {
    QCoreApplication::instance()->installEventFilter(this);
}

TUncoverWait::~TUncoverWait() {
    QCoreApplication::instance()->removeEventFilter(this);
}

QRect TUncoverWait::WidgetOnScreen() const {
    return widget_ ? QRect(widget_->mapToGlobal(QPoint(0, 0)), widget_->size()) : QRect();
}

bool TUncoverWait::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && widget_) {
        // A window of ours closes: where it lay over the widget, frame included, the screen
        // shows the widget again only once the window below has been exposed and repainted.
        auto* closing = qobject_cast<QWidget*>(watched);
        if (closing && closing->isWindow() && closing != widget_->window() &&
            !closing->testAttribute(Qt::WA_DontShowOnScreen))
            pending_ += QRegion(closing->frameGeometry()) & WidgetOnScreen();
    } else if (event->type() == QEvent::Expose && watched == window_ && widget_) {
        // Handled right after this filter: the window puts its painting there on the screen.
        const QPoint origin = widget_->window()->mapToGlobal(QPoint(0, 0));
        pending_ -= ExposedRegion(*static_cast<QExposeEvent*>(event)).translated(origin);
    }
    return false;
}

bool TUncoverWait::ScreenShowsWidget() const {
    if (!widget_) return true;
    const QRect place = WidgetOnScreen();
    const QRect area = pending_.boundingRect();
    const QImage screen = CaptureScreenRect(area);
    const QImage painted = RenderClientArea(*widget_);
    if (screen.isNull()) return false;
    for (const QRect& part : pending_) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            for (int x = part.left(); x <= part.right(); ++x) {
                const QRgb shown = screen.pixel(x - area.left(), y - area.top());
                const QRgb drawn = painted.pixel(x - place.left(), y - place.top());
                if (qRed(shown) != qRed(drawn) || qGreen(shown) != qGreen(drawn) ||
                    qBlue(shown) != qBlue(drawn))
                    return false;
            }
        }
    }
    return true;
}

void TUncoverWait::Wait(std::chrono::milliseconds limit) {
    if (!ScreenCanBeCopied()) return;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // What the window system has sent so far, then its answer to everything asked so far.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QGuiApplication::sync();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (pending_.isEmpty() || ScreenShowsWidget() || clock.elapsed() >= limit.count()) return;
        // A moment for the window manager, handling what arrives meanwhile.
        QEventLoop pause;
        QTimer::singleShot(10, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace orvix
