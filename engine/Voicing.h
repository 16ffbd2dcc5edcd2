#pragma once

#include <array>
#include <cstdint>

namespace tontoko {

class SChord;

// The note the accompaniment gives chord tone k (0..2: root, third, fifth;
// 3: the bass) of `chord`: the tone moved by an octave where its degree needs
// it, so that the three upper voices stay close together whatever the chord.
// Rendering and the chord audition both take their notes from here.
uint8_t VoicingNote(const SChord& chord, int k);

// The accompaniment voices 0..3 of `chord`, as rendering places them: the
// bass, then tones 2, 1 and 0.
std::array<uint8_t, 4> ChordVoicing(const SChord& chord);

}  // namespace tontoko
