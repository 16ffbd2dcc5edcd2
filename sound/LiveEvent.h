#pragma once

#include <cstdint>

namespace tontoko {

// Channels of short sounds (an edited note, a pattern preview). Songs use
// channels 0 to 4 and 9 only, so these never touch a state a song relies on.
inline constexpr uint8_t kPreviewBassChannel = 10;
inline constexpr uint8_t kPreviewAccChannel = 11;  // and the two after it
inline constexpr uint8_t kPreviewDrumChannel = 14;
inline constexpr uint8_t kAuditionChannel = 15;
inline constexpr uint8_t kFirstLiveChannel = 10;
inline constexpr uint8_t kLastLiveChannel = 15;

// One event of a short sound, `ms` milliseconds after it starts.
struct LiveEvent {
    enum class Kind : uint8_t { Program, DrumProgram, NoteOn, NoteOff };
    int ms = 0;
    Kind kind = Kind::NoteOn;
    uint8_t channel = 0;
    uint8_t data1 = 0;  // program or key
    uint8_t data2 = 0;  // velocity
    bool operator==(const LiveEvent&) const = default;
};

}  // namespace tontoko
