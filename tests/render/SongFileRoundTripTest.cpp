// Every song the writer makes reads back to contents that write exactly its
// bytes again: with the song's own values as the current ones the reading is
// the song itself, and from any other current values it is a reading that
// writes the same bytes and reads back to itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/ApplySongContents.h"
#include "render/SongFileReader.h"
#include "tests/render/SongFileTestSongs.h"

namespace tontoko {
namespace {

using testing::Revealed;
using testing::TestPatterns;
using testing::WriteTestSongs;
using testing::WrittenSong;

// Names the first field in which two contents differ, for a readable failure.
std::string FirstDifference(const SongFileContents& a, const SongFileContents& b) {
    if (a.tempo != b.tempo)
        return "tempo";
    if (a.transposition != b.transposition || a.mode != b.mode)
        return "key";
    if (a.parts.size() != b.parts.size())
        return "part count";
    for (size_t p = 0; p < a.parts.size(); ++p) {
        if (a.parts[p].degrees != b.parts[p].degrees)
            return "degrees of part " + std::to_string(p);
        if (a.parts[p].marks != b.parts[p].marks)
            return "marks of part " + std::to_string(p);
        if (a.parts[p].pitches != b.parts[p].pitches)
            return "pitches of part " + std::to_string(p);
        if (a.parts[p].fixed != b.parts[p].fixed)
            return "fixed of part " + std::to_string(p);
    }
    if (a.accPattern != b.accPattern || a.accPatternFound != b.accPatternFound)
        return "acc";
    if (a.drumsOn != b.drumsOn || a.drumPattern != b.drumPattern ||
        a.drumPatternFound != b.drumPatternFound)
        return "drums";
    if (a.melodyProgram != b.melodyProgram || a.accProgram != b.accProgram ||
        a.bassProgram != b.bassProgram || a.drumSet != b.drumSet)
        return "instruments";
    if (a.fade != b.fade)
        return "fade";
    if (a.interval != b.interval)
        return "interval";
    if (a.velocities != b.velocities)
        return "velocities";
    if (a.carriedNotes != b.carriedNotes)
        return "carried notes";
    if (a.drumChannels != b.drumChannels)
        return "drum channels";
    if (a.accompanimentPitches != b.accompanimentPitches)
        return "accompaniment pitches";
    if (a.chordsFound != b.chordsFound)
        return "chords found";
    return a == b ? "" : "?";
}

// More than a thousand songs: runs of one to three songs from one writer, of
// one to eight parts.
const std::vector<WrittenSong>& Songs(const PatternLibrary& library) {
    static const std::vector<WrittenSong> songs = WriteTestSongs(library, 520, 20261208);
    return songs;
}

TEST(SongFileRoundTrip, WithTheSongsOwnValuesTheReadingIsTheSong) {
    const PatternLibrary library = TestPatterns();
    ASSERT_GE(library.acc.size(), 9u);
    const std::vector<WrittenSong>& songs = Songs(library);
    ASSERT_GE(songs.size(), 1000u);
    int multiPart = 0;
    int later = 0;
    for (const WrittenSong& file : songs) {
        SCOPED_TRACE("run " + std::to_string(file.run) + " song " + std::to_string(file.index));
        multiPart += file.song.parts.size() > 1;
        later += file.index > 0;
        const SongFileReading own = ReadSongFile(file.bytes, library, file.song);
        ASSERT_TRUE(own.Ok()) << own.detail;
        ASSERT_EQ(FirstDifference(own.contents, Revealed(file.song, library)), "");
    }
    EXPECT_GE(multiPart, 250);
    EXPECT_GE(later, 300);
}

TEST(SongFileRoundTrip, AnyReadingWritesTheSameBytesAndReadsBackToItself) {
    const PatternLibrary library = TestPatterns();
    const std::vector<WrittenSong>& songs = Songs(library);
    ASSERT_GE(songs.size(), 1000u);
    const SongFileContents startUp;
    for (const WrittenSong& file : songs) {
        SCOPED_TRACE("run " + std::to_string(file.run) + " song " + std::to_string(file.index));
        const SongFileReading fresh = ReadSongFile(file.bytes, library, startUp);
        ASSERT_TRUE(fresh.Ok()) << fresh.detail;
        ASSERT_EQ(RewriteSongFile(fresh.contents, library), file.bytes);
        const SongFileReading again = ReadSongFile(file.bytes, library, fresh.contents);
        ASSERT_TRUE(again.Ok()) << again.detail;
        ASSERT_EQ(FirstDifference(again.contents, fresh.contents), "");
        // What the file fixes whatever the current values.
        EXPECT_EQ(fresh.contents.tempo, file.song.tempo);
        EXPECT_EQ(fresh.contents.interval, file.song.interval);
        EXPECT_EQ(fresh.contents.melodyProgram, file.song.melodyProgram);
        EXPECT_EQ(fresh.contents.drumSet, file.song.drumSet);
        EXPECT_EQ(fresh.contents.parts.size(), file.song.parts.size());
    }
}

}  // namespace
}  // namespace tontoko
