#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/TimeGrid.h"
#include "render/SongFileChords.h"
#include "render/SongFileVelocities.h"
#include "render/SongFileVoices.h"

namespace tontoko {

struct PatternLibrary;
struct SongFileContents;

// Finding the accompaniment and drum patterns of a song file in the current
// library by their notes.

constexpr int kDrumVoices = kVoiceCount - kFirstDrumVoice;

struct AccompanimentReading {
    bool found = false;
    int pattern = 0;
    // The notes that reveal the chords: onsets where the pattern's mark is 1.
    std::vector<ChordClue> clues;
    // Where a mark above 1 starts a note: the note number the voice held
    // before the file was written (voices 0..3, steps 0..63).
    std::array<std::array<std::optional<uint8_t>, kSongSteps>, 4> held{};
    // The key and chords read from the clues.
    ChordReading chords;
};

// The first pattern whose onsets are the file's and whose notes some key's
// chords give: the current one, else the lowest. A current position outside
// the library stands for no accompaniment at all.
AccompanimentReading ReadAccompaniment(const FileVoices& voices, const PatternLibrary& library,
                                       const SongFileContents& current);

// The chord clues of a file whose accompaniment pattern is not in the
// library, every onset taken as a chord note, with or without the octave
// jumps.
std::vector<ChordClue> UnknownPatternClues(const FileVoices& voices, bool jumps);

struct DrumReading {
    bool found = false;
    bool on = true;
    int pattern = 0;
    // The note each drum voice carried into the file, where revealed.
    std::array<std::optional<uint8_t>, kDrumVoices> carried{};
    std::vector<VelocityClue> velocities;
};

// The drum switch and pattern: the current switch when it fits, else off,
// else on; when on, the current pattern when it fits, else the lowest. Not
// found: the drum part is on, with notes no pattern gives.
DrumReading ReadDrums(const FileVoices& voices, const PatternLibrary& library,
                      const SongFileContents& current);

}  // namespace tontoko
