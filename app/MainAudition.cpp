// Hearing what is edited: an edited note, and one measure of a pattern.
#include "app/main.h"

namespace tontoko {

void TSMain::AuditionNote(uint8_t /*pitch*/) {}

void TSMain::B_PreviewAccClick() {}

void TSMain::B_PreviewDrumClick() {}

void TSMain::LoadSoundInBackground() {}

}  // namespace tontoko
