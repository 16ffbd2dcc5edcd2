// Editing in the roll goes through the grids' own operations: the onsets, the
// pitches, the grid cells and the saved file come out as after the equivalent
// grid presses.
#include "PianoRollFixture.h"

namespace tontoko::test {
namespace {

class RollEditTest : public PianoRollTest {
  protected:
    std::vector<std::pair<QString, QString>> Cells() {
        std::vector<std::pair<QString, QString>> cells;
        for (int m = 1; m <= 4; ++m) {
            for (int c = 0; c < 8; ++c) {
                cells.emplace_back(Name(m, c), Octave(m, c));
            }
        }
        return cells;
    }
    void Presses(int measure, int column, Qt::MouseButton button, int times) {
        for (int i = 0; i < times; ++i) {
            PressCell(measure, column, button);
        }
    }
    void DeleteKey(int measure) { QTest::keyClick(Grid("Melody", measure), Qt::Key_Delete); }
    // Fixes every measure and generates: the melody stays, the grids are
    // refreshed from the song.
    void RefreshThroughGeneration() {
        for (int m = 1; m <= 4; ++m) {
            Click(("Fix_Rhythm" + std::to_string(m)).c_str());
            Click(("Fix_Melody" + std::to_string(m)).c_str());
        }
        Click("B_MGenerate");
    }
};

TEST_F(RollEditTest, PressDragAndDeleteEqualTheGridPresses) {
    Create();
    OpenRoll();
    ASSERT_EQ(Layout().Span().low, 60);
    RollPress(4, 76);               // a new E at measure 1, column 2
    RollPress(20, 66);              // the F# row gives F (65), measure 2, column 2
    RollDrag(4, 76, {77, 78, 79});  // up through the key: F, (F# row: F), G
    EXPECT_EQ(View()->Selection(), 4);
    RollPress(5, 74);                         // a press in the note's column moves it: D
    RollPress(40, 72);                        // a new C in measure 3...
    RollPress(40, 72, Qt::RightButton);       // ...removed by a right press
    RollPress(50, 69);                        // a new A in measure 4...
    QTest::keyClick(View(), Qt::Key_Delete);  // ...removed by Delete
    // A press on the tail of a long note selects it and changes nothing.
    RollPress(30, 65);
    EXPECT_EQ(View()->Selection(), 20);

    const auto rollCells = Cells();
    EXPECT_EQ(rollCells[2], std::make_pair(QStringLiteral("レ"), QStringLiteral("0")));
    EXPECT_EQ(rollCells[8 + 2], std::make_pair(QStringLiteral("ﾌｧ"), QStringLiteral("-1")));
    Save();
    const QByteArray rollBytes = Save();
    const auto melody = NotesOn(rollBytes, 4);
    ASSERT_EQ(melody.size(), 2u);
    EXPECT_EQ(melody[0].tick, 4 * 24);
    EXPECT_EQ(melody[0].data1, 74);
    EXPECT_EQ(melody[1].tick, 20 * 24);
    EXPECT_EQ(melody[1].data1, 65);

    ClearAllMeasures();
    EXPECT_TRUE(View()->Song().notes.empty());
    PressCell(1, 2);  // 72
    Presses(1, 2, Qt::RightButton, 4);
    PressCell(2, 2);
    Presses(2, 2, Qt::LeftButton, 7);
    Presses(1, 2, Qt::RightButton, 3);
    Presses(1, 2, Qt::LeftButton, 5);
    PressCell(3, 4);
    DeleteKey(3);
    PressCell(4, 1);
    DeleteKey(4);
    EXPECT_EQ(Cells(), rollCells);
    EXPECT_EQ(Save(), rollBytes);
}

TEST_F(RollEditTest, TheGridsShowWhatTheirRefreshShowsInAMovedKey) {
    Create();
    Click("RB_DSelf");
    Press("UD_Dur", true, 2);  // D major
    OpenRoll();
    RollPress(0, 74);        // D, "ド" of octave 0
    RollPress(18, 71);       // B, "ラ" of octave -1
    RollPress(36, 80);       // the G# row gives G
    RollDrag(36, 80, {84});  // the C row gives B: up through A to B
    EXPECT_EQ(Name(1, 0), QStringLiteral("ド"));
    EXPECT_EQ(Octave(1, 0), QStringLiteral("0"));
    EXPECT_EQ(Name(2, 1), QStringLiteral("ラ"));
    EXPECT_EQ(Octave(2, 1), QStringLiteral("-1"));
    EXPECT_EQ(Name(3, 2), QStringLiteral("ラ"));
    EXPECT_EQ(Octave(3, 2), QStringLiteral("0"));
    const auto shown = Cells();
    Save();
    const QByteArray before = Save();
    RefreshThroughGeneration();
    EXPECT_EQ(Cells(), shown);
    EXPECT_EQ(Save(), before);
}

TEST_F(RollEditTest, TheRollFollowsGridEditsAndIgnoresOffBeatNotes) {
    Create();
    OpenRoll();
    PressCell(2, 3);  // 72 at step 22
    ASSERT_EQ(View()->Song().notes.size(), 1u);
    EXPECT_EQ(View()->Song().notes[0].step, 22);
    EXPECT_EQ(View()->Song().notes[0].pitch, 72);
    PressCell(2, 3);
    EXPECT_EQ(View()->Song().notes[0].pitch, 71);
    DeleteKey(2);
    EXPECT_TRUE(View()->Song().notes.empty());

    // Presses outside the rows or columns do nothing.
    const RollRect grid = Layout().Grid();
    QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(grid.x - 5, grid.y + 10));
    QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(grid.x + 10, grid.y - 5));
    EXPECT_TRUE(View()->Song().notes.empty());
    // A right press on an empty cell removes nothing and creates nothing.
    RollPress(10, 70, Qt::RightButton);
    EXPECT_TRUE(View()->Song().notes.empty());
    // An odd step of a press lands on its eighth-note cell.
    RollPress(13, 67);
    ASSERT_EQ(View()->Song().notes.size(), 1u);
    EXPECT_EQ(View()->Song().notes[0].step, 12);
    EXPECT_EQ(Name(1, 6), QStringLiteral("ソ"));
}

}  // namespace
}  // namespace tontoko::test
