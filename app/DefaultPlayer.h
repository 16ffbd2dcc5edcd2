#pragma once

#include <memory>

#include "sound/MidiPlayer.h"

namespace tontoko {

// The real media player the window uses when none is given: the sound
// service's player, which also sounds edited notes and pattern previews. Its
// audio output follows the desktop (TONTOKO_AUDIO_DRIVER forces one,
// TONTOKO_AUDIO_FILE names the output of the "file" driver).
std::unique_ptr<MidiPlayer> CreateDefaultPlayer();

}  // namespace tontoko
