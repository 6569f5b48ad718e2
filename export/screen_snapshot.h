// Copies of what the screen shows: the pixels of a desktop rectangle, and a widget's client
// area as displayed, for saving a chart as a picture.
#pragma once

#include <QImage>
#include <QRect>

class QWidget;

namespace orvix {

// The desktop's pixels inside `rect` (screen coordinates), overlapping windows included, as an
// image of the rectangle's size; parts on no screen stay black. A null image where the
// platform cannot read the screen (offscreen, Wayland) or the rectangle lies on no screen.
QImage CaptureScreenRect(const QRect& rect);

// Whether this platform's screen is the desktop the user sees and can be copied (not on the
// offscreen platform or under Wayland).
bool ScreenCanBeCopied();

// What the window paints at the place of `widget`'s client area, at its size: the widget in
// front at that place (the widget itself or a sibling covering it), children included.
QImage RenderClientArea(QWidget& widget);

// What the screen shows over the client area of `widget`: CaptureScreenRect of that area.
// Where the screen cannot be read, RenderClientArea.
QImage CaptureClientArea(QWidget& widget);

}  // namespace orvix
