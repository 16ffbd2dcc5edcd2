// How finished songs sound compared with plain ones, as a listener counts it:
// the share of melody notes that clash with their chord, the share of songs
// whose last chord is I, and the share whose last note is the tonic. The same
// 1,000 settings are composed with and without finishing and the figures are
// printed.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "engine/Finish.h"
#include "engine/Harmony.h"
#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"

namespace tontoko {
namespace {

struct Figures {
    int notes = 0;
    int clashes = 0;
    int outsideRegister = 0;
    int songs = 0;
    int endOnI = 0;
    int endOnTonic = 0;

    double ClashRate() const { return double(clashes) / notes; }
    double ShareOnI() const { return double(endOnI) / songs; }
    double ShareOnTonic() const { return double(endOnTonic) / songs; }
};

// Counts one song. The tonic is found by its name on screen: "ド" in major,
// "ラ" in minor.
void Count(const Song& song, int key, Figures& figures) {
    const NoteRange range = MelodyRegister(song);
    int last = -1;
    for (int s = 0; s < kSongSteps; ++s) {
        if (song.MelodyRhythm().Mark(s) == 0) {
            continue;
        }
        ++figures.notes;
        figures.clashes +=
            Clashes(song.MelodyPitches().Pitch(s), song.ChordSlot(SlotOfStep(s))) ? 1 : 0;
        figures.outsideRegister += range.Contains(song.MelodyPitches().Pitch(s)) ? 0 : 1;
        last = s;
    }
    ++figures.songs;
    figures.endOnI += song.SlotDegree(7) == 1 ? 1 : 0;
    const char* tonic = song.dur.Mode() == 1 ? "ラ" : "ド";
    figures.endOnTonic +=
        last >= 0 && DisplayName(song.melody, song.MelodyPitches().Pitch(last), key) == tonic ? 1
                                                                                              : 0;
}

Figures Measure(bool finish) {
    std::mt19937 rng(7);
    Figures figures;
    for (int i = 0; i < 1000; ++i) {
        Song song{uint32_t(rng())};
        if (rng() % 2 == 1) {
            SwitchToMinor(song);
        }
        const int key = int(rng() % 12) - 6;
        for (int p = 0; p != key; p += key > 0 ? 1 : -1) {
            Transpose(song, p, p + (key > 0 ? 1 : -1));
        }
        ApplyMelodyStyle(song,
                         rng() % 2 == 1 ? MelodyStyle::MoreQuarters : MelodyStyle::MoreEighths);
        const FirstChord first = FirstChord(rng() % 3);
        const int self = int(rng() % 7);
        GenerateProgression(song, first, self);
        if (finish) {
            FinishProgression(song);
        }
        GenerateMelody(song);
        if (finish) {
            FinishMelody(song);
        }
        Count(song, key, figures);
    }
    return figures;
}

TEST(FinishFigures, ThousandSongsWithAndWithoutFinishing) {
    const Figures plain = Measure(false);
    const Figures finished = Measure(true);
    for (const auto& [label, f] : {std::pair{"without finishing", plain}, {"finished", finished}}) {
        std::printf(
            "%-18s %d songs, %d notes: clash rate %.1f %%, ending on I %.1f %%, "
            "last note the tonic %.1f %%, %d notes outside the register\n",
            label, f.songs, f.notes, 100.0 * f.ClashRate(), 100.0 * f.ShareOnI(),
            100.0 * f.ShareOnTonic(), f.outsideRegister);
    }
    // The same settings and draws: the same rhythms, so the same notes.
    EXPECT_EQ(plain.notes, finished.notes);
    EXPECT_EQ(finished.clashes, 0);
    EXPECT_EQ(finished.outsideRegister, 0);
    EXPECT_EQ(finished.endOnI, finished.songs);
    EXPECT_EQ(finished.endOnTonic, finished.songs);
    // The plain songs are the generators' own: they do clash and stop elsewhere.
    EXPECT_GT(plain.clashes, 0);
    EXPECT_LT(plain.endOnI, plain.songs);
    EXPECT_LT(plain.endOnTonic, plain.songs);
}

}  // namespace
}  // namespace tontoko
