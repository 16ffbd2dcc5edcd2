#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/TimeGrid.h"

namespace tontoko {

class SRhythmGenerate;
class SMelodyGenerate;

// The voices of a whole song as the MIDI writer reads them: each voice's
// channel and velocity, and for every step of the song each voice's onset mark
// and note number. A song of several parts is its parts' steps one after
// another.
class SongVoices {
  public:
    explicit SongVoices(int voiceCount = kVoiceCount);

    // Appends the first `steps` steps (0..64) of the voices; the channels and
    // velocities become theirs. The spans hold at least VoiceCount() voices.
    void Append(std::span<const SRhythmGenerate> rhythms, std::span<const SMelodyGenerate> melodies,
                int steps);

    int VoiceCount() const { return voiceCount_; }
    int StepCount() const { return stepCount_; }
    uint8_t Channel(int voice) const { return channels_[static_cast<size_t>(voice)]; }
    uint8_t Velocity(int voice) const { return velocities_[static_cast<size_t>(voice)]; }
    uint8_t Mark(int step, int voice) const { return marks_[Index(step, voice)]; }
    uint8_t Pitch(int step, int voice) const { return pitches_[Index(step, voice)]; }

  private:
    size_t Index(int step, int voice) const {
        return static_cast<size_t>(step) * static_cast<size_t>(voiceCount_) +
               static_cast<size_t>(voice);
    }

    int voiceCount_;
    int stepCount_ = 0;
    std::vector<uint8_t> channels_;
    std::vector<uint8_t> velocities_;
    std::vector<uint8_t> marks_;  // step by step, voice order within a step
    std::vector<uint8_t> pitches_;
};

}  // namespace tontoko
