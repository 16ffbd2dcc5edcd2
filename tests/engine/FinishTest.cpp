// The finishing pass on hand-made progressions and melodies.
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

#include "engine/Finish.h"
#include "engine/Harmony.h"
#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "tests/support/FinishedMelody.h"

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
    std::array<uint8_t, kSongSteps + 1> Pitches() const {
        std::array<uint8_t, kSongSteps + 1> pitches{};
        for (int s = 0; s <= kSongSteps; ++s) {
            pitches[s] = song.MelodyPitches().Pitch(s);
        }
        return pitches;
    }

    Song song{11};
};

TEST_F(FinishMelodyTest, PassingAndNeighbourTonesStay) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    // Over C E G: D passing up, F above E (a semitone from it) and back, D
    // passing down, B below C and back, D passing on beat 2. Every other note
    // is a chord tone and the last the C nearest the E before it.
    Notes({{0, 72},
           {2, 74},
           {4, 76},
           {6, 77},
           {8, 76},
           {10, 74},
           {12, 72},
           {14, 71},
           {16, 72},
           {20, 74},
           {24, 76},
           {48, 72}});
    const std::array<uint8_t, kSongSteps + 1> written = Pitches();
    FinishMelody(song);
    EXPECT_EQ(Pitches(), written);
}

TEST_F(FinishMelodyTest, ScaleRunOfSeedElevenStaysAMovingLine) {
    // Seed 11 with eighth notes and first chord I begins with the run C B A G
    // over I, which the earlier pass turned into C C G G.
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    GenerateProgression(song, FirstChord::One, 0);
    FinishProgression(song);
    GenerateMelody(song);
    ASSERT_EQ(song.SlotDegree(0), 1);
    const std::array<uint8_t, kSongSteps + 1> generated = Pitches();
    ASSERT_EQ((std::array<int, 4>{At(0), At(2), At(4), At(6)}),
              (std::array<int, 4>{72, 71, 69, 67}));
    FinishMelody(song);
    EXPECT_EQ((std::array<int, 4>{At(0), At(2), At(4), At(6)}),
              (std::array<int, 4>{72, 71, 69, 67}));
    ExpectKeepsToTheRules(song);
    // Finishing changes the notes that break a rule and little else.
    int changed = 0;
    for (int s = 0; s < kSongSteps; ++s) {
        changed += song.MelodyPitches().Pitch(s) != generated[s] ? 1 : 0;
    }
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, 8);
}

TEST_F(FinishMelodyTest, LeapToANonChordToneIsReplaced) {
    SetSlots(song, {1, 1, 4, 4, 5, 5, 1, 1});
    // E, then a leap up to A, which is no chord tone of I and is left by step
    // to G, the last note. A gives way to D, a passing note from E down to the
    // C that ends the song.
    Notes({{0, 72}, {48, 76}, {52, 81}, {56, 79}});
    FinishMelody(song);
    EXPECT_EQ(At(48), 76);
    EXPECT_EQ(At(52), 74);
    EXPECT_EQ(At(56), 72);
    ExpectKeepsToTheRules(song);
}

TEST_F(FinishMelodyTest, BeatNoteBecomesAChordToneThatKeepsTheLineMoving) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    // C D F G rising, with F on beat 3 a semitone against E: E keeps it rising
    // by step, where the nearest chord tone G would repeat the G after it.
    Notes({{0, 72}, {4, 74}, {8, 77}, {12, 79}, {48, 84}});
    FinishMelody(song);
    EXPECT_EQ(At(4), 74);
    EXPECT_EQ(At(8), 76);
    EXPECT_EQ(At(12), 79);
    ExpectKeepsToTheRules(song);
}

TEST_F(FinishMelodyTest, ReplacementsMakeNoNewRepeatedNote) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    // F on beat 3 lies between E and G, the chord tones just before and after
    // it: the nearest chord tone, either of them, would stutter. Measure 2 is
    // over V and starts on G, G and B as written.
    Notes({{0, 76}, {8, 77}, {12, 79}, {16, 79}, {24, 71}, {32, 76}, {48, 72}});
    song.SetSlotDegree(2, 5);
    song.SetSlotDegree(3, 5);
    FinishMelody(song);
    ExpectKeepsToTheRules(song);
    const std::vector<MelodyOnset> melody = MelodyOnsets(song);
    for (size_t i = 1; i < melody.size(); ++i) {
        if (melody[i].step != 16) {  // G, G as written
            EXPECT_NE(melody[i].pitch, melody[i - 1].pitch) << melody[i].step;
        }
    }
}

TEST_F(FinishMelodyTest, ALoneNoteMovesToTheNearestChordTone) {
    // D alone, on beat 1 of measure 2 over IV (F A C): C is the nearest.
    Notes({{16, 74}});
    FinishMelody(song);
    EXPECT_EQ(At(16), 72);
}

TEST_F(FinishMelodyTest, NotesOutsideTheRegisterComeInside) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    const NoteRange range = MelodyRegister(song);  // 63..85 in C major
    // A chord tone below it on a beat, two above it off the beat.
    Notes({{0, 60}, {2, 88}, {4, 91}, {6, 72}});
    FinishMelody(song);
    for (int s : {0, 2, 4, 6}) {
        EXPECT_TRUE(range.Contains(At(s))) << s;
    }
    EXPECT_EQ(At(6), 72);
    ExpectKeepsToTheRules(song);
}

TEST_F(FinishMelodyTest, LastNoteBecomesTheTonicNearestTheNoteBefore) {
    SetSlots(song, {1, 1, 4, 4, 5, 5, 1, 1});
    Notes({{0, 72}, {48, 76}, {52, 79}, {56, 74}});
    FinishMelody(song);
    // G is a chord tone and stays; the D after it becomes the C nearest that G
    // (84 rather than 72).
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
    song.flags.Set(3, FixedKind::Rhythm, true);
    song.flags.Set(3, FixedKind::Melody, true);
    // Measure 4 holds a clash on a beat and ends on D; measure 3 holds a clash.
    Notes({{32, 77}, {48, 77}, {52, 71}, {60, 74}});
    FinishMelody(song);
    EXPECT_EQ(At(32), 76);
    EXPECT_EQ(At(48), 77);
    EXPECT_EQ(At(52), 71);
    EXPECT_EQ(At(60), 74);
}

TEST_F(FinishMelodyTest, FixedNotesCountAsNeighbours) {
    SetSlots(song, {1, 1, 1, 1, 1, 1, 1, 1});
    song.flags.Set(1, FixedKind::Rhythm, true);
    song.flags.Set(1, FixedKind::Melody, true);
    // D on beat 4 of measure 1 passes from C to the fixed E of measure 2, and
    // stays; before a fixed G it would be left by a leap, and goes.
    Notes({{0, 72}, {12, 74}, {16, 76}});
    FinishMelody(song);
    EXPECT_EQ(At(12), 74);

    Song leap(11);
    SetSlots(leap, {1, 1, 1, 1, 1, 1, 1, 1});
    leap.flags.Set(1, FixedKind::Rhythm, true);
    leap.flags.Set(1, FixedKind::Melody, true);
    WriteNotes(leap, {{0, 72}, {12, 74}, {16, 79}});
    FinishMelody(leap);
    EXPECT_NE(leap.MelodyPitches().Pitch(12), 74);
    EXPECT_EQ(leap.MelodyPitches().Pitch(16), 79);
    ExpectKeepsToTheRules(leap);
}

TEST_F(FinishMelodyTest, MeasureFourWithoutOnsetsLeavesTheEndAlone) {
    SetSlots(song, {1, 1, 1, 1, 5, 5, 1, 1});
    song.flags.Set(3, FixedKind::Rhythm, true);  // an empty rhythm kept in measure 4
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
    // C on beat 1 clashes with B: it becomes a chord tone. The tonic C would
    // clash too, so the song ends on the chord tone nearest the note before.
    EXPECT_TRUE(IsChordTone(uint8_t(At(48)), seven));
    EXPECT_TRUE(IsChordTone(uint8_t(At(56)), seven));
    ExpectKeepsToTheRules(song);
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
