#include "app/DefaultPlayer.h"

#include "sound/FluidSynthPlayer.h"

namespace tontoko {

std::unique_ptr<MidiPlayer> CreateDefaultPlayer() {
    return std::make_unique<FluidSynthPlayer>();
}

}  // namespace tontoko
