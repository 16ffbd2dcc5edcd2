#include "editing/MelodyEdit.h"

#include <cstdint>

#include "engine/Song.h"

namespace tontoko {

namespace {

constexpr int kLowestNote = 37;
constexpr int kHighestNote = 96;
constexpr uint8_t kNewNote = 72;
constexpr const char* kNewNoteName = "ド";

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
        return {DisplayName(song.melody, pitch, k), OctaveText(pitch, k)};
    }
    // A new note always reads "ド", whatever the key.
    song.MelodyRhythm().SetMark(step, 1);
    song.MelodyPitches().SetPitch(step, kNewNote);
    return {kNewNoteName, OctaveText(kNewNote, k)};
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
        const int pitch = int8_t(song.MelodyPitches().Pitch(step));
        cells.names[m][column] = DisplayName(song.melody, pitch, k);
        cells.octaves[m][column] = OctaveText(pitch, k);
    }
    return cells;
}

std::string ClearTargetText(int position) {
    if (position >= 1 && position <= kMeasures) {
        return std::to_string(position) + "小節目の";
    }
    return "全小節の";
}

}  // namespace tontoko
