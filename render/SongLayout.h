#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

// What kind of departure from the layout was found.
enum class LayoutFault {
    None,
    NotMidi,      // does not begin as a Standard MIDI File ("MThd")
    OtherLayout,  // a MIDI file, but not laid out as this program writes
    Truncated,    // the layout as far as it goes, but the file ends early
};

// A note-on event of the track, at its absolute tick (saturated at the
// largest 32-bit value).
struct LayoutNote {
    uint32_t tick = 0;
    uint8_t channel = 0;
    uint8_t key = 0;
    uint8_t velocity = 0;
};

struct SongLayoutScan {
    LayoutFault fault = LayoutFault::None;
    std::string problem;  // what is wrong and where; empty when the bytes pass
    // Per song, the offset of the status byte of its first program change (43
    // for the first song) and the index of its first note in `notes`.
    std::vector<std::size_t> songOffsets;
    std::vector<std::size_t> songFirstNotes;
    std::vector<LayoutNote> notes;  // only when asked for, in file order
};

// Walks the bytes once. With `withNotes`, every note event is kept (memory
// about twice the size of the bytes).
SongLayoutScan ScanSongLayout(std::span<const uint8_t> bytes, bool withNotes);

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
