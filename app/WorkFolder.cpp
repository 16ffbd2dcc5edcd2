#include "app/WorkFolder.h"

#include <cstdlib>
#include <system_error>

namespace tontoko {

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool HoldsPatternFile(const fs::path& folder) {
    return Exists(folder / "AccPattern.dat") || Exists(folder / "DrumPattern.dat");
}

}  // namespace

WorkFolderChoice ChooseWorkFolder(const fs::path& current, const fs::path& installedData,
                                  const fs::path& userFolder) {
    WorkFolderChoice choice;
    if ((!current.empty() && HoldsPatternFile(current)) || installedData.empty() ||
        !HoldsPatternFile(installedData) || userFolder.empty()) {
        return choice;
    }
    std::error_code ec;
    fs::create_directories(userFolder, ec);
    if (ec) {
        choice.error = "cannot create " + userFolder.string() + ": " + ec.message();
        return choice;
    }
    for (const char* name : kShippedFiles) {
        const fs::path from = installedData / name;
        const fs::path to = userFolder / name;
        if (Exists(to) || !Exists(from)) {
            continue;
        }
        // skip_existing: a file that appeared meanwhile is not replaced either.
        fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
        if (ec) {
            choice.error =
                "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
        }
    }
    choice.folder = userFolder;
    return choice;
}

fs::path UserWorkFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
        return fs::path(data) / "tontoko";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return fs::path(home) / ".local" / "share" / "tontoko";
    }
    return {};
}

fs::path InstalledDataFolder(const fs::path& programFolder) {
    if (programFolder.empty()) {
        return {};
    }
    return programFolder.parent_path() / "share" / "tontoko";
}

}  // namespace tontoko
