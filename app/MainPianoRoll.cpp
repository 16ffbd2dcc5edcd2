// The piano roll window beside the main window: created hidden at start-up,
// shown from the view menu and the tool bar, following the song.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <algorithm>

#include "app/PianoRoll.h"
#include "app/main.h"
#include "document/MelodyEdit.h"
#include "engine/RollNotes.h"
#include "render/RenderSong.h"
#include "sound/MidiPlayer.h"
#include "widgets/StringGrid.h"

namespace tontoko {

namespace {

int MeasureOfStep(int step) {
    return step / kStepsPerMeasure + 1;
}

int ColumnOfStep(int step) {
    return (step % kStepsPerMeasure) / 2;
}

bool IsValidCell(int step) {
    return step >= 0 && step < kSongSteps && step % 2 == 0;
}

}  // namespace

void TSMain::CreatePianoRoll() {
    pianoRoll_ = new TSPianoRoll(this, *fileDialogs_, *messages_);
    pianoRoll_->hide();
    RollEdits edits;
    edits.place = [this](int step, int rowPitch) { RollPlace(step, rowPitch); };
    edits.drag = [this](int step, int rowPitch) { RollDrag(step, rowPitch); };
    edits.remove = [this](int step) { RollRemove(step); };
    pianoRoll_->SetEdits(std::move(edits));
    pianoRoll_->SetRefresh([this] { RefreshPianoRoll(); });

    // Changes that reach the picture without a handler of their own: the
    // fix-melody boxes and the pattern that the accompaniment view shows.
    for (QCheckBox* box : fixMelody_) {
        connect(box, &QCheckBox::toggled, pianoRoll_, [this] { RefreshPianoRoll(); });
    }
    connect(CB_AccPattern, &QComboBox::currentIndexChanged, pianoRoll_,
            [this] { RefreshPianoRoll(); });
    connect(CB_Drum, &QCheckBox::toggled, pianoRoll_, [this] { RefreshPianoRoll(); });
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

void TSMain::SongChanged() {
    RefreshPianoRoll();
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
                              std::max(midi_.Interval(), 0) * kTicksPerQuarter);
}

void TSMain::RefreshPianoRoll() {
    if (!pianoRoll_ || !song_) {
        return;
    }
    RollSong roll = ReadRollSong(*song_);
    if (pianoRoll_->ShowsAccompaniment()) {
        RenderChoice choice;
        choice.drumsOn = CB_Drum->isChecked();
        choice.accPattern = CB_AccPattern->currentIndex();
        choice.drumPattern = CB_DrumPattern->currentIndex();
        const AccompanimentVoices voices = PreviewAccompaniment(*song_, patterns_, choice);
        for (size_t v = 0; v < voices.rhythms.size(); ++v) {
            const std::vector<RollNote> notes = VoiceNotes(voices.rhythms[v], voices.pitches[v]);
            roll.accompaniment.insert(roll.accompaniment.end(), notes.begin(), notes.end());
        }
    }
    pianoRoll_->SetSong(std::move(roll));
}

void TSMain::ShowRollCell(int step, const std::string& name, const std::string& octave) {
    const int measure = MeasureOfStep(step);
    melodyGrids_[measure - 1]->SetCell(ColumnOfStep(step), QString::fromStdString(name));
    octaveGrids_[measure - 1]->SetCell(ColumnOfStep(step), QString::fromStdString(octave));
}

void TSMain::RollPlace(int step, int rowPitch) {
    if (!IsValidCell(step)) {
        return;
    }
    const uint8_t pitch = RollNotePitch(*song_, rowPitch);
    const bool onset = int8_t(song_->MelodyRhythm().Mark(step)) > 0;
    if (onset && song_->MelodyPitches().Pitch(step) == pitch) {
        return;  // the note is there already
    }
    const CellTexts shown =
        PlaceCellNote(*song_, MeasureOfStep(step), ColumnOfStep(step), pitch, KeyOffset());
    ShowRollCell(step, shown.name, shown.octave);
    AuditionNote(pitch);
    SongChanged();
}

void TSMain::RollDrag(int step, int rowPitch) {
    if (!IsValidCell(step) || int8_t(song_->MelodyRhythm().Mark(step)) <= 0) {
        return;
    }
    const int measure = MeasureOfStep(step);
    const int column = ColumnOfStep(step);
    const int target = RollNotePitch(*song_, rowPitch);
    const int before = song_->MelodyPitches().Pitch(step);
    if (before == target) {
        return;
    }
    std::optional<CellTexts> shown;
    if (before == 0) {
        // An onset without a pitch gets the row's pitch.
        shown = PlaceCellNote(*song_, measure, column, uint8_t(target), KeyOffset());
    } else {
        // Row by row through the key, as far as the pointer's row.
        const int direction = target > before ? 1 : -1;
        for (int moves = 0; moves < 128; ++moves) {
            const int pitch = song_->MelodyPitches().Pitch(step);
            if (direction > 0 ? pitch >= target : pitch <= target) {
                break;
            }
            std::optional<CellTexts> next =
                StepCellInKey(*song_, measure, column, direction, KeyOffset());
            if (!next) {
                break;
            }
            shown = next;
        }
    }
    if (!shown) {
        return;
    }
    ShowRollCell(step, shown->name, shown->octave);
    AuditionNote(song_->MelodyPitches().Pitch(step));
    SongChanged();
}

void TSMain::RollRemove(int step) {
    if (!IsValidCell(step)) {
        return;
    }
    if (DeleteCell(*song_, MeasureOfStep(step), ColumnOfStep(step))) {
        ShowRollCell(step, {}, {});
        SongChanged();
    }
}

}  // namespace tontoko
