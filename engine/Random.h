#pragma once

#include <cstdint>

namespace tontoko {

// The one pseudo-random source of the program: a linear congruential generator
// whose draws are 15-bit values. Every random choice takes exactly one draw.
class Random {
  public:
    Random() = default;

    // Seeds with a clock value (seconds) and discards one draw.
    void Seed(uint32_t clockSeconds) {
        state_ = clockSeconds;
        Next();
    }

    // Returns 0..32767.
    int Next() {
        state_ = state_ * 22695477u + 1u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

    // One draw reduced with the remainder operator.
    int Below(int n) { return Next() % n; }

    uint32_t State() const { return state_; }

  private:
    uint32_t state_ = 0;
};

}  // namespace tontoko
