// A chord chosen in a selector sounds as the song's accompaniment plays it: the
// bass and the three upper voices of that degree in the key and mode, on the
// preview channels, with the song's instruments and volumes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/KeyChange.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "sound/ChordAudition.h"

using namespace tontoko;

namespace {

// Bass, voice 1, voice 2, voice 3 of degrees I..VII with no transposition:
// C major, and A minor from its chord notes (tones 57 60 64, bass 45 for I...).
constexpr int kMajor[7][4] = {{48, 55, 64, 60}, {50, 57, 65, 62}, {40, 59, 55, 64},
                              {41, 60, 57, 65}, {43, 62, 59, 55}, {45, 64, 60, 57},
                              {47, 65, 62, 59}};
constexpr int kMinor[7][4] = {{45, 52, 60, 57}, {47, 53, 62, 59}, {36, 55, 52, 60},
                              {38, 57, 53, 62}, {40, 59, 55, 52}, {41, 60, 57, 53},
                              {43, 62, 59, 55}};

void MoveTo(Song& song, int t, int mode) {
    Transpose(song, 0, t);
    if (mode == 1) {
        SwitchToMinor(song);
    }
}

}  // namespace

TEST(ChordAudition, SoundsTheVoicingOfTheDegreeInTheKeyAndMode) {
    for (int mode = 0; mode < 2; ++mode) {
        for (int t : {0, 2, -5, 5}) {
            Song song(3);
            MoveTo(song, t, mode);
            song.melodies[0].SetVelocity(90);
            for (int v = 1; v <= 3; ++v) {
                song.melodies[v].SetVelocity(70);
            }
            for (int degree = 1; degree <= 7; ++degree) {
                const int* notes = (mode == 0 ? kMajor : kMinor)[degree - 1];
                const auto ch = [](int v) { return uint8_t(v == 0 ? 10 : 10 + v); };
                std::vector<LiveEvent> expected;
                expected.push_back({0, LiveEvent::Kind::Program, 10, 33, 0});
                for (int v = 1; v <= 3; ++v) {
                    expected.push_back({0, LiveEvent::Kind::Program, ch(v), 48, 0});
                }
                for (int v = 0; v < 4; ++v) {
                    expected.push_back({0, LiveEvent::Kind::NoteOn, ch(v), uint8_t(notes[v] + t),
                                        uint8_t(v == 0 ? 90 : 70)});
                }
                for (int v = 0; v < 4; ++v) {
                    expected.push_back(
                        {500, LiveEvent::Kind::NoteOff, ch(v), uint8_t(notes[v] + t), 0});
                }
                EXPECT_EQ(ChordAuditionEvents(song, degree, 48, 33), expected)
                    << "mode " << mode << " key " << t << " degree " << degree;
            }
        }
    }
}

TEST(ChordAudition, AgreesWithTheRenderedSong) {
    PatternLibrary library;
    const PatternLoadResult loaded = LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
    ASSERT_TRUE(loaded.accFileOpened);
    Song song(5);
    MoveTo(song, -2, 1);
    for (int slot = 0; slot < kChordSlots; ++slot) {
        song.SetSlotDegree(slot, 1 + slot % 7);
    }
    RenderSong(song, library, RenderChoice{false, 0, -1});
    for (int slot = 0; slot < kChordSlots; ++slot) {
        const std::vector<LiveEvent> events =
            ChordAuditionEvents(song, song.SlotDegree(slot), 0, 0, 250);
        ASSERT_EQ(events.size(), 12u);
        for (int v = 0; v < 4; ++v) {
            // The first onset of the voice in the slot's half measure.
            int s = 8 * slot;
            while (s < 8 * slot + 8 && song.rhythms[v].Mark(s) != 1) {
                ++s;
            }
            ASSERT_LT(s, 8 * slot + 8) << "voice " << v << " slot " << slot;
            EXPECT_EQ(events[4 + v].data1, song.melodies[v].Pitch(s)) << "slot " << slot;
            EXPECT_EQ(events[8 + v].ms, 250);
        }
    }
    EXPECT_TRUE(ChordAuditionEvents(song, 0, 0, 0).empty());
    EXPECT_TRUE(ChordAuditionEvents(song, 8, 0, 0).empty());
}
