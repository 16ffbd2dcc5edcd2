#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/Mode.h"

namespace tontoko {

// The scale notes of the current key, the twelve note names for display, and
// the key test the melody generator uses.
class SMelody {
  public:
    void ShiftScale(int d);
    uint8_t Scale(int i) const { return scale_.at(i); }
    const std::array<uint8_t, 7>& ScaleNotes() const { return scale_; }
    void SetScaleNotes(const std::array<uint8_t, 7>& notes) { scale_ = notes; }

    // Empty for 0, else the name of pitch class v mod 12 (UTF-8, exact forms).
    const std::string& NameOf(uint8_t v) const;
    // True when n belongs to the major scale of the transposed major key
    // (in minor the scale notes are 3 below it, so 3 is added back).
    bool InKey(uint8_t n, Mode mode) const;
    // n when in key, else one semitone down (direction 1) or up (direction 0).
    uint8_t Snap(uint8_t n, int direction, Mode mode) const;

    static const std::array<std::string, 12>& Names();

    bool operator==(const SMelody&) const = default;

  private:
    std::array<uint8_t, 7> scale_{60, 62, 64, 65, 67, 69, 71};
};

// What the grids show for a pitch with the signed transposition t (-6..5).
std::string DisplayName(const SMelody& melody, int pitch, int transposition);
// trunc((p - t) / 12) - 6, as decimal text.
std::string OctaveText(int pitch, int transposition);

}  // namespace tontoko
