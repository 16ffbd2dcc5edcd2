#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/TimeGrid.h"

namespace tontoko {

// The rhythm half of a voice: its MIDI channel, one onset mark per step (plus a
// terminator that stays 0) and the Markov weights of the melody rhythm.
class SRhythmGenerate {
  public:
    using WeightRow = std::array<int, 8>;

    void SetChannel(uint8_t channel) { channel_ = channel; }
    uint8_t Channel() const { return channel_; }

    void ClearMarks() { marks_.fill(0); }
    void ClearMeasureMarks(int measure);
    uint8_t Mark(int step) const { return marks_.at(step); }
    void SetMark(int step, uint8_t mark) { marks_.at(step) = mark; }
    // Mark s = text[s] - '0' for s = 0..63; text must hold at least 64 characters.
    void LoadMarks(std::string_view text);

    void SetWeights(int row, const WeightRow& weights) { weights_.at(row) = weights; }
    const WeightRow& Weights(int row) const { return weights_.at(row); }
    void SetStartState(int state) { startState_ = state; }
    int StartState() const { return startState_; }

  private:
    uint8_t channel_ = 0;
    std::array<uint8_t, kSongSteps + 1> marks_{};
    std::array<WeightRow, 8> weights_{};
    int startState_ = 0;
};

}  // namespace tontoko
