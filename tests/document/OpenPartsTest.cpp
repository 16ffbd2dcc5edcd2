// Songs of several parts through the document: a song of 2 to 8 parts opened
// writes its own bytes again, and songs joined by the chain dialog open as
// parts with every note at its step, after the first song's one lead-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <tuple>
#include <vector>

#include "document/SongDocument.h"
#include "render/JoinedSongContents.h"
#include "render/SongFileReader.h"
#include "render/SongLayout.h"

namespace tontoko {
namespace {

using Bytes = std::vector<uint8_t>;

const std::filesystem::path kData = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";
constexpr uint32_t kPartTicks = 1536;

// Generates `parts` parts, each a copy of the one before generated afresh.
void GenerateParts(SongDocument& song, int parts) {
    for (int p = 0; p < parts; ++p) {
        SongState state = song.Snapshot();
        state.partCount = uint8_t(p + 1);
        if (p > 0) {
            state.parts[p] = state.parts[p - 1];
        }
        song.Restore(state);
        song.SetPosition(p);
        ASSERT_TRUE(song.GenerateChords().generated);
        song.GenerateMelody();
    }
    song.SetPosition(0);
}

// The joins of the chain dialog, one after another.
Bytes Join(const std::vector<Bytes>& songs) {
    Bytes joined = songs.front();
    for (size_t k = 1; k < songs.size(); ++k) {
        joined.resize(joined.size() - 3);
        joined.insert(joined.end(), songs[k].begin() + 43, songs[k].end());
    }
    const uint32_t length = uint32_t(joined.size() - 22);
    for (int i = 0; i < 4; ++i) {
        joined[18 + i] = uint8_t(length >> (24 - 8 * i));
    }
    return joined;
}

// The notes that start (velocity above 0) from tick `from` to before `to`,
// as (tick after `from`, channel, key, velocity).
using Note = std::tuple<uint32_t, int, int, int>;
std::vector<Note> NotesBetween(const Bytes& bytes, uint32_t from, uint32_t to) {
    const SongLayoutScan scan = ScanSongLayout(bytes, true);
    EXPECT_EQ(scan.fault, LayoutFault::None) << scan.problem;
    std::vector<Note> notes;
    for (const LayoutNote& n : scan.notes) {
        if (n.velocity > 0 && n.tick >= from && n.tick < to) {
            notes.emplace_back(n.tick - from, n.channel, n.key, n.velocity);
        }
    }
    return notes;
}

TEST(OpenParts, SongsOfTwoToEightPartsOpenAndSaveTheirOwnBytes) {
    std::mt19937 rng(19);
    for (int round = 0; round < 28; ++round) {
        const int parts = 2 + round % 7;
        SongDocument composer{uint32_t(rng())};
        composer.LoadPatterns(kData);
        composer.SetMode(rng() % 2 ? Mode::Minor : Mode::Major);
        composer.Transpose(int(rng() % 12) - 6);
        composer.SetMelodyStyle(rng() % 2 ? MelodyStyle::MoreEighths : MelodyStyle::MoreQuarters);
        composer.SetTempo(40 + 5 * int(rng() % 41));
        composer.SetInterval(int(rng() % 5));
        composer.SetFade(FadeMode(rng() % 3));
        composer.SetVolume(VolumeGroup::Melody, 5 * int(rng() % 25));
        composer.SetAccPattern(int(rng() % composer.Patterns().acc.size()));
        composer.SetDrumsOn(rng() % 4 != 0);
        composer.SetDrumPattern(int(rng() % composer.Patterns().drums.size()));
        composer.SetFinish(rng() % 2 == 0);
        composer.SetMotif(rng() % 3 == 0);
        GenerateParts(composer, parts);
        // A run of two songs: the second starts from what the first left.
        for (int song = 0; song < 2; ++song) {
            if (song == 1) {
                GenerateParts(composer, parts);
            }
            const Bytes bytes = composer.Write();
            SongDocument window(7);
            window.LoadPatterns(kData);
            const SongFileReading reading =
                ReadSongFile(bytes, window.Patterns(), window.Reading());
            ASSERT_TRUE(reading.Ok()) << round << ": " << reading.detail;
            window.Open(reading.contents);
            EXPECT_EQ(window.Current().partCount, parts);
            ASSERT_EQ(window.Write(), bytes) << "round " << round << ", song " << song;
            for (int p = 0; p < parts; ++p) {
                EXPECT_EQ(window.Current().parts[p].marks, composer.Current().parts[p].marks);
                EXPECT_EQ(window.Current().parts[p].degrees, composer.Current().parts[p].degrees);
            }
        }
    }
}

// Songs of `parts` parts each, from one composer whose settings stay but for
// the lead-in, which changes from song to song.
std::vector<Bytes> SongsToJoin(const std::vector<int>& parts, uint32_t seed) {
    SongDocument composer(seed);
    composer.LoadPatterns(kData);
    composer.Transpose(2);
    std::vector<Bytes> songs;
    for (size_t k = 0; k < parts.size(); ++k) {
        composer.SetInterval(int(k * 3 + 1) % 5);
        GenerateParts(composer, parts[k]);
        songs.push_back(composer.Write());
    }
    return songs;
}

TEST(OpenParts, JoinedSongsOpenAsPartsWithEveryNoteAtItsStep) {
    const std::vector<std::vector<int>> cases{{1, 1}, {1, 1, 1, 1, 1, 1, 1, 1}, {2, 3}, {1, 4, 1}};
    for (const std::vector<int>& parts : cases) {
        SCOPED_TRACE(::testing::PrintToString(parts));
        const std::vector<Bytes> songs = SongsToJoin(parts, 1900 + uint32_t(parts.size()));
        SongDocument window(3);
        window.LoadPatterns(kData);
        const SongFileContents current = window.Reading();
        const SongFileReading reading = ReadSongFile(Join(songs), window.Patterns(), current);
        ASSERT_EQ(reading.problem, SongFileProblem::Joined) << reading.detail;
        ASSERT_EQ(reading.joinedSongs.size(), songs.size());
        const JoinedSong joined = JoinedSongContents(reading.joinedSongs, current);
        ASSERT_FALSE(joined.tooLong);
        // Only the lead-ins differ, and the first song's is taken.
        ASSERT_EQ(joined.differences.size(), 1u);
        EXPECT_EQ(joined.differences[0].setting, JoinedSetting::Interval);
        EXPECT_EQ(joined.differences[0].taken, 1);

        window.Open(joined.contents);
        const SongState& state = window.Current();
        EXPECT_EQ(state.interval, 1);
        EXPECT_EQ(state.transposition, 2);
        const Bytes written = window.Write();

        // Each song's notes, after its own lead-in, are the notes of its parts
        // after the one lead-in of the whole song.
        const uint32_t leadIn = 96 * state.interval;
        uint32_t start = leadIn;
        int total = 0;
        for (size_t k = 0; k < songs.size(); ++k) {
            const uint32_t ownLeadIn = 96 * uint32_t((k * 3 + 1) % 5);
            const uint32_t length = kPartTicks * uint32_t(parts[k]);
            const std::vector<Note> own = NotesBetween(songs[k], ownLeadIn, ownLeadIn + length);
            EXPECT_FALSE(own.empty());
            EXPECT_EQ(NotesBetween(written, start, start + length), own) << "song " << k + 1;
            start += length;
            total += parts[k];
        }
        EXPECT_EQ(state.partCount, total);
        EXPECT_TRUE(NotesBetween(written, start, UINT32_MAX).empty());
        EXPECT_TRUE(NotesBetween(written, 0, leadIn).empty());
    }
}

}  // namespace
}  // namespace tontoko
