#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "engine/SongPart.h"
#include "render/SongFileContents.h"

namespace tontoko {

struct PatternLibrary;

// Reading a song back from a Standard MIDI File this program wrote: its
// tempo, key, parts, patterns, sounds and what the writer carries, such that
// the contents applied to a song and written again give exactly the bytes of
// the file (for every file this writer writes with the patterns in the
// library). Any bytes give contents or a reason.
//
// Where several readings sound the same, the first of this order is taken:
// the current value when it fits, else the lowest.
// - tempo: 0..3 all write the largest tempo value;
// - key: the current mode when a key of it gives the chord notes, else major,
//   else minor; then the current transposition, else the lowest (-6 up);
// - each half measure's degree (none is revealed where no bass or chord note
//   with pattern mark 1 starts): the current degree, else the lowest;
// - accompaniment pattern: the current one, else the lowest position whose
//   onsets and notes match (a position outside the library: no
//   accompaniment);
// - drum switch and pattern: the current switch, else off, else on; when on,
//   the current pattern, else the lowest (drums off does not reveal the
//   pattern: the current one is kept);
// - fade: the current one, else normal, fade-in, fade-out (all notes at
//   velocity 0 fit every fade);
// - each group's velocity: the current one, else the lowest of 0..255 that
//   gives its notes (volume 0 and fades can make several fit);
// - drum set: the current one, else the lowest of equal program;
// - melody marks: the current mark where it starts (or does not start) a note
//   as the file does, else 1 and 0; an onset at step 0 that starts no note is
//   invisible, so it is read only where the current part has one and the
//   melody's next note-off names note 0;
// - drum channels: with the drum part on, the current ones (each voice's own,
//   or all channel 10), else channel 10;
// - carried notes, held accompaniment notes and instruments are 7-bit in the
//   file: the current value when its low 7 bits fit, else those bits;
// - what the file does not hold (the fixed flags, held accompaniment notes
//   where no mark above 1 starts, carried notes of voices that start at step
//   0) is the current value.

// The largest file read: 1 MB.
inline constexpr std::size_t kMaxSongFileBytes = std::size_t{1} << 20;

enum class SongFileProblem {
    None,
    NotMidi,      // not a Standard MIDI File at all
    OtherLayout,  // a MIDI file, but not a song this program writes
    Truncated,    // a song of the layout, cut short
    Joined,       // songs joined one after another by the chain dialog
    TooLarge,     // larger than kMaxSongFileBytes
    NotRegular,   // a folder, a device, a FIFO or a socket
    Unreadable,   // missing, not permitted, or failing to read
};

struct SongFileReading {
    SongFileProblem problem = SongFileProblem::None;
    std::string detail;         // a short technical detail for a message (English)
    SongFileContents contents;  // the song, when there is no problem
    // Joined: how many songs, and each song of the file read as a file of its
    // own, in order, all at the file's one tempo (the first song's), for
    // opening them as parts. More than kMaxParts songs cannot be parts of one
    // song: they are only counted.
    std::size_t joinedCount = 0;
    std::vector<SongFileContents> joinedSongs;
    // The file holds melody note-ons for note 0, written before such onsets
    // became rests: they are read as onsets without a note, and writing the
    // song again makes them rests.
    bool olderRests = false;

    bool Ok() const { return problem == SongFileProblem::None; }
};

// Reads a song from the bytes of a file. `current` holds the current values
// that decide between readings (see above).
SongFileReading ReadSongFile(std::span<const uint8_t> bytes, const PatternLibrary& library,
                             const SongFileContents& current);

// Reads the file at `path`: a regular file only (nothing waits on a FIFO or a
// device), of at most kMaxSongFileBytes.
SongFileReading ReadSongFileAt(const std::filesystem::path& path, const PatternLibrary& library,
                               const SongFileContents& current);

}  // namespace tontoko
