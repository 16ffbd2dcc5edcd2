// The piano roll window beside the main window: created hidden at start-up,
// shown from the view menu and the tool bar, following the song and editing
// it through the same document operations as the grids.
#include <QAction>
#include <algorithm>

#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/PianoRoll.h"
#include "app/main.h"
#include "engine/RollNotes.h"
#include "render/RenderSong.h"
#include "sound/MidiPlayer.h"

namespace tontoko {

namespace {

bool IsValidCell(int step) {
    return step >= 0 && step < kSongSteps && step % 2 == 0;
}

// Roll edits are named after the measure they change, as grid presses are.
QString RollStep(int step) {
    return QString::fromUtf8(texts::kStepMeasure)
        .arg(step / kStepsPerMeasure + 1)
        .arg(QString::fromUtf8(texts::kStepMelody));
}

}  // namespace

void TSMain::CreatePianoRoll() {
    pianoRoll_ = new TSPianoRoll(this, *fileDialogs_, *messages_);
    pianoRoll_->hide();
    RollEdits edits;
    edits.begin = [this] { history_.Begin(); };
    edits.end = [this] { history_.End(QString::fromUtf8(texts::kStepRoll)); };
    edits.place = [this](int step, int rowPitch) { RollPlace(step, rowPitch); };
    edits.drag = [this](int step, int rowPitch) { RollDrag(step, rowPitch); };
    edits.remove = [this](int step) { RollRemove(step); };
    pianoRoll_->SetEdits(std::move(edits));
    pianoRoll_->SetRefresh([this] { RefreshPianoRoll(); });
    // Stop ends the playback: the playhead goes at once.
    connect(TB_Stop, &QAction::triggered, pianoRoll_, [this] { pianoRoll_->StopPlayback(); });
    RefreshPianoRoll();
}

TSMain::PianoRollOwner::~PianoRollOwner() {
    delete roll;
    roll = nullptr;
}

void TSMain::MI_PianoRollClick() {
    RefreshPianoRoll();
    pianoRoll_->Open();
}

void TSMain::TB_PianoRollClick() {
    MI_PianoRollClick();
}

void TSMain::PlaybackStateChanged() {
    if (!pianoRoll_) {
        return;
    }
    if (!playing_) {
        pianoRoll_->StopPlayback();
        return;
    }
    // Step 0 lies after the interval the file was written with.
    pianoRoll_->StartPlayback([this] { return player_ ? player_->CurrentTick() : -1; },
                              int(document_.Current().interval) * kTicksPerQuarter);
}

void TSMain::RefreshPianoRoll() {
    if (!pianoRoll_) {
        return;
    }
    const Song& song = document_.Engine();
    RollSong roll = ReadRollSong(song);
    if (pianoRoll_->ShowsAccompaniment()) {
        const AccompanimentVoices voices =
            PreviewAccompaniment(song, document_.Patterns(), document_.Choice());
        for (size_t v = 0; v < voices.rhythms.size(); ++v) {
            const std::vector<RollNote> notes = VoiceNotes(voices.rhythms[v], voices.pitches[v]);
            roll.accompaniment.insert(roll.accompaniment.end(), notes.begin(), notes.end());
        }
    }
    pianoRoll_->SetSong(std::move(roll));
}

void TSMain::RollPlace(int step, int rowPitch) {
    if (!IsValidCell(step)) {
        return;
    }
    history_.Edit(RollStep(step), [this, step, rowPitch] {
        const uint8_t pitch = document_.NotePitchOfRow(rowPitch);
        const Song& song = document_.Engine();
        const bool onset = int8_t(song.MelodyRhythm().Mark(step)) > 0;
        if (onset && song.MelodyPitches().Pitch(step) == pitch) {
            return;  // the note is there already
        }
        mainPage_->ShowCell(step, document_.PlaceNote(step, pitch));
        AuditionNote(pitch);
    });
}

void TSMain::RollDrag(int step, int rowPitch) {
    const Song& song = document_.Engine();
    if (!IsValidCell(step) || int8_t(song.MelodyRhythm().Mark(step)) <= 0) {
        return;
    }
    history_.Edit(RollStep(step), [this, step, rowPitch, &song] {
        const int target = document_.NotePitchOfRow(rowPitch);
        const int before = song.MelodyPitches().Pitch(step);
        if (before == target) {
            return;
        }
        std::optional<CellTexts> shown;
        if (before == 0) {
            // An onset without a pitch gets the row's pitch.
            shown = document_.PlaceNote(step, uint8_t(target));
        } else {
            // Row by row through the key, as far as the pointer's row.
            const int direction = target > before ? 1 : -1;
            for (int moves = 0; moves < 128; ++moves) {
                const int pitch = song.MelodyPitches().Pitch(step);
                if (direction > 0 ? pitch >= target : pitch <= target) {
                    break;
                }
                std::optional<CellTexts> next = document_.StepNoteInKey(step, direction);
                if (!next) {
                    break;
                }
                shown = next;
            }
        }
        if (!shown) {
            return;
        }
        mainPage_->ShowCell(step, *shown);
        AuditionNote(song.MelodyPitches().Pitch(step));
    });
}

void TSMain::RollRemove(int step) {
    if (!IsValidCell(step)) {
        return;
    }
    history_.Edit(RollStep(step), [this, step] {
        if (document_.DeleteCell(step / kStepsPerMeasure + 1, (step % kStepsPerMeasure) / 2)) {
            mainPage_->ShowCell(step, {});
        }
    });
}

}  // namespace tontoko
