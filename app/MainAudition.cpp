// Hearing what is edited: an edited note, a chosen chord, and one measure of
// a pattern.
#include <QTimer>

#include "app/main.h"
#include "sound/ChordAudition.h"
#include "sound/MidiPlayer.h"
#include "sound/OfflineSynth.h"
#include "sound/PatternPreview.h"

namespace tontoko {

namespace {
// The export's synthesizer loads once the playback's is well on its way, so
// that the two loads do not share the processor with the window's first paint.
constexpr int kExportLoadDelayMs = 1500;
}  // namespace

void TSMain::LoadSoundInBackground() {
    const bool ownPlayer = player_ == nullptr;
    Player().Preload();
    if (ownPlayer) {
        QTimer::singleShot(kExportLoadDelayMs, this, [this] { Exporter().StartLoading(); });
    }
}

void TSMain::AuditionNote(uint8_t pitch) {
    // Never while a song plays; without a working device nothing sounds and
    // nothing is said: the edit itself is what counts.
    if (playing_ || pitch == 0) {
        return;
    }
    const SongState& state = document_.Current();
    Player().Sound(AuditionEvents(pitch, state.programs[size_t(Instrument::Melody)],
                                  state.volumes[size_t(VolumeGroup::Melody)]),
                   false);
}

void TSMain::AuditionChord(int degree) {
    // As an edited note: never over a song, never waiting, never reported.
    if (playing_) {
        return;
    }
    const SongState& state = document_.Current();
    Player().Sound(ChordAuditionEvents(document_.Engine(), degree,
                                       state.programs[size_t(Instrument::Accompaniment)],
                                       state.programs[size_t(Instrument::Bass)]),
                   false);
}

void TSMain::SoundPreview(const std::vector<LiveEvent>& events) {
    if (events.empty()) {
        return;
    }
    try {
        Player().Sound(events, true);
    } catch (const PlayerError& error) {
        ShowPlayerError(error);
    }
}

}  // namespace tontoko
