#pragma once

#include <array>
#include <cstdint>

namespace tontoko {

// One diatonic chord of the song: three chord tones, a bass note, its degree and
// the ordered list of chords that may follow it.
class SChord {
  public:
    static constexpr int kMaxSuccessors = 7;

    void SetChord(int degree, uint8_t tone0, uint8_t tone1, uint8_t tone2, uint8_t bass);
    void AddSuccessor(const SChord* node);

    int Degree() const { return degree_; }
    // k = 0..2: root, third, fifth; k = 3: the bass.
    uint8_t Tone(int k) const;
    int SuccessorCount() const { return successorCount_; }
    const SChord* Successor(int i) const { return successors_.at(i); }

    // Adds signed offsets to the tones and the bass, 8-bit wrap-around.
    void Shift(int d0, int d1, int d2, int dBass);

  private:
    std::array<uint8_t, 3> tones_{};
    uint8_t bass_ = 0;
    int degree_ = 0;
    int successorCount_ = 0;
    std::array<const SChord*, kMaxSuccessors> successors_{};
};

}  // namespace tontoko
