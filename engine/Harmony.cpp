#include "engine/Harmony.h"

#include "engine/SChord.h"

namespace tontoko {

bool IsChordTone(uint8_t pitch, const SChord& chord) {
    for (int k = 0; k < 3; ++k) {
        if (PitchClass(pitch) == PitchClass(chord.Tone(k))) {
            return true;
        }
    }
    return false;
}

bool Clashes(uint8_t pitch, const SChord& chord) {
    if (IsChordTone(pitch, chord)) {
        return false;
    }
    for (int k = 0; k < 4; ++k) {
        const int ic = IntervalClass(pitch, chord.Tone(k));
        if (ic == 1 || ic == 6) {
            return true;
        }
    }
    return false;
}

NoteRole ClassifyNote(uint8_t pitch, const SChord& chord) {
    if (IsChordTone(pitch, chord)) {
        return NoteRole::ChordTone;
    }
    return Clashes(pitch, chord) ? NoteRole::Clash : NoteRole::ScaleTone;
}

}  // namespace tontoko
