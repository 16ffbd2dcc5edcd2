#include "document/MelodyEdit.h"

#include <algorithm>
#include <cstdint>

#include "engine/Song.h"

namespace tontoko {

namespace {

constexpr int kLowestNote = 37;
constexpr int kHighestNote = 96;
constexpr uint8_t kNewNote = 72;
constexpr const char* kNewNoteName = "ド";

// A note starts at the step: onset mark 1 and its pitch.
void StartNote(Song& song, int step, uint8_t pitch) {
    song.MelodyRhythm().SetMark(step, 1);
    song.MelodyPitches().SetPitch(step, pitch);
}

bool HasOnset(const Song& song, int step) {
    return int8_t(song.MelodyRhythm().Mark(step)) > 0;
}

}  // namespace

int CellStep(int measure, int column) {
    return kStepsPerMeasure * (measure - 1) + 2 * column;
}

CellTexts PressCell(Song& song, int measure, int column, PressButton button, int k) {
    const int step = CellStep(measure, column);
    int pitch = song.MelodyPitches().Pitch(step);
    if (pitch >= kLowestNote && pitch <= kHighestNote) {
        if (button == PressButton::Left) {
            --pitch;
        } else if (button == PressButton::Right) {
            ++pitch;
        }
        song.MelodyPitches().SetPitch(step, uint8_t(pitch));
        return NoteTexts(song, pitch, k);
    }
    // A new note always reads "ド", whatever the key.
    StartNote(song, step, kNewNote);
    return {kNewNoteName, OctaveText(kNewNote, k)};
}

CellTexts NoteTexts(const Song& song, int pitch, int k) {
    return {DisplayName(song.melody, pitch, k), OctaveText(pitch, k)};
}

uint8_t RollNotePitch(const Song& song, int rowPitch) {
    const Mode mode = song.CurrentMode();
    const int pitch = std::clamp(rowPitch, kLowestNote, kHighestNote);
    const int below = song.melody.Snap(uint8_t(pitch), 1, mode);
    if (below >= kLowestNote) {
        return uint8_t(below);
    }
    return song.melody.Snap(uint8_t(pitch), 0, mode);
}

CellTexts PlaceCellNote(Song& song, int measure, int column, uint8_t pitch, int k) {
    StartNote(song, CellStep(measure, column), pitch);
    return NoteTexts(song, pitch, k);
}

std::optional<CellTexts> StepCellInKey(Song& song, int measure, int column, int direction, int k) {
    const int step = CellStep(measure, column);
    const int pitch = song.MelodyPitches().Pitch(step);
    if (!HasOnset(song, step) || pitch == 0 || direction == 0) {
        return std::nullopt;
    }
    const int d = direction > 0 ? 1 : -1;
    int next = pitch + d;
    // In a diatonic key one or two semitones always reach the next key note.
    while (!song.melody.InKey(uint8_t(next), song.CurrentMode())) {
        next += d;
    }
    if ((d > 0 && next > kHighestNote) || (d < 0 && next < kLowestNote)) {
        return std::nullopt;
    }
    song.MelodyPitches().SetPitch(step, uint8_t(next));
    return NoteTexts(song, next, k);
}

bool DeleteCell(Song& song, int measure, int column) {
    const int step = CellStep(measure, column);
    if (int8_t(song.MelodyPitches().Pitch(step)) <= 0) {
        return false;
    }
    song.MelodyRhythm().SetMark(step, 0);
    song.MelodyPitches().SetPitch(step, 0);
    return true;
}

void ClearMeasure(Song& song, int measure) {
    song.MelodyRhythm().ClearMeasureMarks(measure - 1);
    song.MelodyPitches().ClearMeasurePitches(measure - 1);
}

void ClearAll(Song& song) {
    song.MelodyRhythm().ClearMarks();
    song.MelodyPitches().ClearPitches();
}

MelodyCells RefreshCells(const Song& song, int k) {
    MelodyCells cells;
    for (int step = 0; step < kSongSteps; step += 2) {
        if (song.MelodyRhythm().Mark(step) == 0) {
            continue;
        }
        const int m = step / kStepsPerMeasure;
        const int column = (step % kStepsPerMeasure) / 2;
        const CellTexts texts = NoteTexts(song, int8_t(song.MelodyPitches().Pitch(step)), k);
        cells.names[m][column] = texts.name;
        cells.octaves[m][column] = texts.octave;
    }
    return cells;
}

std::string ClearTargetText(int position, int firstMeasure) {
    if (position >= 1 && position <= kMeasures) {
        return std::to_string(firstMeasure + position - 1) + "小節目の";
    }
    return "全小節の";
}

}  // namespace tontoko
