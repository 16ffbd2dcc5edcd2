#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "render/SoundSettings.h"

namespace tontoko {

class SRhythmGenerate;
class SMelodyGenerate;
class SongVoices;

// The three bytes of the set-tempo event: 60,000,000 / tempo, at most
// 0xFFFFFF (tempo 0 gives the largest).
uint32_t TempoMicroseconds(uint8_t tempo);

// The velocity of a note that starts at `step` of a song of `steps` steps, for
// a voice of velocity `velocity`: the velocity itself, or a fade over the
// whole song in integers: velocity * (step + 1) / steps for a fade-in,
// velocity * (steps - 1 - step) / steps for a fade-out.
uint8_t FadedVelocity(uint8_t velocity, int step, int steps, FadeMode fade);

// Writes the ten voices as a format-0 Standard MIDI File with a fixed layout
// (header, tempo, GS reset, program changes, bank select, drum set, interval,
// notes, end of track). The voices' last notes carry over from one write to
// the next. An onset of the melody voice whose note number is 0 is a rest: it
// ends the melody's previous note and starts none.
class SStandardMidi {
  public:
    void SetInterval(int beats) { interval_ = beats; }
    int Interval() const { return interval_; }

    // Appends the whole file of a song of any length to `out`: the lead-in
    // once, then every step of `voices` at one continuous time. `lastNotes`
    // (one per voice) holds the notes the voices carry from the previous write
    // and receives the notes they leave sounding.
    void Compose(std::vector<uint8_t>& out, const SongVoices& voices, std::span<uint8_t> lastNotes,
                 uint8_t tempo, const SoundSettings& settings);

    // Appends the file of the first `stepCount` steps (0..64) of the voices
    // and updates the voices' last notes.
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
