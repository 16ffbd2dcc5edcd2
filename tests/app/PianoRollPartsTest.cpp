// The roll of a song of several parts: every part drawn at its place in the
// song, the part shown framed and scrolled into view, presses in another part
// only showing it, right presses anywhere in a column, the keyboard cursor
// crossing parts and the playhead over the whole song.
#include <QScrollBar>
#include <QUndoStack>

#include "PianoRollFixture.h"
#include "widgets/UpDown.h"

namespace tontoko::test {
namespace {

using namespace rollcolors;

class RollPartsTest : public PianoRollTest {
  protected:
    QUndoStack* Stack() { return window->findChild<QUndoStack*>(QStringLiteral("UndoStack")); }
    int Position() { return Get<UpDown>("UD_MPos")->Position(); }
    // A song of `parts` empty parts, showing the last.
    void Parts(int parts) {
        Create();
        for (int p = 1; p < parts; ++p) {
            Click("B_PartAdd");
        }
        ASSERT_EQ(Position(), parts - 1);
    }
    void ShowPart(int part) {
        const int now = Position();
        Press("UD_MPos", part > now, std::abs(part - now));
        ASSERT_EQ(Position(), part);
    }
    // Whether every column of the part shows in the view.
    bool PartVisible(int part) {
        const RollRect grid = Layout().Grid();
        return Layout().StepX(part * kSongSteps) >= grid.x &&
               Layout().StepX((part + 1) * kSongSteps) <= grid.Right();
    }
    // A pixel of the measure-number strip near the right end of a measure.
    QColor NumberBand(const QImage& image, int measure) {
        const RollRect m = Layout().MeasureRect(measure);
        return image.pixelColor(m.Right() - 6, Layout().MeasureNumbers().y + 3);
    }
    void PressAt(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(View(), button, {}, at);
        QTest::mouseRelease(View(), button, {}, at);
    }
    // Whether a colour lies within two pixels of x, on a line at y.
    static bool Near(const QImage& image, int x, int y, const QColor& colour) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (image.pixelColor(x + dx, y) == colour) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(RollPartsTest, EveryPartIsDrawnAtItsPlaceInTheSong) {
    Parts(4);
    // In part p a C (72) in measure 1, column 2p: a chord tone of I.
    for (int p = 0; p < 4; ++p) {
        ShowPart(p);
        PressCell(1, 2 * p);
    }
    OpenRoll();
    const RollSong& song = View()->Song();
    EXPECT_EQ(song.partCount, 4);
    EXPECT_EQ(song.shownPart, 3);
    ASSERT_EQ(song.notes.size(), 4u);
    const PianoRollLayout& layout = Layout();
    EXPECT_EQ(layout.Steps(), 256);
    // A measure keeps a readable width; the song scrolls.
    EXPECT_EQ(layout.SongWidth(), 16 * PianoRollLayout::kMinMeasureWidth);
    EXPECT_TRUE(layout.Scrolls());
    EXPECT_TRUE(View()->ScrollBar()->isVisible());

    // The whole song, as saved: each note's bar starts at x = its song
    // step's share of the song's width, where the note before ends with a
    // pixel of air.
    const QImage whole = View()->Picture();
    EXPECT_EQ(whole.width(), layout.Width() + layout.MaxScroll());
    const PianoRollLayout unscrolled = PianoRollLayout::WholeSong(layout);
    const int left = layout.Grid().x;
    const int y = (unscrolled.RowTop(72) + unscrolled.RowTop(71)) / 2;
    for (int p = 0; p < 4; ++p) {
        const int step = p * kSongSteps + 4 * p;
        EXPECT_EQ(song.notes[size_t(p)].step, step);
        const int x = left + step * layout.SongWidth() / layout.Steps();
        EXPECT_NE(whole.pixelColor(x - 1, y), kChordTone) << p;
        EXPECT_NE(whole.pixelColor(x, y), kChordTone) << p;
        EXPECT_EQ(whole.pixelColor(x + 28, y), kChordTone) << p;
    }
    // The view, scrolled to the part shown, draws its note there too.
    const int step = 3 * kSongSteps + 12;
    EXPECT_EQ(layout.StepX(step), left + step * 8 - View()->Scroll());
    EXPECT_EQ(CellColour(Image(), step + 3, 72), kChordTone);
    // The measures are numbered through the song; every part's chords show.
    EXPECT_EQ(song.chords.size(), 32u);
    EXPECT_EQ(song.chords[2 * 13 + 1].degree, 4);  // measure 14, as measure 2
}

TEST_F(RollPartsTest, APressInAnotherPartShowsItAndPlacesNothing) {
    Parts(4);
    OpenRoll();
    ASSERT_TRUE(PartVisible(3));
    const int steps = Stack()->count();
    // Part 3 shows in the left of the view: a left press on its cells.
    const RollRect grid = Layout().Grid();
    const int step = Layout().StepAt(grid.x + 20);
    ASSERT_EQ(RollSong::PartOf(step), 2);
    RollPress(step, 72);
    EXPECT_EQ(Position(), 2);
    EXPECT_EQ(View()->Song().shownPart, 2);
    EXPECT_TRUE(View()->Song().notes.empty());
    EXPECT_EQ(Stack()->count(), steps);
    EXPECT_EQ(View()->Selection(), std::nullopt);
    EXPECT_TRUE(PartVisible(2));
    // A right press, and a press on another part's measure number, as well.
    const int right = Layout().StepAt(grid.Right() - 20);
    ASSERT_EQ(RollSong::PartOf(right), 3);
    RollPress(right, 60, Qt::RightButton);
    EXPECT_EQ(Position(), 3);
    const RollRect numbers = Layout().MeasureNumbers();
    PressAt({grid.x + 10, numbers.y + numbers.h / 2});
    EXPECT_EQ(Position(), 2);
    EXPECT_EQ(Stack()->count(), steps);

    // In the part shown a press edits, at the part's own step.
    RollPress(2 * kSongSteps + 20, 72);
    EXPECT_EQ(Stack()->count(), steps + 1);
    EXPECT_EQ(Stack()->text(Stack()->count() - 1), QStringLiteral("ピアノロール"));
    EXPECT_EQ(Name(2, 2), QStringLiteral("ド"));
    ASSERT_EQ(View()->Song().notes.size(), 1u);
    EXPECT_EQ(View()->Song().notes[0].step, 2 * kSongSteps + 20);
}

TEST_F(RollPartsTest, ARightPressAnywhereInAColumnRemovesItsNote) {
    Parts(2);
    PressCell(1, 2);  // C at step 4 of the second part...
    PressCell(3, 0);  // ...until another from its measure 3
    OpenRoll();
    ASSERT_EQ(View()->Song().notes.size(), 2u);
    const int steps = Stack()->count();
    // In the tail of the first note, far below its row: it goes, as one step.
    RollPress(kSongSteps + 21, 60, Qt::RightButton);
    EXPECT_EQ(Stack()->count(), steps + 1);
    EXPECT_EQ(Stack()->text(Stack()->count() - 1), QStringLiteral("5小節目のメロディ"));
    ASSERT_EQ(View()->Song().notes.size(), 1u);
    EXPECT_EQ(View()->Song().notes[0].step, kSongSteps + 32);
    EXPECT_EQ(Name(1, 2), QString());
    // Where nothing sounds now, nothing happens, in any row.
    for (int pitch : {60, 72, 84}) {
        RollPress(kSongSteps + 4, pitch, Qt::RightButton);
    }
    EXPECT_EQ(Stack()->count(), steps + 1);
    // On the note's own start, above it.
    RollPress(kSongSteps + 32, 80, Qt::RightButton);
    EXPECT_TRUE(View()->Song().notes.empty());
    EXPECT_EQ(Stack()->count(), steps + 2);
    // Undo brings it back in one step.
    Trigger("MI_Undo");
    EXPECT_EQ(View()->Song().notes.size(), 1u);

    // A note of the part before, sounding on into the part shown, is that
    // part's: a right press here leaves it.
    ClearAllMeasures();
    ShowPart(0);
    PressCell(4, 7);  // from step 62, on into part 2
    ShowPart(1);
    const int before = Stack()->count();
    RollPress(kSongSteps + 2, 72, Qt::RightButton);
    EXPECT_EQ(View()->Song().notes.size(), 1u);
    EXPECT_EQ(Stack()->count(), before);
}

TEST_F(RollPartsTest, ThePartShownIsMarkedAndScrolledIntoView) {
    Parts(4);
    OpenRoll();
    ASSERT_TRUE(PartVisible(3));
    QImage image = Image();
    EXPECT_EQ(NumberBand(image, 13), kShownPartBand);
    EXPECT_EQ(NumberBand(image, 11), kHeader);
    EXPECT_TRUE(
        Near(image, Layout().StepX(3 * kSongSteps) + 1, Layout().Grid().y + 40, kShownPart));
    EXPECT_FALSE(
        Near(image, Layout().StepX(2 * kSongSteps + 32), Layout().Grid().y + 40, kShownPart));

    ShowPart(0);
    EXPECT_EQ(View()->Scroll(), 0);
    EXPECT_TRUE(PartVisible(0));
    image = Image();
    EXPECT_EQ(NumberBand(image, 0), kShownPartBand);
    EXPECT_EQ(NumberBand(image, 3), kShownPartBand);
    EXPECT_EQ(NumberBand(image, 4), kHeader);
    ShowPart(2);
    EXPECT_TRUE(PartVisible(2));
    EXPECT_EQ(NumberBand(Image(), 9), kShownPartBand);

    // The scroll bar moves the view; the part stays marked where it is.
    View()->ScrollBar()->setValue(0);
    EXPECT_EQ(View()->Scroll(), 0);
    EXPECT_FALSE(PartVisible(2));
    EXPECT_EQ(NumberBand(Image(), 0), kHeader);
    // An added part is shown, and undoing brings back the part it concerns.
    Click("B_PartAdd");
    EXPECT_EQ(Position(), 3);
    EXPECT_TRUE(PartVisible(3));
    View()->ScrollBar()->setValue(0);
    Trigger("MI_Undo");
    EXPECT_TRUE(PartVisible(Position()));
    Click("B_PartDelete");
    EXPECT_TRUE(PartVisible(Position()));
}

TEST_F(RollPartsTest, ASongOfOnePartNeitherScrollsNorMarksItsPart) {
    Create();
    OpenRoll();
    EXPECT_FALSE(Layout().Scrolls());
    EXPECT_FALSE(View()->ScrollBar()->isVisible());
    EXPECT_EQ(Layout().SongWidth(), Layout().Grid().w);
    const QImage image = Image();
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(NumberBand(image, m), kHeader) << m;
    }
    EXPECT_EQ(View()->Picture().size(), View()->size());
    // The widest window still shows four measures whole.
    Roll()->resize(1600, 470);
    QCoreApplication::processEvents();
    EXPECT_EQ(Layout().StepX(64), Layout().Grid().Right());
}

TEST_F(RollPartsTest, TheKeyboardCursorCrossesIntoTheNextPartAndShowsIt) {
    Parts(2);
    ShowPart(0);
    OpenRoll();
    View()->setFocus();
    ASSERT_EQ(View()->Cursor().step, 0);
    for (int i = 0; i < 31; ++i) {
        QTest::keyClick(View(), Qt::Key_Right);
    }
    EXPECT_EQ(View()->Cursor().step, 62);
    EXPECT_EQ(Position(), 0);
    const int steps = Stack()->count();
    QTest::keyClick(View(), Qt::Key_Right);
    EXPECT_EQ(View()->Cursor().step, 64);
    EXPECT_EQ(Position(), 1);
    EXPECT_TRUE(PartVisible(1));
    EXPECT_EQ(Stack()->count(), steps);
    QTest::keyClick(View(), Qt::Key_Return);  // a note in the part now shown
    EXPECT_EQ(Name(1, 0), QStringLiteral("ド"));
    EXPECT_EQ(Stack()->count(), steps + 1);
    // Back over the border, and the position follows; the button moves the
    // cursor into the part it shows, at the same place.
    QTest::keyClick(View(), Qt::Key_Left);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(View()->Cursor().step, 62);
    ShowPart(1);
    EXPECT_EQ(View()->Cursor().step, 126);
}

TEST_F(RollPartsTest, ThePlayheadRunsThroughTheSongAndFollowsAWrap) {
    Parts(4);
    ShowPart(1);
    OpenRoll();
    ASSERT_TRUE(PartVisible(1));
    // Measure 14 of the whole file: the view turns to it.
    const int step = 13 * kStepsPerMeasure + 4;
    player.tick = step * kTicksPerStep;
    Trigger("TB_Play");
    ASSERT_TRUE(View()->Playhead());
    EXPECT_DOUBLE_EQ(*View()->Playhead(), step);
    const int x = Layout().PositionX(step);
    EXPECT_GE(x, Layout().Grid().x);
    EXPECT_LT(x, Layout().Grid().Right());
    EXPECT_TRUE(Near(Image(), x, Layout().Grid().y + 3, kPlayhead));
    // Looping back to part 2: the line and the view come round with it.
    player.tick = kSongSteps * kTicksPerStep + 12;
    EXPECT_TRUE(QTest::qWaitFor([&] { return View()->Playhead() == kSongSteps + 0.5; }, 1000));
    const int back = Layout().PositionX(kSongSteps + 0.5);
    EXPECT_GE(back, Layout().Grid().x);
    EXPECT_LT(back, Layout().Grid().Right());
    EXPECT_TRUE(Near(Image(), back, Layout().Grid().y + 3, kPlayhead));
    Trigger("TB_Stop");
}

}  // namespace
}  // namespace tontoko::test
