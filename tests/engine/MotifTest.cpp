// Measure 3 taking up measure 1, alone and after finishing, on hand-made
// melodies and on generated songs.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

#include "engine/Finish.h"
#include "engine/KeyChange.h"
#include "engine/MelodyFigures.h"
#include "engine/MelodyGenerator.h"
#include "engine/Motif.h"
#include "engine/Polish.h"
#include "engine/Song.h"
#include "tests/support/FinishedMelody.h"

namespace tontoko {
namespace {

struct Melody {
    std::array<uint8_t, kSongSteps + 1> marks{};
    std::array<uint8_t, kSongSteps + 1> pitches{};
    bool operator==(const Melody&) const = default;
};

Melody Snapshot(const Song& song) {
    Melody m;
    for (int s = 0; s <= kSongSteps; ++s) {
        m.marks[s] = song.MelodyRhythm().Mark(s);
        m.pitches[s] = song.MelodyPitches().Pitch(s);
    }
    return m;
}

void WriteNotes(Song& song, std::initializer_list<std::pair<int, int>> notes) {
    for (auto [step, pitch] : notes) {
        song.MelodyRhythm().SetMark(step, 1);
        song.MelodyPitches().SetPitch(step, uint8_t(pitch));
    }
}

// The onsets of measure m as (step in the measure, pitch).
std::vector<std::pair<int, int>> MeasureNotes(const Song& song, int m) {
    std::vector<std::pair<int, int>> notes;
    for (int s = 0; s < kStepsPerMeasure; ++s) {
        const int step = m * kStepsPerMeasure + s;
        if (song.MelodyRhythm().Mark(step) != 0) {
            notes.emplace_back(s, song.MelodyPitches().Pitch(step));
        }
    }
    return notes;
}

using Notes = std::vector<std::pair<int, int>>;

TEST(ApplyMotif, TakesMeasureOnesRhythmAndStepsAlongTheScale) {
    Song song(5);  // C major, measure 3 on V (G B D)
    WriteNotes(song, {{0, 72}, {4, 74}, {8, 76}, {12, 79}, {16, 77}, {34, 60}, {46, 90}, {48, 72}});
    ApplyMotif(song);
    // C D E G starts again from B, the tone of V nearest C, one scale step
    // down: B C D F. What measure 3 held is gone.
    EXPECT_EQ(MeasureNotes(song, 2), (Notes{{0, 71}, {4, 72}, {8, 74}, {12, 77}}));
    EXPECT_EQ(song.MelodyPitches().Pitch(34), 0);
    EXPECT_EQ(MeasureNotes(song, 0), (Notes{{0, 72}, {4, 74}, {8, 76}, {12, 79}}));
    EXPECT_EQ(MeasureNotes(song, 1), (Notes{{0, 77}}));
    EXPECT_EQ(MeasureNotes(song, 3), (Notes{{0, 72}}));
}

TEST(ApplyMotif, StepsFollowTheKeyInTransposedAndMinorKeys) {
    Song major(5);
    Transpose(major, 0, 2);     // D major
    major.SetSlotDegree(4, 2);  // E G B
    WriteNotes(major, {{0, 74}, {4, 76}, {8, 78}, {12, 74}});
    ApplyMotif(major);
    // D E F# D from E, one scale step up: E F# G E, where moving every note two
    // semitones would give G#, outside the key.
    EXPECT_EQ(MeasureNotes(major, 2), (Notes{{0, 76}, {4, 78}, {8, 79}, {12, 76}}));

    // A minor, measure 3 on V (E G B). A lies as near G as B: the one nearer
    // the note before measure 3 wins.
    for (const auto& [before, start] : {std::pair{64, 67}, std::pair{74, 71}}) {
        Song minor(5);
        SwitchToMinor(minor);
        WriteNotes(minor, {{0, 69}, {4, 71}, {8, 72}, {16, before}});
        ApplyMotif(minor);
        const Notes expected =
            start == 67 ? Notes{{0, 67}, {4, 69}, {8, 71}} : Notes{{0, 71}, {4, 72}, {8, 74}};
        EXPECT_EQ(MeasureNotes(minor, 2), expected) << before;
    }
}

TEST(ApplyMotif, StaysInTheRegister) {
    Song song(5);              // C major: the register is 63..85
    song.SetSlotDegree(4, 6);  // A C E
    WriteNotes(song, {{0, 79}, {4, 83}, {8, 84}, {12, 81}});
    ApplyMotif(song);
    // From A, the nearest tone, the shape would reach D 86. From E it fits.
    EXPECT_EQ(MeasureNotes(song, 2), (Notes{{0, 76}, {4, 79}, {8, 81}, {12, 77}}));
}

TEST(ApplyMotif, LeavesAFixedOrEmptyCaseAlone) {
    for (FixedKind kind : kFixedKinds) {
        Song song(5);
        song.flags.Set(2, kind, true);
        WriteNotes(song, {{0, 72}, {4, 74}, {8, 76}, {32, 67}, {40, 71}});
        const Melody before = Snapshot(song);
        ApplyMotif(song);
        EXPECT_EQ(Snapshot(song), before) << FixedIndex(kind);
    }
    // Measure 1 without a note.
    Song empty(5);
    WriteNotes(empty, {{16, 72}, {32, 67}});
    const Melody before = Snapshot(empty);
    ApplyMotif(empty);
    EXPECT_EQ(Snapshot(empty), before);
    // A fixed measure 1 is taken up like any other.
    Song fixedFirst(5);
    fixedFirst.flags.Set(0, FixedKind::Rhythm, true);
    fixedFirst.flags.Set(0, FixedKind::Melody, true);
    WriteNotes(fixedFirst, {{2, 72}, {6, 74}});
    ApplyMotif(fixedFirst);
    EXPECT_EQ(MeasureNotes(fixedFirst, 2), (Notes{{2, 71}, {6, 72}}));
}

// A song of random settings up to its generated melody.
void Compose(Song& song, std::mt19937& rng, bool finishProgression) {
    if (rng() % 2 == 1) {
        SwitchToMinor(song);
    }
    Transpose(song, 0, int(rng() % 12) - 6);
    ApplyMelodyStyle(song, rng() % 2 == 1 ? MelodyStyle::MoreQuarters : MelodyStyle::MoreEighths);
    GenerateProgression(song, FirstChord(rng() % 3), int(rng() % 7));
    if (finishProgression) {
        FinishProgression(song);
    }
    GenerateMelody(song);
}

TEST(PolishMelody, WithNeitherBoxTheMelodyStaysAsGenerated) {
    std::mt19937 rng(3);
    for (int i = 0; i < 50; ++i) {
        Song song{uint32_t(rng())};
        Compose(song, rng, false);
        const Melody generated = Snapshot(song);
        PolishMelody(song, {});
        EXPECT_EQ(Snapshot(song), generated) << i;
    }
}

TEST(PolishMelody, MeasureThreeIsFinishedChangingOnlyWhatTheRulesDemand) {
    Song song(5);  // I I IV IV V V I I
    // C D E G over I, D passing. Taken up over V: B C D F, where F on beat 4
    // is no chord tone and is reached by a leap.
    WriteNotes(song, {{0, 72}, {4, 74}, {8, 76}, {12, 79}, {16, 77}, {48, 72}});
    PolishMelody(song, {.finish = true, .motif = true});
    const Notes third = MeasureNotes(song, 2);
    ASSERT_EQ(third.size(), 4u);
    EXPECT_EQ((Notes{third[0], third[1], third[2]}), (Notes{{0, 71}, {4, 72}, {8, 74}}));
    EXPECT_NE(third[3].second, 77);
    EXPECT_GT(third[3].second, 74);  // still rising, as G does in measure 1
    EXPECT_EQ(MeasureNotes(song, 0), (Notes{{0, 72}, {4, 74}, {8, 76}, {12, 79}}));
    ExpectKeepsToTheRules(song);
}

TEST(PolishMelody, GeneratedSongsWithBothBoxes) {
    std::mt19937 rng(11);
    int counted = 0;
    int kept = 0;
    for (int i = 0; i < 200; ++i) {
        const uint32_t seed = uint32_t(rng());
        std::mt19937 settings(rng());
        Song both{seed};
        Song finished{seed};
        std::mt19937 same = settings;
        Compose(both, settings, true);
        Compose(finished, same, true);
        PolishMelody(both, {.finish = true, .motif = true});
        PolishMelody(finished, {.finish = true});
        SCOPED_TRACE(i);
        ExpectKeepsToTheRules(both);
        // Measure 1 is the finished one, and measure 3 has its rhythm.
        EXPECT_EQ(MeasureNotes(both, 0), MeasureNotes(finished, 0));
        const MelodyFigures f = MeasureMelody(both);
        EXPECT_DOUBLE_EQ(f.rhythmMatch, 1.0);
        counted += f.motifCounted ? 1 : 0;
        kept += f.motifCounted && f.motifKept ? 1 : 0;
        // Finishing again changes nothing.
        const Melody polished = Snapshot(both);
        FinishMelody(both);
        EXPECT_EQ(Snapshot(both), polished);
    }
    EXPECT_GT(counted, 100);
    EXPECT_GE(kept, counted * 9 / 10);
}

TEST(PolishMelody, MakesNoRandomDraw) {
    std::mt19937 rng(4);
    for (int i = 0; i < 20; ++i) {
        const uint32_t seed = uint32_t(rng());
        std::mt19937 settings(rng());
        std::mt19937 same = settings;
        Song ticked{seed};
        Song unticked{seed};
        Compose(ticked, settings, true);
        Compose(unticked, same, false);
        PolishMelody(ticked, {.finish = true, .motif = true});
        EXPECT_EQ(ticked.random.State(), unticked.random.State()) << i;
        // The next melody starts from the same draws: the same rhythm.
        GenerateMelody(ticked);
        GenerateMelody(unticked);
        EXPECT_EQ(Snapshot(ticked).marks, Snapshot(unticked).marks) << i;
    }
}

}  // namespace
}  // namespace tontoko
