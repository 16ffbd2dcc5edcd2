#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "render/SoundSettings.h"

namespace tontoko {

class SRhythmGenerate;
class SMelodyGenerate;

// Writes the ten voices as a format-0 Standard MIDI File with a fixed layout
// (header, tempo, GS reset, program changes, bank select, drum set, interval,
// notes, end of track). The voices' last notes carry over from one write to
// the next.
class SStandardMidi {
  public:
    void SetInterval(int beats) { interval_ = beats; }
    int Interval() const { return interval_; }

    // Appends the whole file to `out` and updates the voices' last notes.
    void Compose(std::vector<uint8_t>& out, std::span<const SRhythmGenerate> rhythms,
                 std::span<SMelodyGenerate> melodies, int stepCount, uint8_t tempo,
                 const SoundSettings& settings);

    // Composes and writes to `path` through a temporary file in the same folder
    // renamed over the target, so a failed write leaves an existing file intact.
    // Returns false when the file could not be written.
    bool Write(const std::string& path, std::span<const SRhythmGenerate> rhythms,
               std::span<SMelodyGenerate> melodies, int stepCount, uint8_t tempo,
               const SoundSettings& settings);

    // Appends a variable-length quantity; returns the number of bytes.
    static int WriteVarLen(std::vector<uint8_t>& out, uint32_t value);

  private:
    int interval_ = 0;
};

}  // namespace tontoko
