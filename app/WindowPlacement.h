#pragma once

#include <QPoint>
#include <QRect>

namespace tontoko {

// The top-left corner for a window whose outer frame is `frame`: where asked
// when the frame fits inside `available`, otherwise moved (never shrunk) so
// that it lies inside, its top-left corner kept on screen when it is larger.
QPoint PlaceInside(const QRect& frame, const QRect& available);

// The same on the available area of the screen that holds the frame's
// top-left corner (or the primary screen).
QPoint PlaceOnScreen(const QRect& frame);

}  // namespace tontoko
