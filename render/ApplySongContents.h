#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/SongPart.h"
#include "render/RenderSong.h"
#include "render/SongFileContents.h"
#include "render/SoundSettings.h"

namespace tontoko {

class SStandardMidi;
class Song;
struct PatternLibrary;

// The bridge between a song's contents and the engine: what a song holds as
// contents, the contents put into a song, and the song written from them.

// The key control's position (-6..5) of the song's key.
int KeyPosition(const Song& song);

// The song as contents: its key, the parts, the patterns, the sounds, the
// interval and the tempo, the velocities of its voices (one per volume group:
// voices 4, 1, 0 and 5) and what its writer carries.
SongFileContents ContentsOf(const Song& song, std::span<const SongPart> parts,
                            const RenderChoice& choice, const SoundSettings& settings, int interval,
                            int tempo);

// Puts the contents into the song: the key by transposition and mode switch
// (the transition table stays as it is), the first part into the slots, the
// melody voice and the fixed flags, the velocities revealed, the carried last
// notes, the drum voices' channels and the accompaniment voices' notes.
void ApplySongContents(Song& song, const SongFileContents& contents);

RenderChoice RenderChoiceOf(const SongFileContents& contents);
SoundSettings SoundSettingsOf(const SongFileContents& contents);

// Writes the contents' parts with the song's voices as they stand (after
// ApplySongContents: the file the contents were read from) and appends the
// file to `out`; the writer takes the contents' interval.
void ComposeSongContents(std::vector<uint8_t>& out, Song& song, SStandardMidi& writer,
                         const SongFileContents& contents, const PatternLibrary& library);

// The file the contents give on their own: a start-up song and a new writer,
// the contents applied, then composed.
std::vector<uint8_t> RewriteSongFile(const SongFileContents& contents,
                                     const PatternLibrary& library);

}  // namespace tontoko
