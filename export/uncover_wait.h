// Waiting until the screen shows a widget again where windows of this program covered it.
// A closed dialog is not gone from the screen at once: a window manager removes its frame when
// it gets round to it, and only then is the window below exposed and repainted. A copy of the
// screen taken before that shows the dialog.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>
#include <chrono>

class QWidget;
class QWindow;

namespace orvix {

class TUncoverWait final : public QObject {
  public:
    // Watches, from now on, the windows of this program that close over `widget`, and the
    // exposures of the widget's window by the window system.
    explicit TUncoverWait(QWidget& widget);
    ~TUncoverWait() override;
    TUncoverWait(const TUncoverWait&) = delete;
    TUncoverWait& operator=(const TUncoverWait&) = delete;

    // Returns once the screen shows the widget again wherever a window closed since the watch
    // began had covered it: that place exposed to the widget's window and repainted, or the
    // screen there showing what the window paints. Gives up after `limit` (a place another
    // program's window still covers, a screen that differs from the painting). Events other
    // than user input are handled meanwhile. At once where the screen cannot be copied.
    void Wait(std::chrono::milliseconds limit);

    // Where the widget is still waiting to be shown again, in screen coordinates.
    QRegion Pending() const { return pending_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool ScreenShowsWidget() const;
    QRect WidgetOnScreen() const;

    QPointer<QWidget> widget_;
    QPointer<QWindow> window_;  // the native window the widget is drawn in
    QRegion pending_;
};

}  // namespace orvix
