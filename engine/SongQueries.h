#pragma once

#include "engine/Mode.h"

namespace tontoko {

class SChord;

// What the generators may ask of whoever holds the song: the current mode, the
// chord of a slot and whether a measure's rhythm (kind 0) or melody (kind 1) is
// fixed. The window answers IsFixed from its check boxes; tests and the
// command-line composer from plain flags.
class SongQueries {
  public:
    virtual ~SongQueries() = default;
    virtual Mode CurrentMode() const = 0;
    virtual const SChord& ChordSlot(int slot) const = 0;
    virtual bool IsFixed(int measure, int kind) const = 0;
};

// The source of the fix flags.
class FixedMeasures {
  public:
    virtual ~FixedMeasures() = default;
    virtual bool IsFixed(int measure, int kind) const = 0;
};

// Plain flags, for callers without check boxes.
class FixedFlags : public FixedMeasures {
  public:
    void Set(int measure, int kind, bool fixed) { flags_[measure][kind] = fixed; }
    bool IsFixed(int measure, int kind) const override {
        return measure >= 0 && measure < 4 && kind >= 0 && kind < 2 && flags_[measure][kind];
    }

  private:
    bool flags_[4][2] = {};
};

}  // namespace tontoko
