#include "render/SongFileVelocities.h"

#include "render/SStandardMidi.h"

namespace tontoko {

namespace {

constexpr int kVelocities = 256;

bool Gives(uint8_t velocity, std::span<const VelocityClue> clues, int steps, FadeMode fade) {
    for (const VelocityClue& clue : clues) {
        if ((FadedVelocity(velocity, clue.step, steps, fade) & 0x7F) != clue.velocity) {
            return false;
        }
    }
    return true;
}

// The velocity of one group under a fade: the current one when it gives every
// clue, else the lowest that does.
std::optional<uint8_t> GroupVelocity(std::span<const VelocityClue> clues, int steps, FadeMode fade,
                                     const std::optional<uint8_t>& current) {
    if (current && Gives(*current, clues, steps, fade)) {
        return current;
    }
    for (int velocity = 0; velocity < kVelocities; ++velocity) {
        if (Gives(static_cast<uint8_t>(velocity), clues, steps, fade)) {
            return static_cast<uint8_t>(velocity);
        }
    }
    return std::nullopt;
}

}  // namespace

VelocityReading ReadVelocities(const VelocityClues& clues, int steps,
                               const SongFileContents& current) {
    VelocityReading reading;
    const FadeMode fades[] = {current.fade, FadeMode::Normal, FadeMode::FadeIn, FadeMode::FadeOut};
    for (FadeMode fade : fades) {
        bool fits = true;
        for (int g = 0; g < kVolumeGroups && fits; ++g) {
            const auto& group = clues[static_cast<size_t>(g)];
            if (group.empty()) {
                continue;
            }
            const auto velocity =
                GroupVelocity(group, steps, fade, current.velocities[static_cast<size_t>(g)]);
            fits = velocity.has_value();
            reading.velocities[static_cast<size_t>(g)] = velocity;
        }
        if (fits) {
            reading.found = true;
            reading.fade = fade;
            return reading;
        }
        reading.velocities = {};
    }
    return reading;
}

}  // namespace tontoko
