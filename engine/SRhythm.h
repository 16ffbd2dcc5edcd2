#pragma once

#include <array>

namespace tontoko {

// The eight note lengths in ticks; index k is also rhythm state k.
class SRhythm {
  public:
    int Length(int index) const { return lengths_.at(index); }
    int Steps(int index) const { return lengths_.at(index) / 24; }

  private:
    std::array<int, 8> lengths_{384, 288, 192, 144, 96, 72, 48, 24};
};

}  // namespace tontoko
