// The song file reader on any bytes: a song or a reason, never a crash. A
// song it reads gives valid contents; written again it is a file the reader
// takes and reads back to the same song (the same bytes, where its patterns
// were found and it holds no melody note 0 of an older writer). Joined songs
// are counted and, up to eight, read one by one the same way.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "FuzzEntry.h"
#include "render/ApplySongContents.h"
#include "render/PatternLibrary.h"
#include "render/SongFileReader.h"

namespace {

using tontoko::SongFileContents;

const tontoko::PatternLibrary& Library() {
    static const tontoko::PatternLibrary library = [] {
        tontoko::PatternLibrary patterns;
        tontoko::LoadPatterns(patterns, std::filesystem::path(TONTOKO_FUZZ_DATA));
        return patterns;
    }();
    return library;
}

// Current values that vary with the input, so that every reading order is
// walked: key, mode, patterns, drum switch and fade.
SongFileContents CurrentFor(size_t size) {
    SongFileContents current;
    current.transposition = static_cast<int>(size % 12) - 6;
    current.mode = static_cast<tontoko::Mode>(size / 12 % 2);
    current.accPattern = static_cast<int>(size / 3 % 8) - 1;
    current.drumPattern = static_cast<int>(size / 5 % 8) - 1;
    current.drumsOn = size % 3 != 0;
    current.fade = static_cast<tontoko::FadeMode>(size / 7 % 3);
    return current;
}

void CheckValid(const SongFileContents& song) {
    TONTOKO_FUZZ_CHECK(!song.parts.empty() && song.parts.size() <= 8, "a song of no or many parts");
    TONTOKO_FUZZ_CHECK(song.tempo >= 0 && song.tempo <= 255, "a tempo out of range");
    TONTOKO_FUZZ_CHECK(song.interval >= 0 && song.interval <= 4, "a lead-in out of range");
    TONTOKO_FUZZ_CHECK(song.transposition >= -6 && song.transposition <= 5, "a key out of range");
    TONTOKO_FUZZ_CHECK(song.drumSet >= 0 && song.drumSet < 9, "a drum set out of range");
    for (const tontoko::SongPart& part : song.parts) {
        for (uint8_t degree : part.degrees) {
            TONTOKO_FUZZ_CHECK(degree >= 1 && degree <= 7, "a chord degree out of range");
        }
    }
}

// The song written again reads back to itself; with its patterns found and no
// older melody note 0, the bytes are the file's.
void CheckRewrite(const SongFileContents& song, bool exact, std::span<const uint8_t> bytes) {
    CheckValid(song);
    const std::vector<uint8_t> again = tontoko::RewriteSongFile(song, Library());
    if (exact) {
        TONTOKO_FUZZ_CHECK(std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()),
                           "a song read does not write its bytes again");
    }
    const tontoko::SongFileReading reread = tontoko::ReadSongFile(again, Library(), song);
    TONTOKO_FUZZ_CHECK(reread.Ok(), "a song written again is not read");
    SongFileContents expected = song;
    SongFileContents got = reread.contents;
    // Where the patterns were not found, the current ones wrote the song: now
    // they are found, and they may reveal more or fewer volumes.
    expected.chordsFound = expected.accPatternFound = expected.drumPatternFound = true;
    for (size_t g = 0; g < expected.velocities.size(); ++g) {
        if (!expected.velocities[g] || !got.velocities[g]) {
            got.velocities[g].reset();
            expected.velocities[g].reset();
        }
    }
    TONTOKO_FUZZ_CHECK(got == expected, "a song written again reads back to another song");
}

}  // namespace

TONTOKO_FUZZ_ENTRY(FuzzSongFile) {
    const std::span<const uint8_t> bytes(data, size);
    const tontoko::SongFileReading reading =
        tontoko::ReadSongFile(bytes, Library(), CurrentFor(size));
    TONTOKO_FUZZ_CHECK(reading.Ok() == reading.detail.empty(), "a reason without a detail");
    if (reading.Ok()) {
        const SongFileContents& song = reading.contents;
        CheckRewrite(song, song.accPatternFound && song.drumPatternFound && !reading.olderRests,
                     bytes);
    } else if (reading.problem == tontoko::SongFileProblem::Joined) {
        TONTOKO_FUZZ_CHECK(reading.joinedCount >= 2, "a join of fewer than two songs");
        TONTOKO_FUZZ_CHECK(
            reading.joinedSongs.size() == (reading.joinedCount <= 8 ? reading.joinedCount : 0),
            "joined songs not listed one by one");
        for (const SongFileContents& song : reading.joinedSongs) {
            CheckRewrite(song, false, bytes);
        }
    } else {
        TONTOKO_FUZZ_CHECK(reading.joinedSongs.empty() && reading.joinedCount == 0,
                           "songs listed with a problem");
    }
    return 0;
}
