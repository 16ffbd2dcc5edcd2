#pragma once

#include <QString>

#include "app/PianoRollLayout.h"

namespace tontoko {

struct RollSong;

// The keyboard cursor of the piano roll: one eighth-note cell of the grid, the
// cells that edits use, given as its first step (even) and its pitch row.
struct RollCursor {
    int step = 0;
    int pitch = 72;
    bool operator==(const RollCursor&) const = default;
};

enum class CursorMove { Left, Right, Up, Down };

// The cursor one cell to the left or right or one row up or down, staying on
// the cells of `steps` steps and the rows of `span`. At an edge it stays.
RollCursor MovedCursor(RollCursor cursor, CursorMove move, int steps, PitchSpan span);

// The cursor on a cell and a row of the grid: the cell its step lies in, the
// nearest row (after the rows changed).
RollCursor ClampedCursor(RollCursor cursor, int steps, PitchSpan span);

// What a screen reader says of the cursor's place: the measure, the beat (an
// eighth note after a beat is its "裏"), the name and octave of the row, and
// the melody note sounding there, e.g. "2小節目 3拍目 ソ、オクターブ0".
QString CursorText(const RollSong& song, RollCursor cursor);

}  // namespace tontoko
