#include "render/SongVoices.h"

#include <algorithm>

#include "engine/SMelodyGenerate.h"
#include "engine/SRhythmGenerate.h"

namespace tontoko {

SongVoices::SongVoices(int voiceCount)
    : voiceCount_(std::max(voiceCount, 0)),
      channels_(static_cast<size_t>(voiceCount_), 0),
      velocities_(static_cast<size_t>(voiceCount_), 0) {}

void SongVoices::Append(std::span<const SRhythmGenerate> rhythms,
                        std::span<const SMelodyGenerate> melodies, int steps) {
    steps = std::clamp(steps, 0, kSongSteps);
    for (int v = 0; v < voiceCount_; ++v) {
        channels_[static_cast<size_t>(v)] = rhythms[static_cast<size_t>(v)].Channel();
        velocities_[static_cast<size_t>(v)] = melodies[static_cast<size_t>(v)].Velocity();
    }
    marks_.reserve(marks_.size() + static_cast<size_t>(steps * voiceCount_));
    pitches_.reserve(pitches_.size() + static_cast<size_t>(steps * voiceCount_));
    for (int s = 0; s < steps; ++s) {
        for (int v = 0; v < voiceCount_; ++v) {
            marks_.push_back(rhythms[static_cast<size_t>(v)].Mark(s));
            pitches_.push_back(melodies[static_cast<size_t>(v)].Pitch(s));
        }
    }
    stepCount_ += steps;
}

}  // namespace tontoko
