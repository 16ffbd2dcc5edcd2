// The piano roll window beside the main window: created hidden at start-up,
// shown from the view menu and the tool bar, following the song.
#include "app/main.h"

namespace tontoko {

void TSMain::CreatePianoRoll() {}

void TSMain::MI_PianoRollClick() {}

void TSMain::TB_PianoRollClick() {
    MI_PianoRollClick();
}

void TSMain::SongChanged() {}

void TSMain::PlaybackStateChanged() {}

}  // namespace tontoko
