#pragma once

#include <array>
#include <string>

#include "engine/Mode.h"

namespace tontoko {

// The key: a tonic offset 0..11 above C and a mode, with the 24 key names.
class SDur {
  public:
    void SetTonic(int offset) { tonic_ = offset; }
    int Tonic() const { return tonic_; }
    void SetMode(Mode mode) { mode_ = mode; }
    Mode KeyMode() const { return mode_; }
    // names[12 * ModeIndex(mode) + tonic], UTF-8.
    const std::string& KeyName() const;

    static const std::array<std::string, 24>& Names();

  private:
    int tonic_ = 0;
    Mode mode_ = Mode::Major;
};

}  // namespace tontoko
