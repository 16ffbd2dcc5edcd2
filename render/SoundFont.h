#pragma once

#include <optional>
#include <string>

namespace tontoko {

// The General MIDI SoundFont: $TONTOKO_SOUNDFONT, then FluidR3_GM.sf2, then
// TimGM6mb.sf2, then FluidSynth's default. Empty when none exists.
std::optional<std::string> FindSoundFont();

}  // namespace tontoko
