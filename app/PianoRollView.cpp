// The piano roll's picture: the song, its layout and scroll, the cached drawing
// and the playhead.
#include "app/PianoRollView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
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
        staleColumns_ = staleColumns_.united(columns);
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

}  // namespace tontoko
