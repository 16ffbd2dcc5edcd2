// The piano roll's edits of the melody cells: the pitch a row gives, notes set
// and moved through the key, with the texts the grids' refresh would show.
#include <gtest/gtest.h>

#include "document/MelodyEdit.h"
#include "engine/KeyChange.h"
#include "engine/Song.h"

using namespace tontoko;

namespace {

uint8_t PitchAt(const Song& song, int measure, int column) {
    return song.MelodyPitches().Pitch(CellStep(measure, column));
}

uint8_t MarkAt(const Song& song, int measure, int column) {
    return song.MelodyRhythm().Mark(CellStep(measure, column));
}

}  // namespace

TEST(RollEdit, RowsGiveNotesOfTheKeyInsideTheAdjustableRange) {
    Song song(1);
    EXPECT_EQ(RollNotePitch(song, 76), 76);  // E
    EXPECT_EQ(RollNotePitch(song, 66), 65);  // F#: the key note below
    EXPECT_EQ(RollNotePitch(song, 61), 60);
    EXPECT_EQ(RollNotePitch(song, 120), 96);  // a grid press still adjusts 96
    EXPECT_EQ(RollNotePitch(song, 20), 38);   // 37 is C#, 36 is out of range: D
    Transpose(song, 0, 2);                    // D major
    EXPECT_EQ(RollNotePitch(song, 65), 64);   // F: E below
    EXPECT_EQ(RollNotePitch(song, 66), 66);   // F#
    SwitchToMinor(song);                      // B minor: the same notes
    EXPECT_EQ(RollNotePitch(song, 65), 64);
    EXPECT_EQ(RollNotePitch(song, 73), 73);
}

TEST(RollEdit, PlacingWritesTheOnsetAndThePitchAndShowsWhatARefreshShows) {
    Song song(1);
    Transpose(song, 0, 2);
    const int k = 2;
    // An empty cell, a cell with a pitch left from an earlier melody but no
    // onset, and a cell whose note gets a new pitch.
    song.MelodyPitches().SetPitch(CellStep(2, 3), 70);
    PressCell(song, 3, 1, PressButton::Left, k);  // 72
    const CellTexts first = PlaceCellNote(song, 1, 0, 74, k);
    const CellTexts stale = PlaceCellNote(song, 2, 3, 78, k);
    const CellTexts moved = PlaceCellNote(song, 3, 1, 69, k);
    EXPECT_EQ(MarkAt(song, 1, 0), 1);
    EXPECT_EQ(PitchAt(song, 1, 0), 74);
    EXPECT_EQ(MarkAt(song, 2, 3), 1);
    EXPECT_EQ(PitchAt(song, 2, 3), 78);
    EXPECT_EQ(PitchAt(song, 3, 1), 69);

    const MelodyCells cells = RefreshCells(song, k);
    EXPECT_EQ(first.name, cells.names[0][0]);
    EXPECT_EQ(first.octave, *cells.octaves[0][0]);
    EXPECT_EQ(stale.name, cells.names[1][3]);
    EXPECT_EQ(moved.name, cells.names[2][1]);
    EXPECT_EQ(moved.octave, *cells.octaves[2][1]);
    // Movable do: 74 in D major is "ド" of octave 0, 69 is "ソ" of octave -1.
    EXPECT_EQ(first.name, "ド");
    EXPECT_EQ(first.octave, "0");
    EXPECT_EQ(moved.name, "ソ");
    EXPECT_EQ(moved.octave, "-1");
}

TEST(RollEdit, StepsGoFromKeyNoteToKeyNote) {
    Song song(1);
    PlaceCellNote(song, 1, 2, 76, 0);  // E
    ASSERT_TRUE(StepCellInKey(song, 1, 2, 1, 0));
    EXPECT_EQ(PitchAt(song, 1, 2), 77);  // F
    StepCellInKey(song, 1, 2, 1, 0);
    EXPECT_EQ(PitchAt(song, 1, 2), 79);  // G, over F#
    const std::optional<CellTexts> down = StepCellInKey(song, 1, 2, -1, 0);
    ASSERT_TRUE(down);
    EXPECT_EQ(PitchAt(song, 1, 2), 77);
    EXPECT_EQ(down->name, "ﾌｧ");
    EXPECT_EQ(down->octave, "0");

    // A note a grid press left outside the key goes to the key note beside it.
    PressCell(song, 1, 2, PressButton::Right, 0);  // F#
    StepCellInKey(song, 1, 2, -1, 0);
    EXPECT_EQ(PitchAt(song, 1, 2), 77);
    EXPECT_EQ(MarkAt(song, 1, 2), 1);
}

TEST(RollEdit, StepsStopAtTheEdgesAndNeedANote) {
    Song song(1);
    EXPECT_FALSE(StepCellInKey(song, 1, 0, 1, 0));  // empty cell
    song.MelodyPitches().SetPitch(CellStep(1, 1), 70);
    EXPECT_FALSE(StepCellInKey(song, 1, 1, 1, 0));  // a pitch without an onset
    EXPECT_EQ(PitchAt(song, 1, 1), 70);
    song.MelodyRhythm().SetMark(CellStep(1, 3), 1);
    EXPECT_FALSE(StepCellInKey(song, 1, 3, 1, 0));  // an onset without a pitch

    PlaceCellNote(song, 2, 0, 96, 0);
    EXPECT_FALSE(StepCellInKey(song, 2, 0, 1, 0));
    EXPECT_EQ(PitchAt(song, 2, 0), 96);
    PlaceCellNote(song, 2, 1, 38, 0);
    EXPECT_FALSE(StepCellInKey(song, 2, 1, -1, 0));  // 36 would leave the range
    EXPECT_EQ(PitchAt(song, 2, 1), 38);
    // From above the range a note may still come down.
    PlaceCellNote(song, 2, 2, 100, 0);
    EXPECT_FALSE(StepCellInKey(song, 2, 2, 1, 0));
    ASSERT_TRUE(StepCellInKey(song, 2, 2, -1, 0));
    EXPECT_EQ(PitchAt(song, 2, 2), 98);
}
