#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "render/JoinedSongContents.h"

namespace tontoko {
struct PatternLibrary;
}

namespace tontoko::cli {

// Lists on `err` the settings in which the songs of a joined file, opened as
// one song, differ (the first song's are taken); nothing when none differ.
void WarnJoined(std::ostream& err, const std::string& path, std::size_t songs,
                const JoinedSong& joined, const PatternLibrary& patterns);

}  // namespace tontoko::cli
