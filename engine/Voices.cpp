// Operations of the two halves of a voice.
#include <algorithm>
#include <stdexcept>

#include "engine/SMelodyGenerate.h"
#include "engine/SRhythmGenerate.h"

namespace tontoko {

namespace {
void CheckMeasure(int measure) {
    if (measure < 0 || measure >= kMeasures) {
        throw std::out_of_range("measure out of range");
    }
}
}  // namespace

void SRhythmGenerate::ClearMeasureMarks(int measure) {
    CheckMeasure(measure);
    std::fill_n(marks_.begin() + measure * kStepsPerMeasure, kStepsPerMeasure, uint8_t{0});
}

void SRhythmGenerate::LoadMarks(std::string_view text) {
    const int n = std::min<int>(kSongSteps, static_cast<int>(text.size()));
    for (int s = 0; s < n; ++s) {
        marks_[s] = uint8_t(text[s] - '0');
    }
}

void SMelodyGenerate::ClearMeasurePitches(int measure) {
    CheckMeasure(measure);
    std::fill_n(pitches_.begin() + measure * kStepsPerMeasure, kStepsPerMeasure, uint8_t{0});
}

void SMelodyGenerate::ShiftPitches(int d) {
    for (int s = 0; s < kSongSteps; ++s) {
        if (pitches_[s] != 0) {
            pitches_[s] = uint8_t(pitches_[s] + d);
        }
    }
}

}  // namespace tontoko
