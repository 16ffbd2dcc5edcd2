#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/SongPart.h"
#include "render/RenderSong.h"
#include "render/SongVoices.h"
#include "render/SoundSettings.h"

namespace tontoko {

class SStandardMidi;
class Song;
struct PatternLibrary;

// The ten voices of a song of 1 to kMaxParts parts: for each part in turn the
// song's chord slots and melody voice take the part's, RenderSong fills the
// other voices, and the part's 64 steps are appended. Afterwards the song's
// slots and melody voice are as before the call; the other voices hold what
// the last rendering left, as after rendering a song of one part.
// Throws std::invalid_argument for no parts, more than kMaxParts or a degree
// outside 1..7, before anything is changed.
SongVoices RenderParts(Song& song, std::span<const SongPart> parts, const PatternLibrary& library,
                       const RenderChoice& choice);

// Renders the parts and appends the whole song to `out` as one file; the
// voices' last notes are left as one continuous write leaves them. A song of
// one part whose chords and melody are the song's own gives exactly the bytes
// of RenderSong followed by the 64-step write.
void ComposeParts(std::vector<uint8_t>& out, SStandardMidi& writer, Song& song,
                  std::span<const SongPart> parts, const PatternLibrary& library,
                  const RenderChoice& choice, uint8_t tempo, const SoundSettings& settings);

}  // namespace tontoko
