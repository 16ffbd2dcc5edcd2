#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

namespace tontoko {

// The whole contents of a regular file, or nothing when `path` cannot be
// opened, is not a regular file (a FIFO, a device, a socket, a folder) or holds
// more than `maxBytes`. Opening never waits (a FIFO without a writer is refused
// at once) and memory stays within about twice what the file holds.
std::optional<std::string> ReadRegularFile(
    const std::filesystem::path& path,
    std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

}  // namespace tontoko
