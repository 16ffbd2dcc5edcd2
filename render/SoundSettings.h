#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tontoko {

enum class FadeMode { Normal, FadeIn, FadeOut };

// What the MIDI writer reads of the sound settings while it writes.
struct SoundSettings {
    uint8_t bassProgram = 0;     // 0-based position in the bass list
    uint8_t accProgram = 0;      // accompaniment list
    uint8_t melodyProgram = 0;   // melody list
    uint8_t drumSetProgram = 0;  // program number of the selected drum set
    FadeMode fade = FadeMode::Normal;
};

struct DrumSet {
    const char* name;  // "001 STANDARD" ...
    uint8_t program;
};

// The 128 instrument entries: "001　アコースティックグランドピアノ" ... (UTF-8).
const std::array<std::string, 128>& InstrumentNames();
// The nine GS drum sets with their program numbers.
const std::array<DrumSet, 9>& DrumSets();

}  // namespace tontoko
