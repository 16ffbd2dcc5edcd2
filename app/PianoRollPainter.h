#pragma once

#include <QColor>

#include "app/PianoRollLayout.h"
#include "engine/Harmony.h"

class QPainter;

namespace tontoko {

struct RollNote;
struct RollSong;

// The colours of the picture; the legend explains the first three.
namespace rollcolors {
inline const QColor kChordTone{47, 111, 208};
inline const QColor kScaleTone{46, 154, 78};
inline const QColor kClash{217, 65, 43};
inline const QColor kUnpitched{150, 150, 150};
inline const QColor kAccompaniment{110, 90, 170, 110};
inline const QColor kAccompanimentOnset{90, 70, 150, 190};
inline const QColor kBackground{255, 255, 255};
inline const QColor kScaleRow{236, 240, 246};
inline const QColor kChordRow{255, 238, 186};
inline const QColor kHeader{246, 246, 246};
inline const QColor kRowLine{226, 229, 234};
inline const QColor kOctaveLine{180, 186, 196};
inline const QColor kEighthLine{232, 232, 232};
inline const QColor kBeatLine{196, 196, 196};
inline const QColor kMeasureLine{96, 96, 96};
inline const QColor kText{40, 40, 40};
inline const QColor kLockBack{255, 241, 204};
inline const QColor kLockText{150, 90, 0};
inline const QColor kPlayingMeasure{255, 190, 0, 56};
// The part shown, in a song of several: its frame and measure numbers, and
// the band behind the numbers.
inline const QColor kShownPart{52, 104, 196};
inline const QColor kShownPartBand{208, 224, 250};
inline const QColor kPlayhead{224, 32, 42};
inline const QColor kSelection{20, 20, 20};
inline const QColor kCursor{160, 0, 150};
inline const QColor kCursorBand{160, 0, 150, 36};
}  // namespace rollcolors

QColor RoleColor(NoteRole role);

// The whole picture of the song, without playhead or selection. `playing`
// tints the measures behind the notes: the look of the measure that plays.
void PaintRoll(QPainter& painter, const PianoRollLayout& layout, const RollSong& song,
               bool playing = false);

// The line at the playback position.
void PaintPlayhead(QPainter& painter, const PianoRollLayout& layout, double step);

// An outline around the selected note.
void PaintSelection(QPainter& painter, const PianoRollLayout& layout, const RollNote& note);

// The keyboard cursor on the eighth-note cell from `step` in the row of
// `pitch`: a thick frame, faint bands through its column and its row, and the
// row's name marked.
void PaintCursor(QPainter& painter, const PianoRollLayout& layout, int step, int pitch);

// The rectangle a melody note's bar is drawn in: its cells less a pixel of
// air on each side, so that neighbouring notes stay apart.
RollRect BarRect(const PianoRollLayout& layout, const RollNote& note);

}  // namespace tontoko
