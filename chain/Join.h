#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/SongLayout.h"

namespace tontoko {

// Joining two songs written by this program's MIDI writer: the first song's
// track without its final end-of-track event, then the second song from its
// first program change on, so the result plays the two songs in a row at the
// first song's tempo.

// The offset of the first program change's status byte in a written song.
constexpr std::size_t kJoinSecondOffset = kFirstProgramOffset;

// True when `bytes` is a song of the writer's layout (or a join of such songs),
// checked event by event (SongLayoutProblem).
bool IsJoinableSong(const std::vector<uint8_t>& bytes);

// The joined song. Both inputs must be joinable.
std::vector<uint8_t> JoinSongs(const std::vector<uint8_t>& first,
                               const std::vector<uint8_t>& second);

enum class JoinStatus {
    Done,
    FirstUnreadable,  // the first file could not be opened or read, or is no regular file
    FirstInvalid,     // the first file is not a song of the writer's layout
    SecondUnreadable,
    SecondInvalid,
    WriteFailed,  // the result could not be made or written; nothing was changed
};

// Checks both songs, joins them and checks the result; `joined` receives it
// when the status is Done. WriteFailed: the join would not fit the 32-bit track
// length, or the result did not pass the check.
JoinStatus JoinCheckedSongs(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second,
                            std::vector<uint8_t>& joined);

// Reads both files completely (regular files only; nothing waits on a FIFO),
// checks them, and writes the checked join to `result` through a temporary file
// in the result's folder that is renamed at the end. Any of the three names may
// be the same file. On every status but Done no file has been created, changed
// or deleted.
JoinStatus JoinFiles(const std::string& first, const std::string& second,
                     const std::string& result);

}  // namespace tontoko
