#include "app/PianoRollLayout.h"

#include <algorithm>
#include <cmath>

#include "engine/RollNotes.h"

namespace tontoko {

namespace {

// "ド" of the key: the pitches p with p - t a multiple of 12.
int DoAtOrBelow(int pitch, int t) {
    return pitch - PitchClass(pitch - t);
}

int DoAtOrAbove(int pitch, int t) {
    return pitch + (12 - PitchClass(pitch - t)) % 12;
}

}  // namespace

PianoRollLayout::PianoRollLayout(int width, int height, PitchSpan span, bool lane, int steps,
                                 int scroll)
    : width_(width),
      height_(height),
      span_(span),
      lane_(lane),
      steps_(std::max(steps / kStepsPerMeasure, 1) * kStepsPerMeasure) {
    const int columns = MeasureNumbers().w;
    const int measure = std::min(kMinMeasureWidth, columns / kMeasures);
    songWidth_ = std::max(columns, Measures() * measure);
    scroll_ = std::clamp(scroll, 0, MaxScroll());
}

PianoRollLayout PianoRollLayout::WholeSong(const PianoRollLayout& shown) {
    PianoRollLayout whole(shown.width_ + shown.MaxScroll(), shown.height_, shown.span_, shown.lane_,
                          shown.steps_);
    whole.songWidth_ = shown.songWidth_;
    whole.scroll_ = 0;
    return whole;
}

int PianoRollLayout::MaxScroll() const {
    return std::max(0, songWidth_ - MeasureNumbers().w);
}

int PianoRollLayout::ScrollShowing(int begin, int end) const {
    const int columns = MeasureNumbers().w;
    const int left = StepX(begin) + scroll_ - MeasureNumbers().x;
    const int right = StepX(end) + scroll_ - MeasureNumbers().x;
    int scroll = scroll_;
    if (right - left > columns || left < scroll) {
        scroll = left;
    } else if (right > scroll + columns) {
        scroll = right - columns;
    }
    return std::clamp(scroll, 0, MaxScroll());
}

PitchSpan PianoRollLayout::SpanOf(const RollSong& song, bool withAccompaniment) {
    const int t = song.transposition;
    // Always the two octaves where generated melodies and new notes lie, so
    // that the rows stay put while a melody is edited inside them.
    int low = 60 + t;
    int high = 84 + t;
    auto include = [&](const std::vector<RollNote>& notes) {
        for (const RollNote& note : notes) {
            if (note.pitched) {
                low = std::min(low, note.pitch);
                high = std::max(high, note.pitch);
            }
        }
    };
    include(song.notes);
    if (withAccompaniment) {
        include(song.accompaniment);
    }
    PitchSpan span{DoAtOrBelow(low, t), DoAtOrAbove(high, t)};
    if (span.low < 0) {
        span.low += 12;
    }
    if (span.high > 127) {
        span.high -= 12;
    }
    span.low = std::max(span.low, 0);
    span.high = std::min(span.high, 127);
    return span;
}

RollRect PianoRollLayout::Labels() const {
    const RollRect grid = Grid();
    return {kMargin, grid.y, kLabelWidth, grid.h + Lane().h};
}

RollRect PianoRollLayout::Keys() const {
    const RollRect grid = Grid();
    return {kMargin + kLabelWidth, grid.y, kKeysWidth, grid.h};
}

RollRect PianoRollLayout::MeasureNumbers() const {
    const int x = kMargin + kLabelWidth + kKeysWidth;
    return {x, kMargin, std::max(0, width_ - kMargin - x), kNumbersHeight};
}

RollRect PianoRollLayout::Chords() const {
    const RollRect numbers = MeasureNumbers();
    return {numbers.x, numbers.Bottom(), numbers.w, kChordsHeight};
}

RollRect PianoRollLayout::Grid() const {
    const RollRect chords = Chords();
    const int top = chords.Bottom();
    const int bar = songWidth_ > chords.w ? kScrollBarHeight : 0;
    const int bottom = height_ - kMargin - kLegendHeight - (lane_ ? kLaneHeight : 0) - bar;
    return {chords.x, top, chords.w, std::max(0, bottom - top)};
}

RollRect PianoRollLayout::Lane() const {
    const RollRect grid = Grid();
    return {grid.x, grid.Bottom(), grid.w, lane_ ? kLaneHeight : 0};
}

RollRect PianoRollLayout::ScrollBar() const {
    const RollRect lane = Lane();
    return {lane.x, lane.Bottom(), lane.w, Scrolls() ? kScrollBarHeight : 0};
}

RollRect PianoRollLayout::Columns() const {
    const RollRect numbers = MeasureNumbers();
    return {numbers.x, numbers.y, numbers.w, Lane().Bottom() - numbers.y};
}

int PianoRollLayout::FirstVisibleStep() const {
    const RollRect grid = Grid();
    return std::max(0, StepAt(grid.x));
}

int PianoRollLayout::EndVisibleStep() const {
    const RollRect grid = Grid();
    const int last = StepAt(grid.Right() - 1);
    return last < 0 ? steps_ : last + 1;
}

RollRect PianoRollLayout::Legend() const {
    return {kMargin, height_ - kMargin - kLegendHeight, std::max(0, width_ - 2 * kMargin),
            kLegendHeight};
}

int PianoRollLayout::StepX(int step) const {
    const int x = MeasureNumbers().x - scroll_;
    return x + (step * songWidth_ + steps_ / 2) / steps_;
}

int PianoRollLayout::RowTop(int pitch) const {
    const RollRect grid = Grid();
    const int rows = RowCount();
    return grid.y + ((span_.high - pitch) * grid.h + rows / 2) / rows;
}

RollRect PianoRollLayout::CellRect(int step, int pitch) const {
    return SpanRect(step, step + 1, pitch);
}

RollRect PianoRollLayout::SpanRect(int begin, int end, int pitch) const {
    const int x = StepX(begin);
    const int y = RowTop(pitch);
    return {x, y, StepX(end) - x, RowTop(pitch - 1) - y};
}

RollRect PianoRollLayout::LaneRect(int begin, int end) const {
    const RollRect lane = Lane();
    const int x = StepX(begin);
    return {x, lane.y, StepX(end) - x, lane.h};
}

RollRect PianoRollLayout::HalfRect(int half) const {
    const RollRect chords = Chords();
    const int halfSteps = kStepsPerMeasure / 2;
    const int x = StepX(half * halfSteps);
    return {x, chords.y, StepX((half + 1) * halfSteps) - x, chords.h};
}

RollRect PianoRollLayout::MeasureRect(int measure) const {
    const int x = StepX(measure * kStepsPerMeasure);
    const int top = MeasureNumbers().y;
    const RollRect lane = Lane();
    return {x, top, StepX((measure + 1) * kStepsPerMeasure) - x, lane.Bottom() - top};
}

int PianoRollLayout::StepAt(int x) const {
    const RollRect grid = Grid();
    if (x < grid.x || x >= grid.Right()) {
        return -1;
    }
    const int inSong = x - grid.x + scroll_;
    int step = std::clamp(inSong * steps_ / std::max(songWidth_, 1), 0, steps_ - 1);
    while (step > 0 && x < StepX(step)) {
        --step;
    }
    while (step < steps_ - 1 && x >= StepX(step + 1)) {
        ++step;
    }
    return step;
}

int PianoRollLayout::PitchAt(int y) const {
    const RollRect grid = Grid();
    if (y < grid.y || y >= grid.Bottom()) {
        return -1;
    }
    for (int pitch = span_.high; pitch >= span_.low; --pitch) {
        if (y < RowTop(pitch - 1)) {
            return pitch;
        }
    }
    return span_.low;
}

int PianoRollLayout::PositionX(double step) const {
    const double clamped = std::clamp(step, 0.0, double(steps_));
    return MeasureNumbers().x - scroll_ + int(std::lround(clamped * songWidth_ / steps_));
}

}  // namespace tontoko
