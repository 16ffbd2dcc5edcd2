// The main window on a screen smaller than its designed place: it is moved
// into the screen, never shrunk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>

#include "../app/MainFixture.h"

namespace tontoko::test {
namespace {

class SmallScreenTest : public MainWindowTest {};

TEST_F(SmallScreenTest, TheWindowIsMovedIntoTheScreenAtItsFullSize) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 600));
    Create();
    // Once shown, the frame is taken off the inside so the outside keeps its size.
    QCoreApplication::processEvents();
    EXPECT_EQ(window->frameGeometry(), QRect(50, 22, 750, 578));
}

}  // namespace
}  // namespace tontoko::test

int main(int argc, char** argv) {
    // An 800 x 600 screen, whatever the test runner asked for.
    const QByteArray platform =
        "offscreen:configfile=" TONTOKO_SOURCE_DIR "/tests/support/screen-small.json";
    qputenv("QT_QPA_PLATFORM", platform);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
