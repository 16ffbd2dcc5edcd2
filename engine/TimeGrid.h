#pragma once

namespace tontoko {

constexpr int kTicksPerQuarter = 96;
constexpr int kTicksPerStep = 24;
constexpr int kStepsPerMeasure = 16;
constexpr int kMeasures = 4;
constexpr int kSongSteps = kStepsPerMeasure * kMeasures;  // 64
constexpr int kVoiceCount = 10;
constexpr int kMelodyVoice = 4;
constexpr int kFirstDrumVoice = 5;
constexpr int kDrumChannel = 9;
constexpr int kChordSlots = 8;
constexpr int kChordNodes = 7;

// The chord slot that governs a step: two halves per measure.
constexpr int SlotOfStep(int step) {
    return 2 * (step / kStepsPerMeasure) + ((step % kStepsPerMeasure) >= 8 ? 1 : 0);
}

}  // namespace tontoko
