#include <gtest/gtest.h>

#include "app/WindowPlacement.h"

namespace tontoko {
namespace {

TEST(WindowPlacement, KeptWhereItFitsMovedNotShrunkWhereItDoesNot) {
    const QRect window(104, 102, 750, 578);
    EXPECT_EQ(PlaceInside(window, QRect(0, 0, 1024, 768)), QPoint(104, 102));
    EXPECT_EQ(PlaceInside(window, QRect(0, 0, 854, 680)), QPoint(104, 102));  // exactly fits
    EXPECT_EQ(PlaceInside(window, QRect(0, 0, 800, 600)), QPoint(50, 22));
    // A panel at the top and left of the screen.
    EXPECT_EQ(PlaceInside(window, QRect(120, 30, 900, 700)), QPoint(120, 102));
    // A second screen to the right: the window stays inside that one.
    EXPECT_EQ(PlaceInside(QRect(1900, 102, 750, 578), QRect(1280, 0, 1024, 768)),
              QPoint(1554, 102));
    // Larger than the screen: its top-left corner stays on the screen.
    EXPECT_EQ(PlaceInside(window, QRect(0, 0, 640, 480)), QPoint(0, 0));
}

}  // namespace
}  // namespace tontoko
