#pragma once

namespace tontoko {

// The key's mode: the major key or its relative natural minor.
enum class Mode { Major = 0, Minor = 1 };

// The row of a table kept per mode: 0 for major, 1 for minor (the 24 key
// names hold the twelve major keys first).
constexpr int ModeIndex(Mode mode) {
    return mode == Mode::Minor ? 1 : 0;
}

}  // namespace tontoko
