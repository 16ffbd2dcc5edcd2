#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/SDur.h"
#include "engine/TimeGrid.h"

namespace tontoko {

// Reading the key and the chord of every half measure back from the notes the
// bass and the accompaniment voices start.

// The note rendering gives voice `voice` (0 bass, 1..3 the chord voices) for
// a chord of `degree` (1..7) in a key (the key control's position -6..5 and
// the mode), before any octave jump.
uint8_t VoicingNote(Mode mode, int transposition, int degree, int voice);

// One note that reveals something of a half measure's chord: voice `voice`
// started `key` (as written, 7 bits) where the chord's note is placed,
// raised an octave when `jump`.
struct ChordClue {
    int half = 0;  // half measure in the whole song: 8 per part
    uint8_t voice = 0;
    uint8_t key = 0;
    bool jump = false;
};

// The degrees of one part's eight half measures.
using PartDegrees = std::array<uint8_t, kChordSlots>;

struct ChordReading {
    bool found = false;  // false: no key gives every clue
    int transposition = 0;
    Mode mode = Mode::Major;
    std::vector<PartDegrees> degrees;  // one per part
};

// The first reading that gives every clue, in this order: the current mode
// when some key of it fits, else major, else minor; the current transposition
// when it fits, else the lowest; per half measure the current degree when it
// fits, else the lowest. `currentDegrees` has one entry per current part;
// parts beyond them have no current degrees.
ChordReading ReadChords(std::span<const ChordClue> clues, int parts, int currentTransposition,
                        Mode currentMode, std::span<const PartDegrees> currentDegrees);

}  // namespace tontoko
