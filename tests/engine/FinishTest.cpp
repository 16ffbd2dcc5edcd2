// The finishing pass on hand-made progressions and melodies.
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <utility>

#include "engine/Finish.h"
#include "engine/Harmony.h"
#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"

namespace tontoko {
namespace {

std::array<int, 8> Degrees(const Song& song) {
    std::array<int, 8> degrees{};
    for (int slot = 0; slot < 8; ++slot) {
        degrees[slot] = song.SlotDegree(slot);
    }
    return degrees;
}

void SetSlots(Song& song, std::array<int, 8> degrees) {
    for (int slot = 0; slot < 8; ++slot) {
        song.SetSlotDegree(slot, degrees[slot]);
    }
}

TEST(FinishProgression, EndsOnIAfterAChordThatLeadsHome) {
    struct Case {
        std::array<int, 8> before;
        std::array<int, 8> after;
    };
    const Case cases[] = {
        {{1, 1, 2, 2, 3, 3, 6, 6}, {1, 1, 2, 2, 5, 5, 1, 1}},  // III does not lead home
        {{6, 6, 2, 2, 2, 2, 5, 5}, {6, 6, 2, 2, 5, 5, 1, 1}},
        {{1, 1, 6, 6, 1, 1, 4, 4}, {1, 1, 6, 6, 5, 5, 1, 1}},
        {{1, 1, 6, 6, 6, 6, 7, 7}, {1, 1, 6, 6, 5, 5, 1, 1}},
        {{1, 1, 1, 1, 4, 4, 2, 2}, {1, 1, 1, 1, 4, 4, 1, 1}},  // IV, V and VII stay
        {{3, 3, 4, 4, 5, 5, 3, 3}, {3, 3, 4, 4, 5, 5, 1, 1}},
        {{2, 2, 3, 3, 7, 7, 1, 1}, {2, 2, 3, 3, 7, 7, 1, 1}},
        // Halves chosen by hand: the measure stays only when both lead home.
        {{1, 1, 1, 1, 4, 7, 5, 6}, {1, 1, 1, 1, 4, 7, 1, 1}},
        {{1, 1, 1, 1, 4, 2, 5, 6}, {1, 1, 1, 1, 5, 5, 1, 1}},
        {{1, 1, 1, 1, 6, 5, 5, 6}, {1, 1, 1, 1, 5, 5, 1, 1}},
    };
    for (const Case& c : cases) {
        Song song(3);
        SetSlots(song, c.before);
        const uint32_t state = song.random.State();
        FinishProgression(song);
        EXPECT_EQ(Degrees(song), c.after);
        EXPECT_EQ(song.random.State(), state);
    }
}

TEST(FinishProgression, MinorKeysEndOnTheirOwnChordI) {
    Song song(8);
    SwitchToMinor(song);
    Transpose(song, 0, 3);  // C minor
    SetSlots(song, {1, 1, 4, 4, 3, 3, 6, 6});
    FinishProgression(song);
    EXPECT_EQ(Degrees(song), (std::array<int, 8>{1, 1, 4, 4, 5, 5, 1, 1}));
    // Chord I of C minor is C, E flat, G; V is G, B flat, D.
    EXPECT_EQ(PitchClass(song.ChordSlot(7).Tone(0)), 0);
    EXPECT_EQ(PitchClass(song.ChordSlot(7).Tone(1)), 3);
    EXPECT_EQ(PitchClass(song.ChordSlot(5).Tone(1)), 10);
}

TEST(MelodyRegister, SpansTheChordTonesOfTheKeyRaisedAnOctave) {
    Song song(1);
    // C major: chord tones from F 53 (IV) to B 71 (III).
    EXPECT_EQ(MelodyRegister(song).low, 53 - 2 + 12);
    EXPECT_EQ(MelodyRegister(song).high, 71 + 2 + 12);
    Transpose(song, 0, -4);
    EXPECT_EQ(MelodyRegister(song).low, 49 - 2 + 12);
    EXPECT_EQ(MelodyRegister(song).high, 67 + 2 + 12);
    Transpose(song, -4, 0);
    SwitchToMinor(song);
    // A minor: from D 50 (IV) to G 67 (III).
    EXPECT_EQ(MelodyRegister(song).low, 50 - 2 + 12);
    EXPECT_EQ(MelodyRegister(song).high, 67 + 2 + 12);
}

TEST(MelodyRegister, HoldsAlmostEveryNoteTheGeneratorMakes) {
    // Only runs of steps in one direction leave it, and they are rare.
    for (const bool minor : {false, true}) {
        Song song(2024);
        if (minor) {
            SwitchToMinor(song);
        }
        ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
        const NoteRange range = MelodyRegister(song);
        int notes = 0;
        int inside = 0;
        std::map<int, int> outsideBy;
        for (int n = 0; n < 500; ++n) {
            GenerateProgression(song, FirstChord::Random, 0);
            GenerateMelody(song);
            for (int s = 0; s < kSongSteps; ++s) {
                if (song.MelodyRhythm().Mark(s) != 0) {
                    const int p = song.MelodyPitches().Pitch(s);
                    ++notes;
                    inside += range.Contains(p) ? 1 : 0;
                }
            }
        }
        EXPECT_GT(notes, 500 * 16);
        EXPECT_GT(inside, notes * 97 / 100) << "minor " << minor;
        EXPECT_LT(inside, notes) << "some runs leave it, so the pass has work there too";
    }
}

TEST(TonicPitchClass, IsDoInMajorAndLaInMinor) {
    for (int key = -6; key <= 5; ++key) {
        Song s(1);
        Transpose(s, 0, key);
        EXPECT_EQ(DisplayName(s.melody, 60 + TonicPitchClass(s), key), "ド") << key;
        SwitchToMinor(s);
        EXPECT_EQ(DisplayName(s.melody, 60 + TonicPitchClass(s), key), "ラ") << key;
    }
}

// Writes onsets with their pitches, as the grids do.
void WriteNotes(Song& song, std::initializer_list<std::pair<int, int>> notes) {
    for (auto [step, pitch] : notes) {
        song.MelodyRhythm().SetMark(step, 1);
        song.MelodyPitches().SetPitch(step, uint8_t(pitch));
    }
}

// A melody written note by note over hand-chosen chords.
class FinishMelodyTest : public ::testing::Test {
  protected:
    void Notes(std::initializer_list<std::pair<int, int>> notes) { WriteNotes(song, notes); }
    int At(int step) const { return song.MelodyPitches().Pitch(step); }

    Song song{11};
};

TEST_F(FinishMelodyTest, ClashOnABeatMovesToTheNearestChordTone) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    // F against E; D does not clash but is no chord tone on a beat; G stays.
    Notes({{0, 77}, {4, 74}, {8, 79}, {48, 72}});
    FinishMelody(song);
    EXPECT_EQ(At(0), 76);
    EXPECT_EQ(At(4), 76);  // C and E are as near: E is nearer the E before it
    EXPECT_EQ(At(8), 79);
}

TEST_F(FinishMelodyTest, ClashOffTheBeatMovesToTheNearestScaleToneThatFits) {
    SetSlots(song, {2, 2, 5, 5, 1, 1, 1, 1});
    // Over II (D F A): B is a tritone from F. Off the beat C fits, though it is
    // no chord tone; on a beat the nearest chord tone is A.
    Notes({{0, 74}, {2, 71}, {4, 71}, {6, 79}, {16, 79}, {18, 72}, {48, 72}});
    FinishMelody(song);
    EXPECT_EQ(At(2), 72);
    EXPECT_EQ(At(4), 69);
    // G over II is a whole tone from A and a fourth from D: it stays off the
    // beat. Over V (G B D), C is a semitone from B: B is the nearest that fits.
    EXPECT_EQ(At(6), 79);
    EXPECT_EQ(At(16), 79);
    EXPECT_EQ(At(18), 71);
    for (int s : {0, 2, 4, 6, 16, 18}) {
        EXPECT_FALSE(Clashes(uint8_t(At(s)), song.ChordSlot(SlotOfStep(s)))) << s;
    }
}

TEST_F(FinishMelodyTest, TiesGoTowardThePreviousNoteAsFinished) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    // D on a beat lies between C and E. The second D's previous note is the
    // first D as finished (E, 76), not as written (74, which would tie again).
    Notes({{0, 79}, {4, 74}, {8, 74}});
    FinishMelody(song);
    EXPECT_EQ(At(4), 76);
    EXPECT_EQ(At(8), 76);

    Song low(11);
    SetSlots(low, {1, 1, 1, 1, 1, 1, 1, 1});
    WriteNotes(low, {{0, 67}, {4, 74}, {8, 74}});
    FinishMelody(low);
    EXPECT_EQ(low.MelodyPitches().Pitch(4), 72);
    EXPECT_EQ(low.MelodyPitches().Pitch(8), 72);
    // With no note before it at all, the lower one.
    Song first(11);
    SetSlots(first, {1, 1, 1, 1, 1, 1, 1, 1});
    WriteNotes(first, {{0, 74}, {2, 67}});
    FinishMelody(first);
    EXPECT_EQ(first.MelodyPitches().Pitch(0), 72);
}

TEST_F(FinishMelodyTest, NotesOutsideTheRegisterComeInside) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    const NoteRange range = MelodyRegister(song);  // 63..85 in C major
    // A chord tone below it on a beat, another above it off the beat.
    Notes({{0, 60}, {2, 88}, {4, 91}, {6, 72}});
    FinishMelody(song);
    EXPECT_EQ(At(0), 64);  // E: 63 is out of the key
    EXPECT_EQ(At(2), 84);  // C: 85 and 86 do not fit, 84 is the nearest that does
    EXPECT_EQ(At(4), 84);
    EXPECT_EQ(At(6), 72);
    for (int s : {0, 2, 4, 6}) {
        EXPECT_TRUE(range.Contains(At(s))) << s;
    }
}

TEST_F(FinishMelodyTest, LastNoteBecomesTheTonicNearestTheNoteBefore) {
    SetSlots(song, {1, 1, 4, 4, 5, 5, 1, 1});
    Notes({{0, 72}, {48, 76}, {52, 81}, {56, 79}});
    FinishMelody(song);
    // A on a beat is no chord tone of I: G. The last note, G 79, becomes the
    // C nearest that G (84 rather than 72).
    EXPECT_EQ(At(52), 79);
    EXPECT_EQ(At(56), 84);
}

TEST_F(FinishMelodyTest, LastNoteAlreadyOnTheTonicStays) {
    SetSlots(song, {1, 1, 4, 4, 5, 5, 1, 1});
    Notes({{0, 72}, {48, 76}, {58, 72}});
    FinishMelody(song);
    EXPECT_EQ(At(48), 76);
    EXPECT_EQ(At(58), 72);
    // A tonic an octave away from the note before it moves to the nearer one.
    Song far(11);
    SetSlots(far, {1, 1, 4, 4, 5, 5, 1, 1});
    WriteNotes(far, {{0, 72}, {48, 79}, {56, 72}});
    FinishMelody(far);
    EXPECT_EQ(far.MelodyPitches().Pitch(56), 84);
}

TEST_F(FinishMelodyTest, LastNoteInMinorAndTransposedKeys) {
    SwitchToMinor(song);
    Transpose(song, 0, 2);  // B minor: the tonic is B, "ラ" on screen
    SetSlots(song, {1, 1, 4, 4, 5, 5, 1, 1});
    const NoteRange range = MelodyRegister(song);
    Notes({{0, 74}, {48, 74}, {54, 76}});
    FinishMelody(song);
    EXPECT_EQ(DisplayName(song.melody, At(54), 2), "ラ");
    EXPECT_EQ(At(54), 71);  // B nearest the D 74 before it (83 lies further)
    EXPECT_TRUE(range.Contains(At(54)));
}

TEST_F(FinishMelodyTest, FixedMeasureFourIsNeverChanged) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    song.flags.Set(3, 0, true);
    song.flags.Set(3, 1, true);
    // Measure 4 holds a clash on a beat and ends on D; measure 3 holds a clash.
    Notes({{32, 77}, {48, 77}, {52, 71}, {60, 74}});
    FinishMelody(song);
    EXPECT_EQ(At(32), 76);
    EXPECT_EQ(At(48), 77);
    EXPECT_EQ(At(52), 71);
    EXPECT_EQ(At(60), 74);
}

TEST_F(FinishMelodyTest, FixedMeasuresGiveThePreviousNoteToTheNext) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    song.flags.Set(0, 0, true);
    song.flags.Set(0, 1, true);
    // The fixed E 88 (out of the register, kept) is the note before the D of
    // measure 2: of C 72 and E 76, E is nearer it.
    Notes({{0, 88}, {16, 74}});
    FinishMelody(song);
    EXPECT_EQ(At(0), 88);
    EXPECT_EQ(At(16), 76);
}

TEST_F(FinishMelodyTest, MeasureFourWithoutOnsetsLeavesTheEndAlone) {
    SetSlots(song, {1, 1, 1, 1, 5, 5, 1, 1});
    song.flags.Set(3, 0, true);  // an empty rhythm kept in measure 4
    Notes({{0, 72}, {32, 79}, {40, 74}});
    FinishMelody(song);
    // No onset is added to a fixed rhythm; measure 3 follows the usual rules.
    for (int s = 48; s < 64; ++s) {
        EXPECT_EQ(song.MelodyRhythm().Mark(s), 0);
    }
    EXPECT_EQ(At(32), 79);
    EXPECT_EQ(At(40), 74);
}

TEST_F(FinishMelodyTest, HandChosenSevenInMeasureFour) {
    // The progression ends on VII, chosen by hand; only the melody is finished.
    SetSlots(song, {1, 1, 4, 4, 5, 5, 7, 7});
    Notes({{0, 72}, {48, 72}, {52, 77}, {56, 76}});
    FinishMelody(song);
    const SChord& seven = song.ChordSlot(7);
    // C clashes with B: on the beat it moves to B. F is a chord tone and stays.
    EXPECT_EQ(At(48), 71);
    EXPECT_EQ(At(52), 77);
    // The tonic C would clash with B, so the song ends on the chord tone
    // nearest the F before it, which is F itself.
    EXPECT_EQ(At(56), 77);
    for (int s : {48, 52, 56}) {
        EXPECT_FALSE(Clashes(uint8_t(At(s)), seven)) << s;
    }
    EXPECT_EQ(Degrees(song), (std::array<int, 8>{1, 1, 4, 4, 5, 5, 7, 7}));

    // In minor the tonic A clashes with no chord of the key: it ends on A.
    Song minor(11);
    SwitchToMinor(minor);
    SetSlots(minor, {1, 1, 4, 4, 5, 5, 7, 7});
    WriteNotes(minor, {{0, 69}, {48, 74}, {56, 71}});
    FinishMelody(minor);
    EXPECT_EQ(DisplayName(minor.melody, minor.MelodyPitches().Pitch(56), 0), "ラ");
    EXPECT_FALSE(Clashes(minor.MelodyPitches().Pitch(56), minor.ChordSlot(7)));
}

TEST_F(FinishMelodyTest, MakesNoDrawAndMovesNoOnset) {
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    GenerateProgression(song, FirstChord::Random, 0);
    GenerateMelody(song);
    std::array<uint8_t, kSongSteps> marks{};
    for (int s = 0; s < kSongSteps; ++s) {
        marks[s] = song.MelodyRhythm().Mark(s);
    }
    const uint32_t state = song.random.State();
    FinishProgression(song);
    FinishMelody(song);
    EXPECT_EQ(song.random.State(), state);
    for (int s = 0; s < kSongSteps; ++s) {
        EXPECT_EQ(song.MelodyRhythm().Mark(s), marks[s]) << s;
    }
}

}  // namespace
}  // namespace tontoko
