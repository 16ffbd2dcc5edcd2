#include <gtest/gtest.h>

#include "engine/Harmony.h"
#include "engine/KeyChange.h"
#include "engine/Song.h"

using namespace tontoko;

TEST(Harmony, IntervalClassIsTheShorterWayRoundTheOctave) {
    EXPECT_EQ(IntervalClass(60, 61), 1);
    EXPECT_EQ(IntervalClass(61, 60), 1);
    EXPECT_EQ(IntervalClass(60, 71), 1);  // C and the B above: a semitone apart
    EXPECT_EQ(IntervalClass(60, 66), 6);
    EXPECT_EQ(IntervalClass(48, 79), 5);  // octaves do not matter
    EXPECT_EQ(IntervalClass(60, 72), 0);
}

TEST(Harmony, NotesAgainstChordIInCMajor) {
    Song song(1);
    const SChord& one = song.nodes[0];  // C E G, bass C
    EXPECT_EQ(ClassifyNote(72, one), NoteRole::ChordTone);
    EXPECT_EQ(ClassifyNote(76, one), NoteRole::ChordTone);
    EXPECT_EQ(ClassifyNote(55, one), NoteRole::ChordTone);
    EXPECT_EQ(ClassifyNote(74, one), NoteRole::ScaleTone);  // D
    EXPECT_EQ(ClassifyNote(81, one), NoteRole::ScaleTone);  // A
    EXPECT_EQ(ClassifyNote(77, one), NoteRole::Clash);      // F: a semitone above E
    EXPECT_EQ(ClassifyNote(83, one), NoteRole::Clash);      // B: a semitone below C
    EXPECT_EQ(ClassifyNote(78, one), NoteRole::Clash);      // F#: a tritone from C
}

TEST(Harmony, EveryNoteOutsideTheKeyClashesWithEveryDiatonicChord) {
    // So the three roles cover every note: a note that is not a chord tone and
    // does not clash is a scale tone, in both modes and every key.
    Song song(1);
    for (int minor = 0; minor < 2; ++minor) {
        if (minor) {
            SwitchToMinor(song);
        }
        for (const SChord& chord : song.nodes) {
            for (int pitch = 48; pitch < 96; ++pitch) {
                if (!song.melody.InKey(uint8_t(pitch), song.CurrentMode())) {
                    EXPECT_EQ(ClassifyNote(uint8_t(pitch), chord), NoteRole::Clash)
                        << "pitch " << pitch << " degree " << chord.Degree() << " minor " << minor;
                }
            }
        }
    }
}

TEST(Harmony, TheTritoneInsideChordVIIIsNoClash) {
    Song song(1);
    const SChord& seven = song.nodes[6];  // B D F
    EXPECT_EQ(ClassifyNote(71, seven), NoteRole::ChordTone);
    EXPECT_EQ(ClassifyNote(77, seven), NoteRole::ChordTone);
    EXPECT_EQ(ClassifyNote(79, seven), NoteRole::ScaleTone);  // G
    EXPECT_EQ(ClassifyNote(72, seven), NoteRole::Clash);      // C against B
    EXPECT_EQ(ClassifyNote(76, seven), NoteRole::Clash);      // E against F
}

TEST(Harmony, TheRolesFollowATransposition) {
    Song song(1);
    Transpose(song, 0, 2);  // D major: chord I is D F# A
    const SChord& one = song.nodes[0];
    EXPECT_EQ(ClassifyNote(66, one), NoteRole::ChordTone);
    EXPECT_EQ(ClassifyNote(64, one), NoteRole::ScaleTone);
    EXPECT_EQ(ClassifyNote(67, one), NoteRole::Clash);
}
