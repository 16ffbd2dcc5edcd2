#include "engine/Polish.h"

#include "engine/Finish.h"
#include "engine/Motif.h"

namespace tontoko {

void PolishMelody(Song& song, MelodyPolish polish) {
    if (polish.finish) {
        FinishMelody(song);
    }
    if (polish.motif) {
        ApplyMotif(song);
        if (polish.finish) {
            FinishMelodyKeepingContour(song);
        }
    }
}

}  // namespace tontoko
