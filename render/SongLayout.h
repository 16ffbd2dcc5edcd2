#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tontoko {

// The check that bytes are a song of this program's MIDI writer, or songs of
// it joined one after another, event by event: the header of one format-0
// track at 96 ticks per quarter note with a track length that matches the
// size; a tempo event and the GS reset; at offset 43 the program changes of
// channels 1 to 5, the drum bank selects and the drum-set program; then only
// note-on events (explicit status bytes, variable-length delta times), every
// note started also ended, each further song again opening with its program
// changes right after the previous one has ended all its notes, and the end
// of track (delta 0) as the last event, with nothing after it.
//
// Returns an empty text when the bytes pass, else what is wrong and where.
std::string SongLayoutProblem(std::span<const uint8_t> bytes);

inline bool IsSongLayout(std::span<const uint8_t> bytes) {
    return SongLayoutProblem(bytes).empty();
}

// Offsets the join relies on.
inline constexpr std::size_t kTrackLengthOffset = 18;
inline constexpr std::size_t kTrackDataOffset = 22;
inline constexpr std::size_t kFirstProgramOffset = 43;  // status C0 of the first program change

}  // namespace tontoko
