#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tontoko {

// Joining two songs written by this program's MIDI writer: the first song's
// track without its final end-of-track event, then the second song from its
// first program change on, so the result plays the two songs in a row at the
// first song's tempo.

// The offset of the first program change's status byte in a written song.
constexpr std::size_t kJoinSecondOffset = 43;
// The shortest song of the writer's layout: everything up to the first program
// change, and the delta time plus end-of-track event.
constexpr std::size_t kJoinMinimumSize = 47;
// Where the track length lies, and how many bytes precede the track data.
constexpr std::size_t kTrackLengthOffset = 18;
constexpr std::size_t kTrackDataOffset = 22;

// True when `bytes` has the writer's layout: the fixed header and track chunk
// start, the status byte C0 at offset 43 and the ending 00 FF 2F 00.
bool IsJoinableSong(const std::vector<uint8_t>& bytes);

// The joined song. Both inputs must be joinable.
std::vector<uint8_t> JoinSongs(const std::vector<uint8_t>& first,
                               const std::vector<uint8_t>& second);

enum class JoinStatus {
    Done,
    FirstUnreadable,  // the first file could not be opened or read
    FirstInvalid,     // the first file is not a song of the writer's layout
    SecondUnreadable,
    SecondInvalid,
    WriteFailed,  // the result could not be written; nothing was changed
};

// Reads both files completely, checks them, and writes the join to `result`
// through a temporary file in the result's folder that is renamed at the end.
// Any of the three names may be the same file. On every status but Done no
// file has been created, changed or deleted.
JoinStatus JoinFiles(const std::string& first, const std::string& second,
                     const std::string& result);

}  // namespace tontoko
