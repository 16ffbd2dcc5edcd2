#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace tontoko {

namespace {
int Fit(int start, int length, int areaStart, int areaLength) {
    const int end = std::min(start + length, areaStart + areaLength);
    return std::max(end - length, areaStart);
}
}  // namespace

QPoint PlaceInside(const QRect& frame, const QRect& available) {
    if (available.isEmpty()) {
        return frame.topLeft();
    }
    return {Fit(frame.x(), frame.width(), available.x(), available.width()),
            Fit(frame.y(), frame.height(), available.y(), available.height())};
}

QPoint PlaceOnScreen(const QRect& frame) {
    QScreen* screen = QGuiApplication::screenAt(frame.topLeft());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? PlaceInside(frame, screen->availableGeometry()) : frame.topLeft();
}

}  // namespace tontoko
