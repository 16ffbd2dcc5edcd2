#pragma once

#include <string>
#include <string_view>

namespace tontoko {

// Writes `bytes` to a fresh temporary file in the target's folder and renames
// it over `target`, so a failed write never damages an existing file of that
// name and a reader never sees half a file. The new file gets the permissions
// of the process's umask. Returns false when anything failed; the temporary
// file is removed then.
bool WriteFileAtomically(const std::string& target, std::string_view bytes);

}  // namespace tontoko
