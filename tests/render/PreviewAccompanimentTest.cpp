// The accompaniment the piano roll draws is the one the next rendering writes,
// and computing it changes nothing that a later Save or Play would write.
#include <gtest/gtest.h>

#include <vector>

#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"

namespace tontoko {
namespace {

PatternLibrary Library() {
    PatternLibrary library;
    LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
    return library;
}

// A generated song in a moved minor key whose accompaniment voices already
// hold the notes of an earlier rendering with another pattern.
void Compose(Song& song, const PatternLibrary& library) {
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    GenerateProgression(song, FirstChord::Random, 0);
    GenerateMelody(song);
    Transpose(song, 0, 3);
    SwitchToMinor(song);
    RenderSong(song, library, RenderChoice{true, 1, 2});
}

std::vector<uint8_t> Bytes(Song& song) {
    SStandardMidi writer;
    writer.SetInterval(1);
    std::vector<uint8_t> bytes;
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, SoundSettings{});
    return bytes;
}

TEST(PreviewAccompaniment, IsWhatTheNextRenderingWritesForEveryPattern) {
    const PatternLibrary library = Library();
    ASSERT_GE(library.acc.size(), 4u);
    for (int pattern = 0; pattern < int(library.acc.size()); ++pattern) {
        Song song(4242);
        Compose(song, library);
        const RenderChoice choice{true, pattern, 0};
        const AccompanimentVoices preview = PreviewAccompaniment(song, library, choice);
        RenderSong(song, library, choice);
        for (int v = 0; v < 4; ++v) {
            for (int s = 0; s <= kSongSteps; ++s) {
                ASSERT_EQ(preview.rhythms[v].Mark(s), song.rhythms[v].Mark(s))
                    << "pattern " << pattern << " voice " << v << " step " << s;
                ASSERT_EQ(preview.pitches[v].Pitch(s), song.melodies[v].Pitch(s))
                    << "pattern " << pattern << " voice " << v << " step " << s;
            }
        }
    }
}

TEST(PreviewAccompaniment, LeavesTheSongAndItsBytesAsTheyWere) {
    const PatternLibrary library = Library();
    Song previewed(99);
    Song untouched(99);
    Compose(previewed, library);
    Compose(untouched, library);
    // The fourth pattern adds an octave on beats two and four in place: done on
    // the song it would pile up with each preview.
    for (int i = 0; i < 3; ++i) {
        PreviewAccompaniment(previewed, library, RenderChoice{true, 3, 1});
    }
    EXPECT_EQ(previewed.random.State(), untouched.random.State());
    for (int v = 0; v < kVoiceCount; ++v) {
        for (int s = 0; s <= kSongSteps; ++s) {
            ASSERT_EQ(previewed.rhythms[v].Mark(s), untouched.rhythms[v].Mark(s));
            ASSERT_EQ(previewed.melodies[v].Pitch(s), untouched.melodies[v].Pitch(s));
        }
    }
    const RenderChoice choice{true, 3, 1};
    RenderSong(previewed, library, choice);
    RenderSong(untouched, library, choice);
    EXPECT_EQ(Bytes(previewed), Bytes(untouched));
}

TEST(PreviewAccompaniment, FollowsTheChordsOfTheSong) {
    const PatternLibrary library = Library();
    Song song(5);
    for (int slot = 0; slot < kChordSlots; ++slot) {
        song.SetSlotDegree(slot, 5);  // V everywhere: bass G (43)
    }
    const AccompanimentVoices voices = PreviewAccompaniment(song, library, RenderChoice{});
    int basses = 0;
    for (int s = 0; s < kSongSteps; ++s) {
        if (voices.rhythms[0].Mark(s) == 1) {
            EXPECT_EQ(voices.pitches[0].Pitch(s), 43) << s;
            ++basses;
        }
    }
    EXPECT_GT(basses, 0);
}

}  // namespace
}  // namespace tontoko
