#pragma once

// Songs as the window and the composer make them, for the song file tests:
// random seeds, keys, styles, chords, patterns, sounds, volumes, fades,
// lead-ins, drums off, the finishing pass, rhythms applied by hand, 1 to 8
// parts, and several songs in a row from one writer.

#include <cstdint>
#include <filesystem>
#include <random>
#include <vector>

#include "engine/SongPart.h"
#include "render/PatternLibrary.h"
#include "render/SongFileContents.h"

namespace tontoko::testing {

// The shipped patterns, then further ones that cover what the shipped ones do
// not: marks above 1 (also in the fourth pattern, whose notes jump), marks
// below '0', a part shorter than 64 steps, no onsets at all, and a copy of
// the first pattern.
PatternLibrary TestPatterns();

// One written song file and the song that made it, as contents (the carried
// notes as they were before the write).
struct WrittenSong {
    std::vector<uint8_t> bytes;
    SongFileContents song;
    int run = 0;    // songs of one run share a writer
    int index = 0;  // position in its run
};

// `runs` runs of 1 to 3 songs each, drawn from `seed`.
std::vector<WrittenSong> WriteTestSongs(const PatternLibrary& library, int runs, uint32_t seed);

// What the file can tell of the song: melody pitches only where a note
// starts, and no velocity for a volume group that starts no note.
SongFileContents Revealed(const SongFileContents& song, const PatternLibrary& library);

}  // namespace tontoko::testing
