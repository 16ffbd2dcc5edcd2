#pragma once

#include <string>
#include <string_view>

namespace tontoko {

// Writes `bytes` to a fresh temporary file in the target's folder, flushes it
// to the disk and renames it over `target`, then flushes the folder so the
// rename itself survives a crash. A failed write never damages an existing
// file of that name, a reader never sees half a file, and no temporary is left
// behind. The new file gets the permissions of the process's umask. Returns
// false when anything failed; `error` (when given) receives its errno.
bool WriteFileAtomically(const std::string& target, std::string_view bytes, int* error = nullptr);

}  // namespace tontoko
