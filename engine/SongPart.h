#pragma once

#include <array>
#include <cstdint>

#include "engine/FixedKind.h"
#include "engine/TimeGrid.h"

namespace tontoko {

// The most parts a song has: 8 parts of four measures, 32 measures.
constexpr int kMaxParts = 8;

// Four measures of a song: what differs from one part to the next. The key,
// the tempo, the patterns and the sounds belong to the whole song.
struct SongPart {
    // The degree (1..7) of each half measure's chord.
    std::array<uint8_t, kChordSlots> degrees{1, 1, 4, 4, 5, 5, 1, 1};
    // The melody voice: onset marks and note numbers of the part's 64 steps.
    std::array<uint8_t, kSongSteps> marks{};
    std::array<uint8_t, kSongSteps> pitches{};
    // Per measure: the rhythm fixed, the melody fixed (in kFixedKinds order).
    std::array<std::array<bool, kFixedKinds.size()>, kMeasures> fixed{};

    // Whether measure `measure` (0-based) keeps its rhythm or melody; false
    // outside the part.
    bool IsFixed(int measure, FixedKind kind) const {
        return measure >= 0 && measure < kMeasures && FixedIndex(kind) < kFixedKinds.size() &&
               fixed[size_t(measure)][FixedIndex(kind)];
    }
    void SetFixed(int measure, FixedKind kind, bool on) {
        fixed.at(size_t(measure)).at(FixedIndex(kind)) = on;
    }

    bool operator==(const SongPart&) const = default;
};

}  // namespace tontoko
