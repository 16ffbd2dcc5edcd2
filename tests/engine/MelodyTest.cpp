#include <gtest/gtest.h>

#include <map>

#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"

using namespace tontoko;

namespace {
// Length in steps of the first note of each measure (up to the next onset of the
// same measure, or the bar line).
std::map<int, int> FirstLengths(Song& song, int songs) {
    std::map<int, int> counts;
    for (int n = 0; n < songs; ++n) {
        GenerateRhythm(song.MelodyRhythm(), song.rhythm, song.random, song);
        for (int m = 0; m < 4; ++m) {
            EXPECT_EQ(song.MelodyRhythm().Mark(16 * m), 1);
            int next = 1;
            while (next < 16 && song.MelodyRhythm().Mark(16 * m + next) == 0) {
                ++next;
            }
            ++counts[next];
        }
    }
    return counts;
}
}  // namespace

TEST(MelodyRhythm, QuarterStyleDrawsHalfQuarterEighthOnEvenSteps) {
    Song song(5);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    ApplyMelodyStyle(song, MelodyStyle::MoreQuarters);
    EXPECT_EQ(song.MelodyRhythm().StartState(), 4);
    EXPECT_EQ(song.MelodyRhythm().Weights(6),
              (SRhythmGenerate::WeightRow{0, 0, 10, 0, 60, 0, 30, 0}));
    EXPECT_EQ(song.MelodyRhythm().Weights(0), SRhythmGenerate::WeightRow{});
    const int songs = 5000;
    auto counts = FirstLengths(song, songs);
    EXPECT_EQ(counts.size(), 3u);
    EXPECT_NEAR(counts[8] / (4.0 * songs), 0.10, 0.015);
    EXPECT_NEAR(counts[4] / (4.0 * songs), 0.60, 0.02);
    EXPECT_NEAR(counts[2] / (4.0 * songs), 0.30, 0.02);
    for (int s = 1; s < 64; s += 2) {
        EXPECT_EQ(song.MelodyRhythm().Mark(s), 0);
    }
    EXPECT_EQ(song.MelodyRhythm().Mark(64), 0);
}

TEST(MelodyRhythm, EighthStyleFavoursEighths) {
    Song song(6);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    EXPECT_EQ(song.MelodyRhythm().StartState(), 6);
    auto counts = FirstLengths(song, 5000);
    EXPECT_NEAR(counts[2] / 20000.0, 0.60, 0.02);
    EXPECT_NEAR(counts[4] / 20000.0, 0.30, 0.02);
}

TEST(MelodyRhythm, UniformFallbackBeforeAnyStyle) {
    Song song(8);
    auto counts = FirstLengths(song, 5000);
    for (int length : {16, 8, 4, 2}) {
        EXPECT_NEAR(counts[length] / 20000.0, 0.25, 0.02) << length;
    }
    EXPECT_EQ(counts.size(), 4u);
}

TEST(MelodyGeneration, FixedMeasuresAreKept) {
    Song song(21);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    GenerateMelody(song);
    SRhythmGenerate& rhythm = song.MelodyRhythm();
    SMelodyGenerate& pitches = song.MelodyPitches();
    // Measure 2 (index 1): rhythm fixed to four quarter notes. Measure 3: melody fixed.
    rhythm.ClearMeasureMarks(1);
    for (int s : {16, 20, 24, 28}) {
        rhythm.SetMark(s, 1);
    }
    std::array<uint8_t, 16> fixedMarks;
    std::array<uint8_t, 16> fixedPitches;
    for (int i = 0; i < 16; ++i) {
        fixedMarks[i] = rhythm.Mark(32 + i);
        fixedPitches[i] = pitches.Pitch(32 + i);
    }
    song.flags.Set(1, FixedKind::Rhythm, true);
    song.flags.Set(2, FixedKind::Rhythm, true);
    song.flags.Set(2, FixedKind::Melody, true);
    for (int n = 0; n < 200; ++n) {
        GenerateMelody(song);
        for (int s = 16; s < 32; ++s) {
            ASSERT_EQ(rhythm.Mark(s), (s % 4 == 0) ? 1 : 0);
        }
        for (int s : {16, 20, 24, 28}) {
            ASSERT_NE(pitches.Pitch(s), 0);
        }
        for (int i = 0; i < 16; ++i) {
            ASSERT_EQ(rhythm.Mark(32 + i), fixedMarks[i]);
            ASSERT_EQ(pitches.Pitch(32 + i), fixedPitches[i]) << "step " << 32 + i;
        }
    }
}

TEST(MelodyGeneration, FigureStopsBeforeAFixedMeasure) {
    // Measure 1 has its last onset at step 14; measure 2 is fixed with two notes.
    // Whatever is drawn at step 14, the fixed notes stay as they are, and step 14
    // is raised by the octave shift like the rest of measure 1.
    for (uint32_t seed = 0; seed < 300; ++seed) {
        uint8_t at14[2] = {};
        for (int octave = 0; octave < 2; ++octave) {
            Song song(seed);
            SRhythmGenerate& rhythm = song.MelodyRhythm();
            SMelodyGenerate& pitches = song.MelodyPitches();
            for (int s : {0, 12, 14, 16, 18}) {
                rhythm.SetMark(s, 1);
            }
            pitches.SetPitch(16, 100);
            pitches.SetPitch(18, 101);
            song.flags.Set(1, FixedKind::Rhythm, true);
            song.flags.Set(1, FixedKind::Melody, true);
            GeneratePitches(pitches, rhythm, song.melody, PitchMode::Melody, 0, octave, song.random,
                            song);
            ASSERT_EQ(pitches.Pitch(16), 100) << seed;
            ASSERT_EQ(pitches.Pitch(18), 101) << seed;
            at14[octave] = pitches.Pitch(14);
        }
        ASSERT_EQ(at14[1], at14[0] + 12) << seed;
    }
}

TEST(MelodyGeneration, EveryPitchIsInKeyBeforeTheOctaveShift) {
    int previous = 0;
    for (int key : {0, -1, 3, 5, -6}) {
        for (int minor = 0; minor < 2; ++minor) {
            Song song(uint32_t(100 + key + 7 * minor));
            Transpose(song, previous, key);
            if (minor) {
                SwitchToMinor(song);
            }
            ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
            for (int n = 0; n < 300; ++n) {
                GenerateProgression(song, FirstChord::Random, 0);
                GenerateRhythm(song.MelodyRhythm(), song.rhythm, song.random, song);
                song.MelodyPitches().ClearPitches();
                GeneratePitches(song.MelodyPitches(), song.MelodyRhythm(), song.melody,
                                PitchMode::Melody, 0, 0, song.random, song);
                for (int s = 0; s < 64; ++s) {
                    if (song.MelodyRhythm().Mark(s) == 1) {
                        const uint8_t p = song.MelodyPitches().Pitch(s);
                        ASSERT_TRUE(song.melody.InKey(p, song.CurrentMode()))
                            << "key " << key << " minor " << minor << " pitch " << int(p);
                    }
                }
            }
        }
    }
}

TEST(MelodyGeneration, OctaveShiftRaisesOnlyGeneratedOnsets) {
    Song song(33);
    GenerateMelody(song);
    for (int s = 0; s < 64; ++s) {
        if (song.MelodyRhythm().Mark(s) != 0) {
            // Chord tones and steps lie around 50..72 before the shift.
            EXPECT_GE(song.MelodyPitches().Pitch(s), 60);
            EXPECT_LE(song.MelodyPitches().Pitch(s), 86);
        }
    }
    EXPECT_EQ(song.MelodyPitches().Pitch(64), 0);
}

TEST(FixedVoicing, AccompanimentTableForEveryDegree) {
    // Bass, fifth, third, root: voices 0..3 with tone index 3 - v.
    const int expected[7][4] = {{48, 55, 64, 60}, {50, 57, 65, 62}, {40, 59, 55, 64},
                                {41, 60, 57, 65}, {43, 62, 59, 55}, {45, 64, 60, 57},
                                {47, 65, 62, 59}};
    Song song(1);
    for (int degree = 1; degree <= 7; ++degree) {
        for (int slot = 0; slot < 8; ++slot) {
            song.SetSlotDegree(slot, degree);
        }
        for (int v = 0; v < 4; ++v) {
            song.rhythms[v].LoadMarks(std::string(64, '1'));
            GeneratePitches(song.melodies[v], song.rhythms[v], song.melody, PitchMode::FixedVoicing,
                            3 - v, 0, song.random, song);
            for (int s = 0; s < 64; ++s) {
                ASSERT_EQ(song.melodies[v].Pitch(s), expected[degree - 1][v])
                    << "degree " << degree << " voice " << v;
            }
        }
    }
}
