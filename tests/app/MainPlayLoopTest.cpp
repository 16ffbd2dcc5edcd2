// Play from the part shown, and the loop: the player is given the song's
// range from the part's first tick, the lead-in once; the play menu and the
// loop button; the roll's playhead follows a wrap.
#include <QMenuBar>
#include <QToolBar>

#include "PianoRollFixture.h"
#include "render/PlayRange.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class PlayLoopTest : public PianoRollTest {
  protected:
    // The song grows to `parts` parts (copies of the first) and shows `shown`.
    void Parts(int parts, int shown) {
        SongState state = window->Document().Snapshot();
        state.partCount = uint8_t(parts);
        std::fill(state.parts.begin() + 1, state.parts.end(), state.parts[0]);
        window->Document().Restore(state);
        window->Document().SetPosition(shown);
    }
    void Notify() {
        ASSERT_TRUE(player.notify);
        player.notify();
    }
};

TEST_F(PlayLoopTest, PlayStartsAtTheFirstTickOfThePartShownAfterTheLeadIn) {
    Create();
    Press("UD_Interval", true, 2);
    Parts(3, 2);
    Trigger("TB_Play");
    ASSERT_EQ(player.ranges.size(), 1u);
    const PlayRange range = player.ranges[0];
    EXPECT_EQ(range, (PlayRange{192, 192 + 2 * 1536, 192 + 3 * 1536}));
    EXPECT_EQ(player.loops, std::vector<bool>{false});
    // "tmp.mid" is the whole song: the lead-in once at its start, the first
    // part's notes right after it, the last note-offs at the range's end.
    const std::vector<MidiEvent> events = ParseEvents(player.played.at(0));
    ASSERT_FALSE(events.empty());
    const auto first = std::find_if(events.begin(), events.end(),
                                    [](const MidiEvent& e) { return (e.status & 0xF0) == 0x90; });
    ASSERT_NE(first, events.end());
    EXPECT_EQ(first->tick, range.leadInEnd);
    EXPECT_EQ(events.back().tick, range.end);
    Notify();

    // The play menu plays the same way, from the part now shown.
    window->Document().SetPosition(1);
    Trigger("MI_Play");
    EXPECT_EQ(player.Count("Play"), 2);
    EXPECT_EQ(player.ranges.back().start, 192 + 1536);
    Trigger("MI_Play");  // ignored while playing, as TB_Play is
    EXPECT_EQ(player.Count("Play"), 2);
    Trigger("MI_Stop");
    EXPECT_EQ(player.Count("Stop"), 1);
    Notify();
    EXPECT_EQ(player.calls.back(), "Close");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "tmp.mid"));
}

TEST_F(PlayLoopTest, AtThePartOneWithLoopOffPlayIsAsBefore) {
    Create();
    Trigger("TB_Play");
    EXPECT_EQ(player.calls, (std::vector<std::string>{"SetFileName tmp.mid", "Open", "Play"}));
    ASSERT_EQ(player.ranges.size(), 1u);
    // Nothing to skip: the file plays as it lies, once.
    EXPECT_EQ(player.ranges[0].start, player.ranges[0].leadInEnd);
    EXPECT_EQ(player.ranges[0].end, 1536);
    EXPECT_EQ(player.loops, std::vector<bool>{false});
}

TEST_F(PlayLoopTest, LoopIsOneSettingOfMenuAndButtonAndReachesTheRunningPlayback) {
    Create();
    auto* menu = Get<QAction>("MI_Loop");
    auto* button = Get<QAction>("TB_Loop");
    ASSERT_TRUE(menu->isCheckable());
    ASSERT_TRUE(button->isCheckable());
    EXPECT_FALSE(menu->isChecked());

    // Ctrl+L checks it, also with the focus on a grid, and the button shows it.
    QApplication::setActiveWindow(window.get());
    PressCell(1, 0);
    ASSERT_TRUE(Grid("Melody", 1)->hasFocus());
    QTest::keyClick(Grid("Melody", 1), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(menu->isChecked());
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(player.loops.empty()) << "nothing plays: nothing to tell";
    Trigger("TB_Play");
    EXPECT_EQ(player.loops, std::vector<bool>{true});

    // The button, during the playback: both change, the player at once.
    QTest::mouseClick(Get<QToolBar>("TB")->widgetForAction(button), Qt::LeftButton);
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(menu->isChecked());
    EXPECT_EQ(player.loops, (std::vector<bool>{true, false}));
    menu->trigger();
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(player.loops, (std::vector<bool>{true, false, true}));

    // Stop and the cleanup work as without the loop; the setting stays.
    Trigger("TB_Stop");
    Notify();
    EXPECT_EQ(player.calls.back(), "Close");
    EXPECT_TRUE(menu->isChecked());
    Trigger("TB_Play");
    EXPECT_EQ(player.loops.back(), true);
}

TEST_F(PlayLoopTest, ThePlayMenuFollowsTheViewMenuAndLoopSitsAfterStop) {
    Create();
    QStringList menus;
    for (QAction* entry : window->menuBar()->actions()) {
        menus << entry->menu()->objectName();
    }
    EXPECT_EQ(menus,
              QStringList({"MM_File", "MM_Edit", "MM_Custom", "MM_View", "MM_Play", "MM_Help"}));
    EXPECT_EQ(Get<QMenu>("MM_Play")->title(), U("演奏(&P)"));
    QStringList items;
    for (QAction* item : Get<QMenu>("MM_Play")->actions()) {
        items << item->objectName() + "|" + item->text() + "|" + item->shortcut().toString();
    }
    EXPECT_EQ(items, QStringList({U("MI_Play|演奏(&P)|"), U("MI_Stop|停止(&S)|"),
                                  U("MI_Loop|くりかえし演奏(&L)|Ctrl+L")}));
    // Ctrl+L is no other command's.
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->objectName() != "MI_Loop") {
            EXPECT_FALSE(action->shortcuts().contains(QKeySequence("Ctrl+L")))
                << action->objectName().toStdString();
        }
    }

    const QList<QAction*> bar = Get<QToolBar>("TB")->actions();
    const qsizetype stop = bar.indexOf(Get<QAction>("TB_Stop"));
    ASSERT_GE(stop, 0);
    ASSERT_LT(stop + 1, bar.size());
    QAction* loop = bar[stop + 1];
    EXPECT_EQ(loop->objectName(), "TB_Loop");
    EXPECT_EQ(loop->toolTip(), U("くりかえし演奏"));
    const QPixmap picture = loop->icon().pixmap(16, 16);
    ASSERT_FALSE(picture.isNull());
    // A picture, not an empty square, and the same when disabled, as the
    // play and stop buttons are.
    const QImage image = picture.toImage();
    int drawn = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            drawn += image.pixelColor(x, y).alpha() > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 40);
    EXPECT_EQ(loop->icon().pixmap(16, 16, QIcon::Disabled).toImage(), image);
}

TEST_F(PlayLoopTest, ThePlayheadFollowsTheWrapBackToThePartPlayedFrom) {
    Create();
    Press("UD_Interval", true, 1);
    Parts(2, 1);
    OpenRoll();
    Trigger("MI_Loop");
    player.tick = 96 + 1536 + 5 * 24;  // step 5 of the second part
    Trigger("TB_Play");
    const PlayRange range = player.ranges.at(0);
    ASSERT_TRUE(View()->Playhead());
    EXPECT_DOUBLE_EQ(*View()->Playhead(), 64 + 5);
    // The last tick of the song, then the wrap to the part's first tick.
    player.tick = range.end - 1;
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return View()->Playhead() == (range.end - 1 - 96) / 24.0; }, 1000));
    player.tick = range.start - 1;
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return View()->Playhead() == (range.start - 1 - 96) / 24.0; }, 1000));
    player.tick = range.start + 24;
    EXPECT_TRUE(QTest::qWaitFor([&] { return View()->Playhead() == 65.0; }, 1000));
}

}  // namespace
}  // namespace tontoko::test
