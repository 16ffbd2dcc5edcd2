#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tontoko {

// The General MIDI SoundFont: $TONTOKO_SOUNDFONT, then FluidR3_GM.sf2, then
// TimGM6mb.sf2, then FluidSynth's default. Empty when none exists.
std::optional<std::string> FindSoundFont();

// The places FindSoundFont looks, in order (unset or empty entries left out).
std::vector<std::string> SoundFontCandidates();
// The first candidate that is an existing regular file.
std::optional<std::string> FirstExistingFile(const std::vector<std::string>& candidates);

}  // namespace tontoko
