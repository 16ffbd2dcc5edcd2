#pragma once

#include <cstdint>
#include <vector>

#include "sound/LiveEvent.h"

namespace tontoko {

class Song;

// How long a chosen chord sounds.
inline constexpr int kChordAuditionMs = 500;

// A chord chosen in a selector: chord `degree` (1..7) of the song's key and
// mode, voiced as the song's accompaniment voices it (without a pattern's
// octave jump), sounding for `ms` milliseconds. The bass sounds on the preview
// bass channel with `bassProgram` and the bass voice's velocity, the three
// upper notes on the preview accompaniment channels with `accProgram` and
// their voices' velocities, so a song's own channels are never touched.
// Empty for a degree outside 1..7.
std::vector<LiveEvent> ChordAuditionEvents(const Song& song, int degree, uint8_t accProgram,
                                           uint8_t bassProgram, int ms = kChordAuditionMs);

}  // namespace tontoko
