#pragma once

#include <array>
#include <cstddef>

namespace tontoko {

// What a measure's fixed box keeps: its rhythm, or (within a fixed rhythm)
// its melody.
enum class FixedKind { Rhythm = 0, Melody = 1 };

// Every kind, in the order flags stored per kind are kept.
constexpr std::array<FixedKind, 2> kFixedKinds{FixedKind::Rhythm, FixedKind::Melody};

// The place of a kind in flags stored per kind; kFixedKinds.size() or more
// for a value that is no kind.
constexpr std::size_t FixedIndex(FixedKind kind) {
    return static_cast<std::size_t>(kind);
}

}  // namespace tontoko
