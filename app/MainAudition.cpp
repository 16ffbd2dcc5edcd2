// Hearing what is edited: an edited note, and one measure of a pattern.
#include <QComboBox>
#include <QTimer>

#include "app/main.h"
#include "sound/MidiPlayer.h"
#include "sound/OfflineSynth.h"
#include "sound/PatternPreview.h"
#include "widgets/UpDown.h"

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
    Player().Sound(
        AuditionEvents(pitch, uint8_t(CB_Melody->currentIndex()), uint8_t(UD_VMelody->Position())),
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

void TSMain::B_PreviewAccClick() {
    if (playing_) {
        return;
    }
    const std::vector<LiveEvent> events = AccompanimentPreview(
        *song_, patterns_, CB_AccPattern->currentIndex(), uint8_t(CB_Acc->currentIndex()),
        uint8_t(CB_Base->currentIndex()), UD_Tempo->Position());
    SoundPreview(events);
}

void TSMain::B_PreviewDrumClick() {
    if (playing_) {
        return;
    }
    const std::vector<LiveEvent> events =
        DrumPreview(*song_, patterns_, CB_DrumPattern->currentIndex(),
                    drumPrograms_.at(CB_DrumSet->currentIndex()), UD_Tempo->Position());
    SoundPreview(events);
}

}  // namespace tontoko
