#include <gtest/gtest.h>

#include <array>
#include <string>

#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"

namespace tontoko {
namespace {

std::string Onsets(std::initializer_list<int> steps, char mark = '1') {
    std::string part(64, '0');
    for (int s : steps) {
        part[static_cast<size_t>(s)] = mark;
    }
    return part;
}

// Four accompaniment patterns whose parts all strike every beat, so that the
// fourth one (position 3) shows the octave jump, and one drum pattern.
PatternLibrary BeatLibrary() {
    PatternLibrary library;
    std::string everyBeat(64, '0');
    for (int s = 0; s < 64; s += 4) {
        everyBeat[static_cast<size_t>(s)] = '1';
    }
    for (int a = 0; a < 4; ++a) {
        AccPattern pattern;
        pattern.name = "acc" + std::to_string(a);
        pattern.parts.fill(everyBeat);
        library.acc.push_back(pattern);
    }
    DrumPattern drums;
    drums.name = "drums";
    drums.notes = {36, 38, 42, 46, 49};
    drums.parts = {Onsets({0, 8}), Onsets({4, 12}), everyBeat, Onsets({14}), Onsets({0})};
    library.drums.push_back(drums);
    return library;
}

std::array<int, 4> VoicesAtStep(const Song& song, int step) {
    return {song.melodies[0].Pitch(step), song.melodies[1].Pitch(step),
            song.melodies[2].Pitch(step), song.melodies[3].Pitch(step)};
}

// The voicing of every degree, bass and three upper voices, in C major.
constexpr std::array<std::array<int, 4>, 7> kCMajorVoicing = {{
    {48, 55, 64, 60},
    {50, 57, 65, 62},
    {40, 59, 55, 64},
    {41, 60, 57, 65},
    {43, 62, 59, 55},
    {45, 64, 60, 57},
    {47, 65, 62, 59},
}};

TEST(RenderSong, VoicingOfEveryDegreeInCMajorAndAfterAKeyChange) {
    const PatternLibrary library = BeatLibrary();
    for (int shift : {0, 2, -6, 5}) {
        Song song(1);
        if (shift != 0) {
            Transpose(song, 0, shift);
        }
        for (int degree = 1; degree <= 7; ++degree) {
            for (int slot = 0; slot < kChordSlots; ++slot) {
                song.SetSlotDegree(slot, degree);
            }
            RenderSong(song, library, {true, 0, 0});
            std::array<int, 4> expected = kCMajorVoicing[static_cast<size_t>(degree - 1)];
            for (int& note : expected) {
                note += shift;
            }
            for (int step = 0; step < 64; step += 4) {
                EXPECT_EQ(VoicesAtStep(song, step), expected)
                    << "degree " << degree << " shift " << shift << " step " << step;
            }
            // The upper voices stay within one octave and a little.
            for (int v = 1; v <= 3; ++v) {
                EXPECT_GE(song.melodies[v].Pitch(0), 55 + shift);
                EXPECT_LE(song.melodies[v].Pitch(0), 65 + shift);
            }
        }
    }
}

TEST(RenderSong, MinorModeVoicesTheMovedNotes) {
    const PatternLibrary library = BeatLibrary();
    Song song(1);
    SwitchToMinor(song);
    // A minor: node I is 57, 60, 64 with bass 45; its fifth drops an octave.
    RenderSong(song, library, {true, 0, 0});
    EXPECT_EQ(VoicesAtStep(song, 0), (std::array<int, 4>{45, 52, 60, 57}));
}

TEST(RenderSong, ChordOfTheHalfMeasureGovernsEachOnset) {
    PatternLibrary library;
    AccPattern pattern;
    pattern.parts.fill(Onsets({0, 7, 8, 15, 16}));
    library.acc.push_back(pattern);
    Song song(1);
    song.SetSlotDegree(0, 1);
    song.SetSlotDegree(1, 5);
    song.SetSlotDegree(2, 6);
    RenderSong(song, library, {false, 0, 0});
    EXPECT_EQ(VoicesAtStep(song, 7), (std::array<int, 4>{48, 55, 64, 60}));
    EXPECT_EQ(VoicesAtStep(song, 8), (std::array<int, 4>{43, 62, 59, 55}));
    EXPECT_EQ(VoicesAtStep(song, 15), (std::array<int, 4>{43, 62, 59, 55}));
    EXPECT_EQ(VoicesAtStep(song, 16), (std::array<int, 4>{45, 64, 60, 57}));
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(song.melodies[v].Pitch(64), 0);
        EXPECT_EQ(song.rhythms[v].Mark(7), 1);
        EXPECT_EQ(song.rhythms[v].Mark(1), 0);
    }
}

TEST(RenderSong, FourthPatternJumpsAnOctaveOnBeatsTwoAndFour) {
    const PatternLibrary library = BeatLibrary();
    Song song(1);
    for (int slot = 0; slot < kChordSlots; ++slot) {
        song.SetSlotDegree(slot, 1);
    }
    RenderSong(song, library, {true, 3, 0});
    for (int step = 0; step < 64; step += 4) {
        const bool up = (step / 4) % 2 == 1;
        EXPECT_EQ(song.melodies[3].Pitch(step), up ? 72 : 60) << step;
        EXPECT_EQ(song.melodies[0].Pitch(step), up ? 60 : 48) << step;
    }
    // Steps without an onset move as well (steps 4..7 of each odd beat).
    EXPECT_EQ(song.melodies[3].Pitch(5), 12);
    EXPECT_EQ(song.melodies[3].Pitch(1), 0);

    // The third pattern, with the same parts, stays put.
    Song plain(1);
    for (int slot = 0; slot < kChordSlots; ++slot) {
        plain.SetSlotDegree(slot, 1);
    }
    RenderSong(plain, library, {true, 2, 0});
    EXPECT_EQ(plain.melodies[3].Pitch(4), 60);
}

TEST(RenderSong, DrumVoicesFollowThePatternAndTheSwitch) {
    const PatternLibrary library = BeatLibrary();
    Song song(1);
    RenderSong(song, library, {false, 0, 0});
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        EXPECT_EQ(song.rhythms[v].Channel(), v) << "channels move only when drums are on";
    }

    RenderSong(song, library, {true, 0, 0});
    const DrumPattern& drums = library.drums[0];
    for (int j = 0; j < 5; ++j) {
        const int v = kFirstDrumVoice + j;
        EXPECT_EQ(song.rhythms[v].Channel(), kDrumChannel);
        for (int s = 0; s < 64; ++s) {
            EXPECT_EQ(song.rhythms[v].Mark(s), drums.parts[j][s] - '0');
            EXPECT_EQ(song.melodies[v].Pitch(s), drums.notes[j]);
        }
    }

    RenderSong(song, library, {false, 0, 0});
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        EXPECT_EQ(song.rhythms[v].Channel(), kDrumChannel);
        EXPECT_EQ(song.melodies[v].Pitch(0), drums.notes[v - kFirstDrumVoice]);
        for (int s = 0; s < 64; ++s) {
            EXPECT_EQ(song.rhythms[v].Mark(s), 0);
        }
    }
}

TEST(RenderSong, MarksAboveOneStartNotesWithoutChordNotes) {
    PatternLibrary library;
    AccPattern pattern;
    pattern.parts.fill(Onsets({0}));
    pattern.parts[1] = Onsets({0, 4});
    pattern.parts[1][4] = '2';
    library.acc.push_back(pattern);
    Song song(1);
    RenderSong(song, library, {false, 0, 0});
    EXPECT_EQ(song.rhythms[1].Mark(4), 2);
    EXPECT_EQ(song.melodies[1].Pitch(4), 0);
    EXPECT_EQ(song.melodies[1].Pitch(0), 55);
}

TEST(RenderSong, MissingPatternsLeaveTheirVoicesSilent) {
    const PatternLibrary full = BeatLibrary();
    const PatternLibrary empty;
    Song song(7);
    RenderSong(song, full, {true, 0, 0});
    ASSERT_EQ(song.rhythms[0].Mark(0), 1);

    for (const RenderChoice& choice :
         {RenderChoice{true, -1, -1}, RenderChoice{true, 0, 0}, RenderChoice{true, 3, 9}}) {
        RenderSong(song, empty, choice);
        for (int v = 0; v < kVoiceCount; ++v) {
            if (v == kMelodyVoice) {
                continue;
            }
            for (int s = 0; s < 64; ++s) {
                EXPECT_EQ(song.rhythms[v].Mark(s), 0) << "voice " << v << " step " << s;
            }
        }
    }
    // An index past the end of a non-empty library is no different.
    RenderSong(song, full, {true, 4, 1});
    EXPECT_EQ(song.rhythms[0].Mark(0), 0);
    EXPECT_EQ(song.rhythms[kFirstDrumVoice].Mark(0), 0);
}

TEST(RenderSong, MelodyVoiceIsLeftAsItIs) {
    const PatternLibrary library = BeatLibrary();
    Song song(99);
    ApplyMelodyStyle(song, MelodyStyle::MoreQuarters);
    GenerateProgression(song, FirstChord::One, 0);
    GenerateMelody(song);
    const SRhythmGenerate rhythm = song.MelodyRhythm();
    const SMelodyGenerate pitches = song.MelodyPitches();
    const uint32_t randomState = song.random.State();
    RenderSong(song, library, {true, 3, 0});
    for (int s = 0; s <= 64; ++s) {
        EXPECT_EQ(song.MelodyRhythm().Mark(s), rhythm.Mark(s));
        EXPECT_EQ(song.MelodyPitches().Pitch(s), pitches.Pitch(s));
    }
    EXPECT_EQ(song.random.State(), randomState) << "rendering draws no random numbers";
}

}  // namespace
}  // namespace tontoko
