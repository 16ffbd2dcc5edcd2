// Songs composed as tontoko-compose composes them, through the document,
// opened again: Open then Save writes the same bytes, song after song of a
// run whose writer carries its last notes.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "document/SongDocument.h"
#include "render/SongFileReader.h"

namespace tontoko {
namespace {

const std::filesystem::path kData = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";

int Draw(std::mt19937& rng, int n) {
    return int(rng() % unsigned(n));
}

// A composer run's settings, drawn: the key and mode, style, tempo, first
// chord, patterns, sounds, volumes, fade, interval, drums and the boxes.
void Settle(SongDocument& song, std::mt19937& rng, bool& randomSounds) {
    if (Draw(rng, 2)) {
        song.SetMode(Mode::Minor);
    }
    song.Transpose(Draw(rng, 12) - 6);
    const int style = Draw(rng, 3);
    if (style < 2) {
        song.SetMelodyStyle(style ? MelodyStyle::MoreEighths : MelodyStyle::MoreQuarters);
    }
    song.SetTempo(40 + 5 * Draw(rng, 41));
    song.SetInterval(Draw(rng, 5));
    const int first = Draw(rng, 8);
    song.SetFirstChord(first == 7   ? FirstChord::Random
                       : first == 0 ? FirstChord::One
                                    : FirstChord::Self);
    song.SetFirstChordIndex(first % 7);
    song.SetAccPattern(Draw(rng, int(song.Patterns().acc.size())));
    song.SetDrumsOn(Draw(rng, 4) != 0);
    song.SetDrumPattern(Draw(rng, int(song.Patterns().drums.size())));
    song.SetProgram(Instrument::Melody, Draw(rng, 128));
    song.SetProgram(Instrument::Accompaniment, Draw(rng, 128));
    song.SetProgram(Instrument::Bass, Draw(rng, 128));
    song.SetDrumSet(Draw(rng, 9));
    randomSounds = Draw(rng, 4) == 0;
    for (VolumeGroup group :
         {VolumeGroup::Melody, VolumeGroup::Accompaniment, VolumeGroup::Bass, VolumeGroup::Drums}) {
        if (Draw(rng, 3) == 0) {
            song.SetVolume(group, 5 * Draw(rng, 25));
        }
    }
    song.SetFade(FadeMode(Draw(rng, 3)));
    song.SetFinish(Draw(rng, 3) == 0);
    song.SetMotif(Draw(rng, 4) == 0);
}

TEST(OpenRoundTrip, AThousandComposedSongsOpenAndSaveTheirOwnBytes) {
    std::mt19937 rng(1000);
    int songs = 0;
    while (songs < 1000) {
        SongDocument composer{uint32_t(rng())};
        composer.LoadPatterns(kData);
        bool randomSounds = false;
        Settle(composer, rng, randomSounds);
        // A run of several songs: the writer carries last notes from one to
        // the next.
        for (int i = 0, count = 1 + Draw(rng, 4); i < count; ++i, ++songs) {
            ASSERT_TRUE(composer.GenerateChords().generated);
            composer.GenerateMelody();
            if (randomSounds) {
                composer.RandomSounds();
            }
            const std::vector<uint8_t> bytes = composer.Write();

            // Opened in a window of its own, which starts as at start-up.
            SongDocument window(7);
            window.LoadPatterns(kData);
            const SongFileReading reading =
                ReadSongFile(bytes, window.Patterns(), window.Reading());
            ASSERT_TRUE(reading.Ok()) << songs << ": " << reading.detail;
            window.Open(reading.contents);
            ASSERT_EQ(window.Write(), bytes) << "song " << songs;
            // What the file fixes is the composer's.
            const SongState& a = window.Current();
            const SongState& b = composer.Current();
            EXPECT_EQ(a.parts[0].marks, b.parts[0].marks) << songs;
            EXPECT_EQ(a.tempo, b.tempo);
            EXPECT_EQ(a.interval, b.interval);
            EXPECT_EQ(a.programs, b.programs);
        }
    }
}

}  // namespace
}  // namespace tontoko
