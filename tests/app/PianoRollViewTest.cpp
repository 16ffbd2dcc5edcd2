// The picture of the roll, read back from an offscreen rendering: bars at the
// cells the layout gives and nowhere else, colours by chord, tints that follow
// the chord selectors, locks, the legend and the accompaniment view.
#include <QPaintEvent>
#include <functional>

#include "PianoRollFixture.h"

namespace tontoko::test {
namespace {

using namespace rollcolors;

// Counts the pixels of one colour inside a rectangle.
int Count(const QImage& image, const RollRect& r, const QColor& colour) {
    int n = 0;
    for (int y = r.y; y < r.Bottom(); ++y) {
        for (int x = r.x; x < r.Right(); ++x) {
            n += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

class RollPictureTest : public PianoRollTest {
  protected:
    // C (72) on the first beat, B (71) from the third beat to the end.
    void TwoNotes() {
        Create();
        PressCell(1, 0);
        PressCell(1, 4);
        PressCell(1, 4);
        OpenRoll();
    }
};

TEST_F(RollPictureTest, BarsLieInTheirCellsAndNowhereElse) {
    TwoNotes();
    const QImage image = Image();
    const PianoRollLayout& layout = Layout();
    EXPECT_EQ(layout.Span().low, 60);  // octaves -1 and 0
    EXPECT_EQ(layout.Span().high, 84);

    // C against chord I: a chord tone, over steps 0..7 of its row.
    for (int step : {3, 5, 7}) {
        EXPECT_EQ(CellColour(image, step, 72), kChordTone) << step;
    }
    EXPECT_EQ(CellColour(image, 8, 72), kChordRow);    // after its end: the tinted row
    EXPECT_EQ(CellColour(image, 4, 73), kBackground);  // above: C#, out of the key
    // Below it B, which starts only at step 8.
    EXPECT_EQ(CellColour(image, 4, 71), kScaleRow);

    // B sounds to the end of the song and is judged under each chord:
    // a semitone from C in I and IV, the third of V.
    EXPECT_EQ(CellColour(image, 13, 71), kClash);
    EXPECT_EQ(CellColour(image, 20, 71), kClash);
    EXPECT_EQ(CellColour(image, 36, 71), kChordTone);
    EXPECT_EQ(CellColour(image, 47, 71), kChordTone);
    EXPECT_EQ(CellColour(image, 60, 71), kClash);
    EXPECT_EQ(CellColour(image, 36, 72), kScaleRow);
    EXPECT_EQ(CellColour(image, 36, 70), kBackground);

    // The bar keeps a pixel of air above and below inside its row.
    const RollRect cell = layout.CellRect(36, 71);
    EXPECT_NE(image.pixelColor(cell.x + cell.w / 2, cell.y), kChordTone);
    EXPECT_EQ(image.pixelColor(cell.x + cell.w / 2, cell.y + 2), kChordTone);
}

TEST_F(RollPictureTest, ChordRowsFollowTheSelectors) {
    TwoNotes();
    QImage image = Image();
    // Measure 2 starts with IV: F A C.
    EXPECT_EQ(CellColour(image, 20, 65), kChordRow);
    EXPECT_EQ(CellColour(image, 20, 67), kScaleRow);
    Pick("CB_Two1", 4);  // V: G B D
    image = Image();
    EXPECT_EQ(View()->Song().chords[2].degree, 5);
    EXPECT_EQ(CellColour(image, 20, 65), kScaleRow);
    EXPECT_EQ(CellColour(image, 20, 67), kChordRow);
    EXPECT_EQ(CellColour(image, 20, 62), kChordRow);
    // B is now the chord's third there; the second half keeps IV.
    EXPECT_EQ(CellColour(image, 20, 71), kChordTone);
    EXPECT_EQ(CellColour(image, 28, 65), kChordRow);
    EXPECT_EQ(CellColour(image, 28, 71), kClash);
}

TEST_F(RollPictureTest, ATranspositionMovesTheBarsByItsRows) {
    TwoNotes();
    Click("RB_DSelf");
    Press("UD_Dur", true, 2);  // D major
    const QImage image = Image();
    EXPECT_EQ(View()->Song().transposition, 2);
    EXPECT_EQ(CellColour(image, 4, 74), kChordTone);   // D against D F# A
    EXPECT_EQ(CellColour(image, 4, 72), kBackground);  // C is out of D major
    EXPECT_EQ(CellColour(image, 36, 73), kChordTone);  // C# against A C# E
    EXPECT_EQ(CellColour(image, 36, 71), kScaleRow);
    // The rows are those of the new key: whole octaves from its "ド".
    EXPECT_EQ(Layout().Span().low, 62);
    EXPECT_EQ(Layout().Span().high, 86);
    Press("UD_Dur", false, 5);  // A major, shown as -3
    const QImage down = Image();
    EXPECT_EQ(CellColour(down, 4, 69), kChordTone);
    EXPECT_EQ(CellColour(down, 4, 67), kBackground);  // G is out of A major
    EXPECT_EQ(Layout().Span().low, 57);
}

TEST_F(RollPictureTest, FixedMeasuresCarryALockAndTheLegendExplainsTheColours) {
    TwoNotes();
    const auto numbers = [&](int measure) {
        const RollRect m = Layout().MeasureRect(measure);
        const RollRect row = Layout().MeasureNumbers();
        return RollRect{m.x, row.y, m.w, row.h};
    };
    QImage image = Image();
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(Count(image, numbers(m), kLockBack), 0) << m;
    }
    Click("Fix_Rhythm2");
    Click("Fix_Rhythm4");
    Click("Fix_Melody4");
    image = Image();
    EXPECT_EQ(Count(image, numbers(0), kLockBack), 0);
    EXPECT_GT(Count(image, numbers(1), kLockBack), 20);
    EXPECT_EQ(Count(image, numbers(2), kLockBack), 0);
    EXPECT_GT(Count(image, numbers(3), kLockBack), 20);
    EXPECT_TRUE(View()->Song().melodyFixed[3]);
    // Unfixing the rhythm clears the melody box too: both locks go.
    Click("Fix_Rhythm4");
    EXPECT_FALSE(View()->Song().melodyFixed[3]);
    EXPECT_EQ(Count(Image(), numbers(3), kLockBack), 0);

    const RollRect legend = Layout().Legend();
    for (const QColor& colour : {kChordTone, kScaleTone, kClash}) {
        EXPECT_GT(Count(image, legend, colour), 50) << colour.name().toStdString();
    }
}

TEST_F(RollPictureTest, TheAccompanimentIsDrawnFaintlyAndChangesNoByte) {
    Create();
    Click("B_CGenerate");
    Click("B_MGenerate");
    OpenRoll();
    Save();
    const QByteArray before = Save();
    ASSERT_FALSE(before.isEmpty());
    auto* box = Roll()->findChild<QCheckBox*>(QStringLiteral("CB_RollAcc"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(View()->Song().accompaniment.empty());
    const QImage plain = Image();

    Click("CB_RollAcc");
    ASSERT_TRUE(box->isChecked());
    const RollSong& song = View()->Song();
    ASSERT_FALSE(song.accompaniment.empty());
    // The bass lies an octave or two below the melody: the rows reach it.
    int lowest = 127;
    for (const RollNote& note : song.accompaniment) {
        lowest = std::min(lowest, note.pitch);
    }
    EXPECT_LE(Layout().Span().low, lowest);
    const QImage withAcc = Image();
    int drawn = 0;
    for (const RollNote& note : song.accompaniment) {
        const QColor colour = CellColour(withAcc, note.step, note.pitch);
        const QColor row = song.IsChordTone(SlotOfStep(note.step), note.pitch) ? kChordRow
                           : song.InKey(note.pitch)                            ? kScaleRow
                                                                               : kBackground;
        const RollNote* melody = song.NoteAt(note.step);
        if (melody && melody->pitch == note.pitch) {
            continue;  // under a melody bar
        }
        EXPECT_NE(colour, row) << note.step << " " << note.pitch;
        // Faint: lighter than any melody bar.
        EXPECT_GT(colour.lightness(), kChordTone.lightness());
        ++drawn;
    }
    EXPECT_GT(drawn, 10);
    EXPECT_EQ(Save(), before);

    // Another pattern is drawn at once.
    const std::vector<RollNote> first = song.accompaniment;
    Pick("CB_AccPattern", 3);
    bool differs = View()->Song().accompaniment.size() != first.size();
    for (size_t i = 0; !differs && i < first.size(); ++i) {
        differs = first[i].step != View()->Song().accompaniment[i].step ||
                  first[i].pitch != View()->Song().accompaniment[i].pitch;
    }
    EXPECT_TRUE(differs);
    Click("CB_RollAcc");
    EXPECT_TRUE(View()->Song().accompaniment.empty());
    EXPECT_EQ(Image().size(), plain.size());
}

// The region each paint event of a widget asks for, joined.
class PaintedRegion : public QObject {
  public:
    QRegion region;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            region += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
};

TEST_F(RollPictureTest, AChangedNoteIsRedrawnInItsColumnsOnlyAndLooksAsIfDrawnAnew) {
    Create();
    Click("B_CGenerate");
    Click("B_MGenerate");
    OpenRoll();
    View()->clearFocus();
    const std::vector<std::function<void()>> changes = {
        [this] { PressCell(2, 3); }, [this] { PressCell(3, 6, Qt::RightButton); },
        [this] { QTest::keyClick(Grid("Melody", 3), Qt::Key_Delete); },
        [this] { Press("UD_Measure", true); },  // changes no note: nothing to draw
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        PaintedRegion painted;
        View()->installEventFilter(&painted);
        changes[i]();
        QTest::qWait(50);
        View()->removeEventFilter(&painted);
        if (i + 1 == changes.size()) {
            EXPECT_TRUE(painted.region.isEmpty());
            continue;
        }
        EXPECT_FALSE(painted.region.isEmpty()) << i;
        EXPECT_LT(painted.region.boundingRect().width(), View()->width() / 4) << i;

        PianoRollView fresh;
        fresh.resize(View()->size());
        fresh.SetSong(View()->Song());
        EXPECT_EQ(Image(), fresh.grab().toImage()) << i;
    }
}

}  // namespace
}  // namespace tontoko::test
