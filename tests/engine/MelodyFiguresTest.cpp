// The figures by which melodies are compared with real tunes: first on a
// melody counted by hand, then over 1,000 songs of random settings, as the
// generators leave them, finished, finished with the motif, and with the motif
// alone. The table is printed for the record.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <random>
#include <utility>

#include "engine/Finish.h"
#include "engine/KeyChange.h"
#include "engine/MelodyFigures.h"
#include "engine/MelodyGenerator.h"
#include "engine/Polish.h"
#include "engine/Song.h"

namespace tontoko {
namespace {

void WriteNotes(Song& song, std::initializer_list<std::pair<int, int>> notes) {
    for (auto [step, pitch] : notes) {
        song.MelodyRhythm().SetMark(step, 1);
        song.MelodyPitches().SetPitch(step, uint8_t(pitch));
    }
}

TEST(MelodyFigures, CountAsDefined) {
    Song song(1);  // C major
    for (int slot = 0; slot < kChordSlots; ++slot) {
        song.SetSlotDegree(slot, 1);  // C E G
    }
    // Measure 1: C D E F F, D passing, F on beat 3 no chord tone and not left
    // by step. Measure 2: A on beat 1. Measure 3: G A B C C, measure 1's
    // onsets and contour (up, up, up, same). Measure 4: C.
    WriteNotes(song, {{0, 72},
                      {2, 74},
                      {4, 76},
                      {8, 77},
                      {12, 77},
                      {16, 81},
                      {32, 67},
                      {34, 69},
                      {36, 71},
                      {40, 72},
                      {44, 72},
                      {48, 72}});
    MelodyFigures f = MeasureMelody(song);
    EXPECT_EQ(f.notes, 12);
    EXPECT_EQ(f.intervals, 11);
    EXPECT_EQ(f.steps, 6);    // D E F, G A B C
    EXPECT_EQ(f.repeats, 3);  // F F, C C, C C
    EXPECT_EQ(f.beatNotes, 6);
    EXPECT_EQ(f.beatChordTones, 4);   // not F, not A
    EXPECT_EQ(f.chordOrStepwise, 9);  // not F, F, A
    EXPECT_TRUE(f.endsOnI);
    EXPECT_TRUE(f.endsOnTonic);
    EXPECT_TRUE(f.motifCounted);
    EXPECT_TRUE(f.motifKept);
    EXPECT_DOUBLE_EQ(f.rhythmMatch, 1.0);

    // The last C of measure 3 rising to D turns the contour; moved to step
    // 14 it changes the rhythm in two sixteenths.
    song.MelodyPitches().SetPitch(44, 74);
    EXPECT_FALSE(MeasureMelody(song).motifKept);
    song.MelodyPitches().SetPitch(44, 72);
    song.MelodyRhythm().SetMark(44, 0);
    WriteNotes(song, {{46, 72}});
    f = MeasureMelody(song);
    EXPECT_FALSE(f.motifKept);
    EXPECT_DOUBLE_EQ(f.rhythmMatch, 1.0 - 2.0 / 16);
    // Measure 4 on V, and a last note that is not the tonic.
    song.SetSlotDegree(7, 5);
    song.MelodyPitches().SetPitch(48, 74);
    f = MeasureMelody(song);
    EXPECT_FALSE(f.endsOnI);
    EXPECT_FALSE(f.endsOnTonic);
}

TEST(MelodyFigures, SharesAreAveragedOverSongs) {
    MelodyFigures a;
    a.intervals = 10;
    a.steps = 5;
    a.motifCounted = true;
    a.motifKept = true;
    MelodyFigures b;
    b.intervals = 2;
    b.steps = 2;
    b.motifCounted = false;  // measure 1 with fewer than three notes
    MelodyAverages averages;
    averages.Add(a);
    averages.Add(b);
    EXPECT_DOUBLE_EQ(averages.Steps(), (0.5 + 1.0) / 2);  // not 7 / 12
    EXPECT_DOUBLE_EQ(averages.MotifKept(), 1.0);
    EXPECT_EQ(averages.Songs(), 2);
}

struct Column {
    const char* label;
    bool finish;
    bool motif;
};

// 1,000 songs of random settings (mode, key, style, first chord) composed
// with the boxes of `column`, as the window does: the progression finished
// when finishing, the melody generated and then polished.
MelodyAverages Measure(const Column& column) {
    std::mt19937 rng(7);
    MelodyAverages averages;
    for (int i = 0; i < 1000; ++i) {
        Song song{uint32_t(rng())};
        if (rng() % 2 == 1) {
            SwitchToMinor(song);
        }
        Transpose(song, 0, int(rng() % 12) - 6);
        ApplyMelodyStyle(song,
                         rng() % 2 == 1 ? MelodyStyle::MoreQuarters : MelodyStyle::MoreEighths);
        const FirstChord first = FirstChord(rng() % 3);
        GenerateProgression(song, first, int(rng() % 7));
        if (column.finish) {
            FinishProgression(song);
        }
        GenerateMelody(song);
        PolishMelody(song, {.finish = column.finish, .motif = column.motif});
        averages.Add(MeasureMelody(song));
    }
    return averages;
}

TEST(MelodyFigures, ThousandSongsReachTheGoals) {
    const Column columns[] = {{"unticked", false, false},
                              {"finishing", true, false},
                              {"finishing with the motif", true, true},
                              {"the motif alone", false, true}};
    MelodyAverages figures[4];
    for (int c = 0; c < 4; ++c) {
        figures[c] = Measure(columns[c]);
    }
    std::printf("| figure |");
    for (const Column& column : columns) {
        std::printf(" %s |", column.label);
    }
    std::printf("\n|---|---|---|---|---|\n");
    auto row = [&](const char* name, double (MelodyAverages::*share)() const, bool percent) {
        std::printf("| %s |", name);
        for (const MelodyAverages& f : figures) {
            if (percent) {
                std::printf(" %.0f %% |", 100.0 * (f.*share)());
            } else {
                std::printf(" %.2f |", (f.*share)());
            }
        }
        std::printf("\n");
    };
    row("steps", &MelodyAverages::Steps, true);
    row("repeated notes", &MelodyAverages::Repeats, true);
    row("chord tones on beats 1 and 3", &MelodyAverages::BeatChordTones, true);
    row("chord tones and stepwise non-chord tones", &MelodyAverages::ChordOrStepwise, true);
    row("measure 4 I I", &MelodyAverages::EndsOnI, true);
    row("last note the tonic", &MelodyAverages::EndsOnTonic, true);
    row("measure 3 keeps measure 1's rhythm and contour", &MelodyAverages::MotifKept, true);
    row("rhythm of measure 1 against measure 3", &MelodyAverages::RhythmMatch, false);

    const MelodyAverages& plain = figures[0];
    const MelodyAverages& finished = figures[1];
    const MelodyAverages& both = figures[2];
    const MelodyAverages& motif = figures[3];
    // The generators' own melodies miss what the boxes are for.
    EXPECT_LT(plain.BeatChordTones(), 0.8);
    EXPECT_LT(plain.MotifKept(), 0.05);
    EXPECT_LT(plain.RhythmMatch(), 0.9);
    // The goals of finishing, with and without the motif.
    for (const MelodyAverages* f : {&finished, &both}) {
        EXPECT_GE(f->BeatChordTones(), 0.95);
        EXPECT_GE(f->ChordOrStepwise(), 0.97);
        EXPECT_DOUBLE_EQ(f->EndsOnI(), 1.0);
        EXPECT_DOUBLE_EQ(f->EndsOnTonic(), 1.0);
    }
    EXPECT_LE(finished.Repeats(), 0.15);
    EXPECT_GE(finished.Steps(), 0.45);
    // The goals of the motif, with and without finishing: measure 3 is never
    // fixed here.
    for (const MelodyAverages* f : {&both, &motif}) {
        EXPECT_DOUBLE_EQ(f->RhythmMatch(), 1.0);
        EXPECT_GE(f->MotifKept(), 0.90);
    }
}

}  // namespace
}  // namespace tontoko
