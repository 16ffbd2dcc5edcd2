#include "files/AtomicFile.h"

#include <cerrno>

#include "files/StagedFile.h"

namespace tontoko {

bool WriteFileAtomically(const std::string& target, std::string_view bytes, int* error) {
    StagedFile file;
    const bool ok = file.Create(target) && file.Write(bytes) && file.Sync() && file.Commit();
    int failure = file.Error();
    // The file is in place. A folder that fails to flush with an I/O error is
    // reported, since the rename may not survive a crash; file systems that
    // cannot flush a folder at all (EINVAL) are taken as they are.
    if (ok && !SyncFolder(FolderOf(target)) && errno == EIO) {
        failure = EIO;
    }
    if (error != nullptr) {
        *error = failure;
    }
    return ok && failure == 0;
}

}  // namespace tontoko
