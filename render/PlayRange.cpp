#include "render/PlayRange.h"

#include <algorithm>

#include "engine/TimeGrid.h"

namespace tontoko {

PlayRange SongPlayRange(int intervalBeats, int partCount, int part) {
    constexpr int kTicksPerPart = kSongSteps * kTicksPerStep;
    const int parts = std::max(partCount, 1);
    PlayRange range;
    range.leadInEnd = std::max(intervalBeats, 0) * kTicksPerQuarter;
    range.start = range.leadInEnd + std::clamp(part, 0, parts - 1) * kTicksPerPart;
    range.end = range.leadInEnd + parts * kTicksPerPart;
    return range;
}

}  // namespace tontoko
