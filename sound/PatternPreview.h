#pragma once

#include <cstdint>
#include <vector>

#include "sound/LiveEvent.h"

namespace tontoko {

class Song;
struct PatternLibrary;

// An edited note: `pitch` on the melody instrument for `ms` milliseconds.
std::vector<LiveEvent> AuditionEvents(uint8_t pitch, uint8_t program, uint8_t velocity,
                                      int ms = 300);

// One measure of accompaniment pattern `pattern` (0-based) over chord I of the
// song's key, at `tempo` beats per minute, with the accompaniment and bass
// instruments and the voices' velocities: rendered as a song renders, on a
// song of its own, so nothing of `song` changes. Empty for no such pattern.
std::vector<LiveEvent> AccompanimentPreview(const Song& song, const PatternLibrary& library,
                                            int pattern, uint8_t accProgram, uint8_t bassProgram,
                                            int tempo);
// One measure of drum pattern `pattern` with the drum set of program
// `drumSetProgram`.
std::vector<LiveEvent> DrumPreview(const Song& song, const PatternLibrary& library, int pattern,
                                   uint8_t drumSetProgram, int tempo);

}  // namespace tontoko
