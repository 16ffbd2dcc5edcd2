#include "engine/SChord.h"

#include <stdexcept>

namespace tontoko {

void SChord::SetChord(int degree, uint8_t tone0, uint8_t tone1, uint8_t tone2, uint8_t bass) {
    degree_ = degree;
    tones_ = {tone0, tone1, tone2};
    bass_ = bass;
}

void SChord::AddSuccessor(const SChord* node) {
    if (successorCount_ >= kMaxSuccessors) {
        throw std::length_error("a chord has at most seven successors");
    }
    successors_[successorCount_++] = node;
}

uint8_t SChord::Tone(int k) const {
    return k == 3 ? bass_ : tones_.at(k);
}

void SChord::Shift(int d0, int d1, int d2, int dBass) {
    tones_[0] = uint8_t(tones_[0] + d0);
    tones_[1] = uint8_t(tones_[1] + d1);
    tones_[2] = uint8_t(tones_[2] + d2);
    bass_ = uint8_t(bass_ + dBass);
}

}  // namespace tontoko
