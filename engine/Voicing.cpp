#include "engine/Voicing.h"

#include <cstddef>

#include "engine/SChord.h"

namespace tontoko {

uint8_t VoicingNote(const SChord& chord, int k) {
    int p = chord.Tone(k);
    switch (chord.Degree()) {
        case 1:
        case 2:
            p -= (k == 2) ? 12 : 0;
            break;
        case 3:
            p -= (k == 1 || k == 2) ? 12 : 0;
            break;
        case 4:
            p += (k == 0) ? 12 : 0;
            break;
        default:
            break;
    }
    return uint8_t(p);
}

std::array<uint8_t, 4> ChordVoicing(const SChord& chord) {
    std::array<uint8_t, 4> voices{};
    for (int v = 0; v < 4; ++v) {
        voices[static_cast<std::size_t>(v)] = VoicingNote(chord, 3 - v);
    }
    return voices;
}

}  // namespace tontoko
