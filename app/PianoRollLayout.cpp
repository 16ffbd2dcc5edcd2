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

PianoRollLayout::PianoRollLayout(int width, int height, PitchSpan span, bool lane)
    : width_(width), height_(height), span_(span), lane_(lane) {}

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
    const int bottom = height_ - kMargin - kLegendHeight - (lane_ ? kLaneHeight : 0);
    return {chords.x, top, chords.w, std::max(0, bottom - top)};
}

RollRect PianoRollLayout::Lane() const {
    const RollRect grid = Grid();
    return {grid.x, grid.Bottom(), grid.w, lane_ ? kLaneHeight : 0};
}

RollRect PianoRollLayout::Legend() const {
    return {kMargin, height_ - kMargin - kLegendHeight, std::max(0, width_ - 2 * kMargin),
            kLegendHeight};
}

int PianoRollLayout::StepX(int step) const {
    const RollRect grid = Grid();
    return grid.x + (step * grid.w + kSongSteps / 2) / kSongSteps;
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
    int step = std::clamp((x - grid.x) * kSongSteps / std::max(grid.w, 1), 0, kSongSteps - 1);
    while (step > 0 && x < StepX(step)) {
        --step;
    }
    while (step < kSongSteps - 1 && x >= StepX(step + 1)) {
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
    const RollRect grid = Grid();
    const double clamped = std::clamp(step, 0.0, double(kSongSteps));
    return grid.x + int(std::lround(clamped * grid.w / kSongSteps));
}

}  // namespace tontoko
