// Audio export: the song as Play would sound it, written to a WAV, FLAC or Ogg
// Vorbis file.
#include "app/main.h"

namespace tontoko {

void TSMain::MI_ExportClick() {}

void TSMain::TB_ExportClick() {
    MI_ExportClick();
}

}  // namespace tontoko
