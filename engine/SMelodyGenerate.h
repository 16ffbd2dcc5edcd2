#pragma once

#include <array>
#include <cstdint>

#include "engine/TimeGrid.h"

namespace tontoko {

// The pitch half of a voice: one note number per step (plus a terminator), the
// note the MIDI writer left sounding, and the velocity.
class SMelodyGenerate {
  public:
    static constexpr uint8_t kDefaultVelocity = 110;

    void ClearPitches() { pitches_.fill(0); }
    void ClearMeasurePitches(int measure);
    uint8_t Pitch(int step) const { return pitches_.at(step); }
    void SetPitch(int step, uint8_t pitch) { pitches_.at(step) = pitch; }
    void AddToPitch(int step, uint8_t add) { pitches_.at(step) = uint8_t(pitches_.at(step) + add); }
    // Adds d to every non-zero pitch of steps 0..63.
    void ShiftPitches(int d);

    void SetLastNote(uint8_t note) { lastNote_ = note; }
    uint8_t LastNote() const { return lastNote_; }
    void SetVelocity(uint8_t velocity) { velocity_ = velocity; }
    uint8_t Velocity() const { return velocity_; }

  private:
    std::array<uint8_t, kSongSteps + 1> pitches_{};
    [[maybe_unused]] uint8_t spare_ = 0;  // the record's spare byte, kept in its place
    uint8_t lastNote_ = 0;
    uint8_t velocity_ = kDefaultVelocity;
};

}  // namespace tontoko
