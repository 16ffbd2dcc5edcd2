#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/SongFileContents.h"
#include "render/SoundSettings.h"

namespace tontoko {

// Reading the fade and the four volumes back from the velocities of the notes
// started. Every voice of a volume group plays one velocity, faded over the
// whole song alike.

// A note started at `step` with `velocity` (as written, 7 bits).
struct VelocityClue {
    int step = 0;
    uint8_t velocity = 0;
};

using VelocityClues = std::array<std::vector<VelocityClue>, kVolumeGroups>;

struct VelocityReading {
    bool found = false;  // false: no fade and volumes give every clue
    FadeMode fade = FadeMode::Normal;
    std::array<std::optional<uint8_t>, kVolumeGroups> velocities{};
};

// The first reading that gives every clue of a song of `steps` steps: the
// current fade when it fits, else normal, fade-in, fade-out; per group the
// current velocity when it fits, else the lowest (none for a group without
// clues).
VelocityReading ReadVelocities(const VelocityClues& clues, int steps,
                               const SongFileContents& current);

}  // namespace tontoko
