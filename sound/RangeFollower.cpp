#include "sound/RangeFollower.h"

#include <algorithm>

namespace tontoko {

int RangeFollower::Begin(const PlayRange& range) {
    inLeadIn_ = false;
    const bool valid =
        range.leadInEnd >= 0 && range.leadInEnd <= range.start && range.start < range.end;
    range_ = valid ? range : PlayRange{};
    if (range_.start == range_.leadInEnd) {
        return -1;  // on from the lead-in, as the file lies
    }
    if (range_.leadInEnd <= 0) {
        return range_.start;  // no lead-in: start in the part
    }
    inLeadIn_ = true;
    return -1;
}

int RangeFollower::OnTick(int tick) {
    if (range_.end <= 0) {
        return -1;
    }
    if (inLeadIn_) {
        if (tick < range_.leadInEnd - 1) {
            return -1;
        }
        inLeadIn_ = false;
        return range_.start - 1;
    }
    if (loop_.load() && tick == range_.end - 1) {
        // A song that starts at tick 0 wraps a tick early instead.
        return std::max(range_.start - 1, 0);
    }
    return -1;
}

}  // namespace tontoko
