#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tontoko {

// The General MIDI SoundFont, or why there is none.
struct SoundFontLookup {
    std::optional<std::string> path;
    std::string error;  // for a person, naming the file when one was asked for
};

// $TONTOKO_SOUNDFONT, then FluidR3_GM.sf2, then TimGM6mb.sf2, then FluidSynth's
// default. A TONTOKO_SOUNDFONT that is set but names a missing file, or one
// that is not a SoundFont, is an error: it is never replaced by another.
SoundFontLookup LookUpSoundFont();
// The same over explicit candidates; `required` (may be empty) is the one the
// user asked for, which must be usable.
SoundFontLookup LookUpSoundFont(const std::vector<std::string>& candidates,
                                const std::string& required);

// LookUpSoundFont's path alone.
std::optional<std::string> FindSoundFont();

// The places LookUpSoundFont looks, in order (unset or empty entries left out).
std::vector<std::string> SoundFontCandidates();
// The first candidate that is an existing regular file.
std::optional<std::string> FirstExistingFile(const std::vector<std::string>& candidates);

}  // namespace tontoko
