// The piano roll's input: presses, drags and the wheel; the keyboard cursor
// and what it tells assistive technology.
#include <QAccessible>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "app/PianoRollTexts.h"
#include "app/PianoRollView.h"
#include "widgets/AccessibleNames.h"

namespace tontoko {

const RollNote* PianoRollView::BarAt(int step, int pitch, bool lane) const {
    const RollNote* note = song_.NoteAt(step);
    if (!note) {
        return nullptr;
    }
    if (lane) {
        return note->pitched ? nullptr : note;
    }
    return note->pitched && note->pitch == pitch ? note : nullptr;
}

void PianoRollView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    const int step = layout_.StepAt(at.x());
    const bool lane = layout_.Lane().Contains(at.x(), at.y());
    const int pitch = layout_.PitchAt(at.y());
    if (step < 0 || !layout_.Columns().Contains(at.x(), at.y())) {
        return;
    }
    if (!InShownPart(step)) {
        // Another part's measures: that part is shown, nothing is edited.
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
            if (pitch >= 0) {
                SetCursor(ClampedCursor({step, pitch}, StepCount(), layout_.Span()));
            }
            ShowPartOf(step);
        }
        return;
    }
    if (pitch < 0 && !lane) {
        return;
    }
    // The keyboard goes on from the pressed cell.
    if (pitch >= 0) {
        SetCursor(ClampedCursor({step, pitch}, StepCount(), layout_.Span()));
    }
    if (event->button() == Qt::RightButton) {
        // The note that starts or sounds in the column, whatever the row: the
        // melody sounds one note at a time. Notes are edited at the
        // eighth-note positions the grids show, in the part shown.
        const RollNote* note = song_.NoteAt(step);
        if (note && note->step % 2 == 0 && InShownPart(note->step) && edits_.remove) {
            const int target = note->step;
            if (selected_ == target) {
                selected_.reset();
            }
            edits_.remove(target);
        }
        return;
    }
    const RollNote* bar = BarAt(step, pitch, lane);
    const bool editable = bar && bar->step % 2 == 0 && InShownPart(bar->step);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (editable) {
        if (edits_.begin) {
            edits_.begin();
        }
        selected_ = bar->step;
        dragStep_ = bar->step;
        dragPitch_ = lane ? -1 : pitch;
        update();
        return;
    }
    if (lane) {
        return;
    }
    const int cell = step - step % 2;
    selected_ = cell;
    dragStep_ = cell;
    dragPitch_ = pitch;
    update();
    if (edits_.begin) {
        edits_.begin();
    }
    if (edits_.place) {
        edits_.place(cell, pitch);
    }
}

void PianoRollView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragStep_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const RollRect grid = layout_.Grid();
    const int y = event->position().toPoint().y();
    if (y >= grid.Bottom() && layout_.HasLane()) {
        return;  // over the lane of notes without a pitch
    }
    const int pitch = layout_.PitchAt(std::clamp(y, grid.y, grid.Bottom() - 1));
    if (pitch < 0 || pitch == dragPitch_) {
        return;
    }
    dragPitch_ = pitch;
    if (edits_.drag) {
        edits_.drag(*dragStep_, pitch);
    }
}

void PianoRollView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragStep_) {
        return;
    }
    dragStep_.reset();
    dragPitch_ = -1;
    Relayout();
    update();
    if (edits_.end) {
        edits_.end();
    }
}

void PianoRollView::wheelEvent(QWheelEvent* event) {
    // The wheel scrolls the song sideways, as over the scroll bar.
    if (!layout_.Scrolls()) {
        QWidget::wheelEvent(event);
        return;
    }
    QCoreApplication::sendEvent(scrollBar_, event);
}

void PianoRollView::keyPressEvent(QKeyEvent* event) {
    // While the mouse holds a note, the keys leave it alone.
    const bool held = dragStep_.has_value();
    if (event->key() == Qt::Key_Delete) {
        if (!held) {
            DeleteNote();
        }
        return;
    }
    constexpr Qt::KeyboardModifiers kChords =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->modifiers() & kChords) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Left:
            MoveCursor(CursorMove::Left);
            return;
        case Qt::Key_Right:
            MoveCursor(CursorMove::Right);
            return;
        case Qt::Key_Up:
            MoveCursor(CursorMove::Up);
            return;
        case Qt::Key_Down:
            MoveCursor(CursorMove::Down);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            // A held key does not place again.
            if (!held && !event->isAutoRepeat()) {
                PlaceAtCursor();
            }
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void PianoRollView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PianoRollView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void PianoRollView::MoveCursor(CursorMove move) {
    if (selected_) {
        selected_.reset();
        update();
    }
    SetCursor(MovedCursor(cursor_, move, StepCount(), layout_.Span()));
    ShowSteps(cursor_.step, cursor_.step + 2);
    // Into another part: the window shows it, and the keys edit there.
    ShowPartOf(cursor_.step);
}

void PianoRollView::SetCursor(RollCursor cursor) {
    if (cursor == cursor_) {
        return;
    }
    cursor_ = cursor;
    update();
    NameCursorPlace();
}

void PianoRollView::PlaceAtCursor() {
    if (!InShownPart(cursor_.step)) {
        return;
    }
    // The edit a left press and its release make on an empty cell: one step.
    selected_ = cursor_.step;
    update();
    if (edits_.begin) {
        edits_.begin();
    }
    if (edits_.place) {
        edits_.place(cursor_.step, cursor_.pitch);
    }
    if (edits_.end) {
        edits_.end();
    }
}

void PianoRollView::DeleteNote() {
    std::optional<int> target = selected_;
    if (!target) {
        // The note sounding at the cursor, if it starts on a cell edits use.
        const RollNote* note = song_.NoteAt(cursor_.step);
        if (note && note->step % 2 == 0) {
            target = note->step;
        }
    }
    if (!target || !InShownPart(*target)) {
        return;
    }
    selected_.reset();
    update();
    if (edits_.remove) {
        edits_.remove(*target);
    }
}

void PianoRollView::NameCursorPlace(bool quietly) {
    const QString name = QString::fromUtf8(rolltexts::kAccessibleName) + QLatin1Char(' ') +
                         CursorText(song_, cursor_);
    if (name == accessibleName()) {
        return;
    }
    setAccessibleName(name);
    if (!quietly) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        NotifyAssistiveTechnology(event);
    }
}

}  // namespace tontoko
