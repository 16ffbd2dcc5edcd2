#include "app/RollCursor.h"

#include <algorithm>

#include "app/PianoRollTexts.h"
#include "engine/RollNotes.h"

namespace tontoko {

namespace {

constexpr int kCellSteps = 2;  // an eighth note

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

RollCursor ClampedCursor(RollCursor cursor, int steps, PitchSpan span) {
    const int lastCell = std::max(0, steps - kCellSteps);
    cursor.step = std::clamp(cursor.step - cursor.step % kCellSteps, 0, lastCell);
    cursor.pitch = std::clamp(cursor.pitch, span.low, std::max(span.low, span.high));
    return cursor;
}

RollCursor MovedCursor(RollCursor cursor, CursorMove move, int steps, PitchSpan span) {
    switch (move) {
        case CursorMove::Left:
            cursor.step -= kCellSteps;
            break;
        case CursorMove::Right:
            cursor.step += kCellSteps;
            break;
        case CursorMove::Up:
            ++cursor.pitch;
            break;
        case CursorMove::Down:
            --cursor.pitch;
            break;
    }
    return ClampedCursor(cursor, steps, span);
}

QString CursorText(const RollSong& song, RollCursor cursor) {
    const int inMeasure = cursor.step % kStepsPerMeasure;
    const int beat = inMeasure / 4 + 1;
    const bool offBeat = inMeasure % 4 != 0;
    QString text = Q(offBeat ? rolltexts::kCursorOffBeat : rolltexts::kCursorOnBeat)
                       .arg(cursor.step / kStepsPerMeasure + 1)
                       .arg(beat)
                       .arg(Q(song.Name(cursor.pitch)));
    text += Q(rolltexts::kCursorOctave).arg(Q(song.Octave(cursor.pitch)));
    const RollNote* note = song.NoteAt(cursor.step);
    if (!note) {
        return text;
    }
    const bool starts = note->step == cursor.step;
    if (!note->pitched) {
        return text + Q(starts ? rolltexts::kCursorRhythmNote : rolltexts::kCursorRhythmHeld);
    }
    return text + Q(starts ? rolltexts::kCursorNote : rolltexts::kCursorHeld)
                      .arg(Q(song.Name(note->pitch)));
}

}  // namespace tontoko
