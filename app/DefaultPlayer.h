#pragma once

#include <memory>

#include "render/MidiPlayer.h"

namespace tontoko {

// The real media player the window uses when none is given.
std::unique_ptr<MidiPlayer> CreateDefaultPlayer();

}  // namespace tontoko
