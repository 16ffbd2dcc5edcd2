#include "app/PianoRollView.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "app/PianoRollPainter.h"
#include "app/PianoRollTexts.h"
#include "widgets/AccessibleNames.h"
#include "widgets/AppFont.h"

namespace tontoko {

namespace {

QRect ToQ(const RollRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

// The measure a playback position lies in; -1 before the song.
int MeasureOf(double step) {
    return step < 0 ? -1 : int(step) / kStepsPerMeasure;
}

}  // namespace

PianoRollView::PianoRollView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PianoRollView"));
    setFont(AppFont());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(QString::fromUtf8(rolltexts::kEditHint) + QLatin1Char('\n') +
               QString::fromUtf8(rolltexts::kKeyHint));
    FollowHint(*this);
    scrollBar_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar_->setObjectName(QStringLiteral("SB_RollScroll"));
    scrollBar_->setCursor(Qt::ArrowCursor);
    NameControl(*scrollBar_, QString::fromUtf8(rolltexts::kAccessibleScroll));
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this, &PianoRollView::SetScroll);
    Relayout();
    NameCursorPlace(true);
}

void PianoRollView::SetSong(RollSong song) {
    if (song == song_) {
        return;  // nothing the picture shows has changed
    }
    const bool moved = song.shownPart != song_.shownPart || song.partCount != song_.partCount;
    // Only notes changed: the picture is drawn again in their columns alone,
    // as long as the rows, the lane and the scroll stay where they are.
    std::optional<StepRange> changed;
    if (!moved && song.SameBesideMelody(song_)) {
        changed = ChangedSteps(song_.notes, song.notes);
    }
    const PianoRollLayout before = layout_;
    const bool wasStale = pictureStale_;
    const QRect pending = staleColumns_;
    song_ = std::move(song);
    if (selected_) {
        const RollNote* note = song_.NoteAt(*selected_);
        if (!note || note->step != *selected_ || !InShownPart(*selected_)) {
            selected_.reset();
        }
    }
    if (moved && !InShownPart(cursor_.step)) {
        // The keyboard goes on in the part shown, at the same place in it.
        cursor_.step = FirstShownStep() + cursor_.step % kSongSteps;
    }
    Relayout();
    if (moved) {
        ShowSteps(FirstShownStep(), FirstShownStep() + kSongSteps);
    }
    if (changed && !wasStale && layout_ == before) {
        // A note's outline (selection, cursor) reaches two pixels beyond it.
        const int left = layout_.StepX(changed->begin) - 3;
        const int right = layout_.StepX(changed->end) + 3;
        const QRect columns = QRect(left, 0, right - left, height()).intersected(rect());
        pictureStale_ = false;
        staleColumns_ = pending.united(columns);
        update(columns);
    } else {
        update();
    }
    NameCursorPlace();
}

void PianoRollView::SetScroll(int scroll) {
    if (scroll == scroll_) {
        return;
    }
    scroll_ = scroll;
    Relayout();
    scroll_ = layout_.Scroll();
    update();
}

void PianoRollView::ShowSteps(int begin, int end) {
    SetScroll(layout_.ScrollShowing(begin, end));
}

bool PianoRollView::ShowPartOf(int step) {
    const int part = RollSong::PartOf(step);
    if (part == song_.shownPart || part >= song_.partCount) {
        return false;
    }
    if (edits_.show) {
        edits_.show(part);
    }
    return true;
}

void PianoRollView::PlaceScrollBar() {
    const RollRect bar = layout_.ScrollBar();
    QSignalBlocker block(scrollBar_);
    scrollBar_->setRange(0, layout_.MaxScroll());
    scrollBar_->setPageStep(layout_.Columns().w);
    scrollBar_->setSingleStep(std::max(1, layout_.SongWidth() / layout_.Measures() / 4));
    scrollBar_->setValue(layout_.Scroll());
    scrollBar_->setGeometry(ToQ(bar));
    scrollBar_->setVisible(layout_.Scrolls());
}

void PianoRollView::SetShowAccompaniment(bool on) {
    showAccompaniment_ = on;
    Relayout();
    update();
    NameCursorPlace();
}

void PianoRollView::Relayout() {
    // While a note is dragged the rows stay put, or the row under the pointer
    // would change under it.
    PitchSpan span = layout_.Span();
    if (!dragStep_ || layout_.Width() == 0) {
        span = PianoRollLayout::SpanOf(song_, showAccompaniment_);
    }
    const bool lane = std::any_of(song_.notes.begin(), song_.notes.end(),
                                  [](const RollNote& note) { return !note.pitched; });
    layout_ = PianoRollLayout(width(), height(), span, lane, song_.StepCount(), scroll_);
    scroll_ = layout_.Scroll();
    PlaceScrollBar();
    pictureStale_ = true;
    playingStale_ = true;
    staleColumns_ = QRect();
    // Rows that went keep no cursor.
    cursor_ = ClampedCursor(cursor_, StepCount(), layout_.Span());
}

void PianoRollView::EnsurePicture() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    const bool sized = picture_.size() == pixels && picture_.devicePixelRatio() == ratio;
    if (!pictureStale_ && sized && staleColumns_.isEmpty()) {
        return;
    }
    if (!sized) {
        picture_ = QImage(pixels, QImage::Format_RGB32);
        picture_.setDevicePixelRatio(ratio);
    }
    QPainter painter(&picture_);
    if (!pictureStale_ && sized) {
        painter.setClipRect(staleColumns_);
    }
    PaintRoll(painter, layout_, song_);
    pictureStale_ = false;
    staleColumns_ = QRect();
}

void PianoRollView::EnsurePlayingPicture() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (!playingStale_ && playingPicture_.size() == pixels) {
        return;
    }
    playingPicture_ = QImage(pixels, QImage::Format_RGB32);
    playingPicture_.setDevicePixelRatio(ratio);
    QPainter painter(&playingPicture_);
    PaintRoll(painter, layout_, song_, true);
    playingStale_ = false;
}

QImage PianoRollView::Picture() const {
    const PianoRollLayout whole = PianoRollLayout::WholeSong(layout_);
    QImage image(whole.Width(), whole.Height(), QImage::Format_RGB32);
    QPainter painter(&image);
    PaintRoll(painter, whole, song_);
    return image;
}

void PianoRollView::paintEvent(QPaintEvent* event) {
    EnsurePicture();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), picture_);
    const int measure = playhead_ ? MeasureOf(*playhead_) : -1;
    if (measure >= 0 && measure < layout_.Measures()) {
        EnsurePlayingPicture();
        const QRect rect = ToQ(layout_.MeasureRect(measure));
        painter.drawImage(rect, playingPicture_,
                          QRectF(rect.topLeft() * playingPicture_.devicePixelRatio(),
                                 rect.size() * playingPicture_.devicePixelRatio()));
    }
    if (selected_) {
        if (const RollNote* note = song_.NoteAt(*selected_)) {
            PaintSelection(painter, layout_, *note);
        }
    }
    if (hasFocus()) {
        PaintCursor(painter, layout_, cursor_.step, cursor_.pitch);
    }
    if (playhead_) {
        PaintPlayhead(painter, layout_, *playhead_);
    }
}

void PianoRollView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
    // The part shown stays in view at any width.
    ShowSteps(FirstShownStep(), FirstShownStep() + kSongSteps);
}

QRect PianoRollView::PlayheadRect(std::optional<double> step) const {
    if (!step) {
        return {};
    }
    const int x = layout_.PositionX(*step);
    const RollRect top = layout_.MeasureNumbers();
    return QRect(x - 2, top.y, 4, layout_.Lane().Bottom() - top.y);
}

void PianoRollView::SetPlayhead(std::optional<double> step) {
    if (step == playhead_) {
        return;
    }
    const std::optional<double> old = playhead_;
    playhead_ = step;
    if (step && *step >= 0 && *step < StepCount()) {
        // The view turns a page when the line leaves it, and goes back when
        // the line wraps round to where a loop starts.
        const int x = layout_.PositionX(*step);
        const RollRect columns = layout_.Columns();
        if (x < columns.x || x >= columns.Right() - 1) {
            const int measureStart = MeasureOf(*step) * kStepsPerMeasure;
            const int scroll = layout_.StepX(measureStart) - columns.x + layout_.Scroll();
            if (scroll != layout_.Scroll()) {
                SetScroll(scroll);
                return;  // all drawn again
            }
        }
    }
    const int oldMeasure = old ? MeasureOf(*old) : -1;
    const int newMeasure = step ? MeasureOf(*step) : -1;
    if (oldMeasure != newMeasure) {
        // The tint moves: both measures are drawn again.
        for (int m : {oldMeasure, newMeasure}) {
            if (m >= 0 && m < layout_.Measures()) {
                update(ToQ(layout_.MeasureRect(m)));
            }
        }
    }
    // Only the pixels the line leaves and reaches.
    update(PlayheadRect(old));
    update(PlayheadRect(step));
}

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
