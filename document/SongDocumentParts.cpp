// The song document's parts of four measures: the part shown, adding a copy
// and removing one.
#include <algorithm>

#include "document/SongDocument.h"

namespace tontoko {

void SongDocument::SetPosition(int part) {
    StorePart();
    position_ = std::clamp(part, 0, int(state_.partCount) - 1);
    LoadPart();
}

bool SongDocument::AddPart() {
    if (state_.partCount >= kMaxParts) {
        return false;
    }
    StorePart();
    auto& parts = state_.parts;
    std::copy_backward(parts.begin() + position_ + 1, parts.begin() + state_.partCount,
                       parts.begin() + state_.partCount + 1);
    parts[position_ + 1] = parts[position_];
    ++state_.partCount;
    ++position_;
    LoadPart();
    return true;
}

bool SongDocument::DeletePart() {
    if (state_.partCount <= 1) {
        return false;
    }
    auto& parts = state_.parts;
    std::copy(parts.begin() + position_ + 1, parts.begin() + state_.partCount,
              parts.begin() + position_);
    --state_.partCount;
    // What lies beyond the song is the default part, so that equal songs
    // compare equal whatever they once held.
    parts[state_.partCount] = SongPart{};
    position_ = std::min(position_, int(state_.partCount) - 1);
    LoadPart();
    return true;
}

}  // namespace tontoko
