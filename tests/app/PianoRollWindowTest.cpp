// The roll as a window: hidden at start, opened from the menu, Ctrl+P and the
// tool bar, modeless beside the main window, keeping its place, closing with
// the main window; and its picture saved as PNG.
#include <QPointer>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "PianoRollFixture.h"

namespace tontoko::test {
namespace {

class RollWindowTest : public PianoRollTest {};

TEST_F(RollWindowTest, HiddenAtStartAndOpenedFromMenuShortcutAndButton) {
    Create();
    TSPianoRoll* roll = Roll();
    ASSERT_NE(roll, nullptr);
    EXPECT_FALSE(roll->isVisible());
    EXPECT_TRUE(roll->isWindow());
    EXPECT_FALSE(roll->isModal());
    EXPECT_EQ(roll->windowTitle(), QStringLiteral("ピアノロール"));
    EXPECT_EQ(Get<QAction>("MI_PianoRoll")->text(), QStringLiteral("ピアノロール(&P)"));
    auto* box = roll->findChild<QCheckBox*>(QStringLiteral("CB_RollAcc"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("伴奏も表示する"));
    auto* save = roll->findChild<QPushButton*>(QStringLiteral("B_RollSave"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("画像として保存"));

    Trigger("MI_PianoRoll");
    EXPECT_TRUE(roll->isVisible());
    roll->close();
    EXPECT_FALSE(roll->isVisible());

    QApplication::setActiveWindow(window.get());
    PressCell(1, 1);
    QTest::keyClick(Grid("Melody", 1), Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(roll->isVisible());
    roll->close();

    auto* bar = window->findChild<QToolBar*>(QStringLiteral("TB"));
    ASSERT_NE(bar, nullptr);
    QWidget* button = bar->widgetForAction(Get<QAction>("TB_PianoRoll"));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(roll->isVisible());
    // A second command while it is open keeps the one window.
    Trigger("MI_PianoRoll");
    EXPECT_EQ(window->findChildren<TSPianoRoll*>().size(), 1);
}

TEST_F(RollWindowTest, StaysOpenBesideTheMainWindowAndFollowsIt) {
    Create();
    OpenRoll();
    // The main window goes on being used: grids, chords, generation.
    QApplication::setActiveWindow(window.get());
    PressCell(3, 0);
    EXPECT_TRUE(Roll()->isVisible());
    ASSERT_EQ(View()->Song().notes.size(), 1u);
    EXPECT_EQ(View()->Song().notes[0].step, 32);
    Pick("CB_Four2", 6);
    EXPECT_EQ(View()->Song().chords[7].degree, 7);
    Click("B_CGenerate");
    Click("B_MGenerate");
    EXPECT_TRUE(Roll()->isVisible());
    EXPECT_GT(View()->Song().notes.size(), 4u);
    Click("RB_DMinor");
    EXPECT_EQ(View()->Song().mode, Mode::Minor);
}

TEST_F(RollWindowTest, KeepsItsSizeAndPlaceAndClosesWithTheMainWindow) {
    Create();
    OpenRoll();
    Roll()->setGeometry(QRect(130, 90, 640, 380));
    const QRect where = Roll()->geometry();
    Roll()->close();
    Trigger("TB_PianoRoll");
    EXPECT_EQ(Roll()->geometry(), where);
    // Larger, the picture scales with it.
    const int rowsHeight = Layout().Grid().h;
    Roll()->resize(700, 520);
    QCoreApplication::processEvents();
    EXPECT_GT(Layout().Grid().h, rowsHeight);
    EXPECT_EQ(Layout().Width(), View()->width());

    window->close();
    EXPECT_FALSE(Roll()->isVisible());
}

TEST_F(RollWindowTest, GoesWithTheMainWindowWhileASongPlays) {
    Create();
    OpenRoll();
    Click("CB_RollAcc");
    PressCell(1, 0);
    player.tick = 300;
    Trigger("TB_Play");
    ASSERT_TRUE(Roll()->Polling());
    QPointer<TSPianoRoll> roll = Roll();
    window.reset();
    EXPECT_TRUE(roll.isNull());
    EXPECT_EQ(player.Count("Stop"), 1);
}

TEST_F(RollWindowTest, SavesThePictureAsPng) {
    Create();
    Click("B_CGenerate");
    Click("B_MGenerate");
    OpenRoll();
    auto* save = Roll()->findChild<QPushButton*>(QStringLiteral("B_RollSave"));
    const QString file = QString::fromStdString(dir.File("song.png"));
    dialogs.next = file;
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].defaultSuffix, QStringLiteral("png"));
    EXPECT_TRUE(dialogs.requests[0].confirmOverwrite);
    EXPECT_TRUE(dialogs.requests[0].filter.endsWith(QStringLiteral("|*.png")));
    EXPECT_TRUE(messages.shown.empty());
    QImage saved;
    ASSERT_TRUE(saved.load(file, "PNG"));
    EXPECT_EQ(saved.size(), View()->size());
    // The picture without playhead or selection, as on screen.
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              Image().convertToFormat(QImage::Format_RGB32));

    // Cancelled: nothing written, nothing said.
    dialogs.next.reset();
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_TRUE(messages.shown.empty());

    // A folder that does not exist: a message naming the file, in Japanese.
    const QString bad = QString::fromStdString(dir.File("missing/song.png"));
    dialogs.next = bad;
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("画像を書き込めませんでした")));
    EXPECT_TRUE(messages.shown[0].text.contains(bad));
    EXPECT_FALSE(QFile::exists(bad));
}

}  // namespace
}  // namespace tontoko::test
