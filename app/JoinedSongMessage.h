#pragma once

#include <QString>
#include <vector>

#include "render/JoinedSongContents.h"

namespace tontoko {

struct PatternLibrary;

// The settings in which the songs of a joined file differ, one line each, in
// the window's words: "・調：ハ長調（2曲目はト長調）".
QString JoinedDifferencesText(const std::vector<JoinedDifference>& differences,
                              const PatternLibrary& patterns);

}  // namespace tontoko
