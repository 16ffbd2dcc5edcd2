#pragma once

#include <array>

#include "engine/FixedKind.h"
#include "engine/Mode.h"

namespace tontoko {

class SChord;

// What the generators may ask of whoever holds the song: the current mode, the
// chord of a slot and whether a measure's rhythm or melody is fixed. The
// window answers IsFixed from its check boxes; tests and the command-line
// composer from plain flags.
class SongQueries {
  public:
    virtual ~SongQueries() = default;
    virtual Mode CurrentMode() const = 0;
    virtual const SChord& ChordSlot(int slot) const = 0;
    virtual bool IsFixed(int measure, FixedKind kind) const = 0;
};

// The source of the fix flags.
class FixedMeasures {
  public:
    virtual ~FixedMeasures() = default;
    virtual bool IsFixed(int measure, FixedKind kind) const = 0;
};

// Plain flags, for callers without check boxes.
class FixedFlags : public FixedMeasures {
  public:
    void Set(int measure, FixedKind kind, bool fixed) {
        flags_[static_cast<std::size_t>(measure)][FixedIndex(kind)] = fixed;
    }
    bool IsFixed(int measure, FixedKind kind) const override {
        return measure >= 0 && measure < kFlagMeasures && FixedIndex(kind) < kFixedKinds.size() &&
               flags_[static_cast<std::size_t>(measure)][FixedIndex(kind)];
    }

  private:
    static constexpr int kFlagMeasures = 4;
    std::array<std::array<bool, kFixedKinds.size()>, kFlagMeasures> flags_{};
};

}  // namespace tontoko
