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
#include "render/ComposeParts.h"
#include "render/RenderSong.h"
#include "sound/MidiPlayer.h"

namespace tontoko {

namespace {

bool IsValidCell(int step) {
    return step >= 0 && step < kSongSteps && step % 2 == 0;
}

// Roll edits are named after the measure they change, by its number in the
// song, as grid presses are.
QString RollStep(const SongDocument& document, int step) {
    return QString::fromUtf8(texts::kStepMeasure)
        .arg(document.SongMeasure(step / kStepsPerMeasure + 1))
        .arg(QString::fromUtf8(texts::kStepMelody));
}

// The bass and accompaniment of every part, as Save renders them, from a
// scratch song with the same key, chords, voices and random state.
std::vector<RollNote> AccompanimentNotes(const SongDocument& document) {
    const Song& song = document.Engine();
    Song scratch(0);
    scratch.dur = song.dur;
    scratch.melody = song.melody;
    scratch.random = song.random;
    for (size_t k = 0; k < size_t(kChordNodes); ++k) {
        const SChord& node = song.nodes[k];
        scratch.nodes[k].SetChord(node.Degree(), node.Tone(0), node.Tone(1), node.Tone(2),
                                  node.Tone(3));
    }
    scratch.rhythms = song.rhythms;
    scratch.melodies = song.melodies;
    const SongDocument::State& state = document.Current();
    const SongVoices voices = RenderParts(scratch, std::span(state.parts.data(), state.partCount),
                                          document.Patterns(), document.Choice());
    std::vector<RollNote> notes;
    std::vector<uint8_t> marks(size_t(voices.StepCount()));
    std::vector<uint8_t> pitches(marks.size());
    for (int v = 0; v < kMelodyVoice; ++v) {
        for (int s = 0; s < voices.StepCount(); ++s) {
            marks[size_t(s)] = voices.Mark(s, v);
            pitches[size_t(s)] = voices.Pitch(s, v);
        }
        const std::vector<RollNote> voice = VoiceNotes(marks, pitches);
        notes.insert(notes.end(), voice.begin(), voice.end());
    }
    return notes;
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
    edits.show = [this](int part) { mainPage_->ShowPart(part); };
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
    const SongDocument::State& state = document_.Current();
    RollSong roll = ReadRollSong(document_.Engine(), std::span(state.parts.data(), state.partCount),
                                 document_.Position());
    if (pianoRoll_->ShowsAccompaniment()) {
        roll.accompaniment = AccompanimentNotes(document_);
    }
    pianoRoll_->SetSong(std::move(roll));
}

std::optional<int> TSMain::RollPartStep(int songStep) const {
    const int step = songStep - document_.Position() * kSongSteps;
    if (!IsValidCell(step)) {
        return std::nullopt;
    }
    return step;
}

void TSMain::RollPlace(int songStep, int rowPitch) {
    const std::optional<int> cell = RollPartStep(songStep);
    if (!cell) {
        return;
    }
    const int step = *cell;
    history_.Edit(RollStep(document_, step), [this, step, rowPitch] {
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

void TSMain::RollDrag(int songStep, int rowPitch) {
    const Song& song = document_.Engine();
    const std::optional<int> cell = RollPartStep(songStep);
    if (!cell || int8_t(song.MelodyRhythm().Mark(*cell)) <= 0) {
        return;
    }
    const int step = *cell;
    history_.Edit(RollStep(document_, step), [this, step, rowPitch, &song] {
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

void TSMain::RollRemove(int songStep) {
    const std::optional<int> cell = RollPartStep(songStep);
    if (!cell) {
        return;
    }
    const int step = *cell;
    history_.Edit(RollStep(document_, step), [this, step] {
        if (document_.DeleteCell(step / kStepsPerMeasure + 1, (step % kStepsPerMeasure) / 2)) {
            mainPage_->ShowCell(step, {});
        }
    });
}

}  // namespace tontoko
