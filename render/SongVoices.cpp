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
    const size_t at = marks_.size();
    marks_.resize(at + static_cast<size_t>(steps * voiceCount_));
    pitches_.resize(marks_.size());
    for (int v = 0; v < voiceCount_; ++v) {
        const SRhythmGenerate& rhythm = rhythms[static_cast<size_t>(v)];
        const SMelodyGenerate& melody = melodies[static_cast<size_t>(v)];
        for (int s = 0; s < steps; ++s) {
            const size_t i = at + Index(s, v);
            marks_[i] = rhythm.Mark(s);
            pitches_[i] = melody.Pitch(s);
        }
    }
    stepCount_ += steps;
}

}  // namespace tontoko
