#pragma once

#include <cstdint>

namespace tontoko {

class SChord;

// How a melody note stands against the chord that sounds at its onset. The
// piano roll colours notes by it and the finishing pass repairs clashes.
enum class NoteRole {
    ChordTone,  // its pitch class is one of the chord's three tones
    ScaleTone,  // any other note that does not clash
    Clash,      // a semitone or a tritone from a chord tone or the bass
};

// Pitch class 0..11 of a MIDI note.
constexpr int PitchClass(int pitch) {
    return ((pitch % 12) + 12) % 12;
}

// The interval class (0..6) between two pitches: the shorter way round the
// octave between their pitch classes.
constexpr int IntervalClass(int a, int b) {
    const int d = PitchClass(a - b);
    return d > 6 ? 12 - d : d;
}

bool IsChordTone(uint8_t pitch, const SChord& chord);

// True for a note that is not a chord tone and lies at interval class 1 or 6
// from one of the chord's three tones or its bass. A chord tone never clashes
// with its own chord, so the tritone inside the diminished chord VII is part of
// the chord, not a clash.
bool Clashes(uint8_t pitch, const SChord& chord);

NoteRole ClassifyNote(uint8_t pitch, const SChord& chord);

}  // namespace tontoko
