#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

namespace tontoko {

// The largest text file (pattern file, rhythm file) the program reads: far
// beyond any real one, small enough that a huge or sparse file costs nothing.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{256} << 20;

// The whole contents of a regular file, or nothing when `path` cannot be
// opened, is not a regular file (a FIFO, a device, a socket, a folder) or holds
// more than `maxBytes`. Opening never waits (a FIFO without a writer is refused
// at once) and memory stays within about twice what the file holds; a file
// too large for memory reads as unreadable.
std::optional<std::string> ReadRegularFile(
    const std::filesystem::path& path,
    std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

}  // namespace tontoko
