#pragma once

#include <filesystem>
#include <string>

namespace tontoko {

// The files the program ships beside itself and reads from its working folder.
inline constexpr const char* kShippedFiles[] = {"AccPattern.dat", "DrumPattern.dat", "index.html",
                                                "manual-symbols.png"};

struct WorkFolderChoice {
    std::filesystem::path folder;  // empty: stay in the current folder
    std::string error;             // why the per-user folder could not be made ready
};

// Where the program works. A current folder that holds a pattern file is kept,
// as the program has always worked. Otherwise, when the program is installed
// (`installedData` holds the shipped files), the per-user folder `userFolder`
// is created and given every shipped file it lacks, without ever replacing a
// file that is there (a pattern file the user edited stays), and becomes the
// working folder.
WorkFolderChoice ChooseWorkFolder(const std::filesystem::path& current,
                                  const std::filesystem::path& installedData,
                                  const std::filesystem::path& userFolder);

// $XDG_DATA_HOME/tontoko, or ~/.local/share/tontoko when that is unset.
std::filesystem::path UserWorkFolder();

// The shipped files of an installed program: <prefix>/share/tontoko beside
// <prefix>/bin, the folder of the program.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& programFolder);

}  // namespace tontoko
