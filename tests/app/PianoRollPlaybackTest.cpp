// The playhead: while a song plays the roll polls the player's position and
// draws a line at its column over a tinted measure; Stop and the end of the
// song take it away, and a hidden roll does not poll.
#include "PianoRollFixture.h"

namespace tontoko::test {
namespace {

using namespace rollcolors;

class RollPlaybackTest : public PianoRollTest {
  protected:
    // The colour in the middle of an empty stretch of a measure's top row.
    QColor TopRow(const QImage& image, int measure) {
        return CellColour(image, measure * 16 + 13, Layout().Span().high - 1);
    }
    int RedColumnsAt(const QImage& image, int x) {
        const int y = Layout().Grid().y + 3;
        int n = 0;
        for (int dx = -3; dx <= 3; ++dx) {
            n += image.pixelColor(x + dx, y) == kPlayhead ? 1 : 0;
        }
        return n;
    }
};

TEST_F(RollPlaybackTest, TheLineFollowsThePlayersTickAndGoesAtStopAndAtTheEnd) {
    Create();
    Press("UD_Interval", true, 2);  // two beats before step 0
    PressCell(2, 2);                // C from step 20: a chord tone of IV
    OpenRoll();
    const QImage idle = Image();
    const int start = 2 * 96;
    player.tick = start + 21 * 24;  // step 21: measure 2
    Trigger("TB_Play");
    ASSERT_EQ(player.Count("Play"), 1);
    EXPECT_TRUE(Roll()->Polling());
    ASSERT_TRUE(View()->Playhead());
    EXPECT_DOUBLE_EQ(*View()->Playhead(), 21.0);
    QImage image = Image();
    const int x = Layout().PositionX(21.0);
    EXPECT_EQ(x, Layout().StepX(21));
    EXPECT_GT(RedColumnsAt(image, x), 0);
    EXPECT_EQ(RedColumnsAt(idle, x), 0);
    // The measure under the line is tinted, the others are not.
    EXPECT_NE(TopRow(image, 1), TopRow(idle, 1));
    EXPECT_EQ(TopRow(image, 0), TopRow(idle, 0));
    EXPECT_EQ(TopRow(image, 2), TopRow(idle, 2));
    // The notes keep the colours the legend gives them.
    EXPECT_EQ(CellColour(image, 25, 72), kChordTone);
    EXPECT_EQ(CellColour(image, 25, 72), CellColour(idle, 25, 72));

    // About thirty times a second the line moves on.
    player.tick = start + 50 * 24 + 12;
    EXPECT_TRUE(QTest::qWaitFor([&] { return View()->Playhead() == 50.5; }, 1000));
    image = Image();
    EXPECT_GT(RedColumnsAt(image, Layout().PositionX(50.5)), 0);
    EXPECT_EQ(RedColumnsAt(image, x), 0);
    EXPECT_EQ(TopRow(image, 1), TopRow(idle, 1));
    EXPECT_NE(TopRow(image, 3), TopRow(idle, 3));

    Trigger("TB_Stop");
    EXPECT_FALSE(View()->Playhead());
    EXPECT_FALSE(Roll()->Polling());
    EXPECT_EQ(Image(), idle);
    player.notify();
    EXPECT_FALSE(View()->Playhead());

    // Played again to the end: the notification takes the line away.
    player.tick = start + 5 * 24;
    Trigger("TB_Play");
    EXPECT_DOUBLE_EQ(*View()->Playhead(), 5.0);
    player.notify();
    EXPECT_FALSE(View()->Playhead());
    EXPECT_FALSE(Roll()->Polling());
    EXPECT_EQ(Image(), idle);
}

TEST_F(RollPlaybackTest, OnlyAVisibleRollPollsAndTheCountInStaysBeforeStepZero) {
    Create();
    Press("UD_Interval", true, 1);
    player.tick = 48;  // half way through the one-beat interval
    Trigger("TB_Play");
    EXPECT_FALSE(Roll()->Polling());  // the roll is not open
    OpenRoll();
    EXPECT_TRUE(Roll()->Polling());
    ASSERT_TRUE(View()->Playhead());
    EXPECT_DOUBLE_EQ(*View()->Playhead(), -2.0);
    const QImage image = Image();
    EXPECT_GT(RedColumnsAt(image, Layout().StepX(0)), 0);
    // No measure is tinted before the song starts.
    const int top = Layout().Span().high - 1;
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(CellColour(image, m * 16 + 13, top), RowColour(m * 16 + 13, top)) << m;
    }
    Roll()->close();
    EXPECT_FALSE(Roll()->Polling());
    // The player no longer plays: it says -1, and the line goes.
    player.tick = -1;
    OpenRoll();
    EXPECT_TRUE(Roll()->Polling());
    EXPECT_FALSE(View()->Playhead());
    player.notify();
    EXPECT_FALSE(Roll()->Polling());
}

}  // namespace
}  // namespace tontoko::test
