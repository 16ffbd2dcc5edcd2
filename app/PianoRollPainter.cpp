#include "app/PianoRollPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "app/CachedText.h"
#include "app/PianoRollTexts.h"
#include "engine/RollNotes.h"
#include "widgets/AppFont.h"

namespace tontoko {

namespace {

using namespace rollcolors;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QRect ToQ(const RollRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

QFont Font(int pixelSize, bool bold = false) {
    QFont font = AppFont(pixelSize);
    font.setBold(bold);
    return font;
}

bool IsBlackKey(int pitch) {
    switch (PitchClass(pitch)) {
        case 1:
        case 3:
        case 6:
        case 8:
        case 10:
            return true;
        default:
            return false;
    }
}

int RowHeight(const PianoRollLayout& layout) {
    return layout.Grid().h / std::max(layout.RowCount(), 1);
}

// Row labels and note labels shrink with the rows, down to a size that still
// reads.
int RowFontSize(const PianoRollLayout& layout) {
    return std::clamp(RowHeight(layout) - 1, 8, 12);
}

// Which rows get a label: all while they are tall enough for one, else the
// scale rows, and on very low rows only each "ド".
bool RowLabelled(const PianoRollLayout& layout, const RollSong& song, int pitch) {
    const int height = RowHeight(layout);
    if (height >= 9) {
        return true;
    }
    if (height >= 6) {
        return song.InKey(pitch);
    }
    return PitchClass(pitch - song.transposition) == 0;
}

constexpr int kHalfSteps = kStepsPerMeasure / 2;

// The chord halves and measures whose columns show.
int FirstHalf(const PianoRollLayout& layout) {
    return layout.FirstVisibleStep() / kHalfSteps;
}
int EndHalf(const PianoRollLayout& layout) {
    return std::min((layout.EndVisibleStep() + kHalfSteps - 1) / kHalfSteps, 2 * layout.Measures());
}

void PaintRows(QPainter& p, const PianoRollLayout& layout, const RollSong& song) {
    const RollRect grid = layout.Grid();
    const PitchSpan span = layout.Span();
    const int firstHalf = FirstHalf(layout);
    const int endHalf = std::min(EndHalf(layout), int(song.chords.size()));
    for (int pitch = span.low; pitch <= span.high; ++pitch) {
        const RollRect row = layout.SpanRect(0, layout.Steps(), pitch);
        p.fillRect(ToQ(row), song.InKey(pitch) ? kScaleRow : kBackground);
        for (int half = firstHalf; half < endHalf; ++half) {
            if (song.IsChordTone(half, pitch)) {
                p.fillRect(ToQ(layout.SpanRect(half * kHalfSteps, (half + 1) * kHalfSteps, pitch)),
                           kChordRow);
            }
        }
    }
    // Lines between rows, darker below each "ド".
    for (int pitch = span.low; pitch <= span.high; ++pitch) {
        const int y = layout.RowTop(pitch - 1) - 1;
        const bool octave = PitchClass(pitch - song.transposition) == 0;
        p.setPen(octave ? kOctaveLine : kRowLine);
        p.drawLine(grid.x, y, grid.Right() - 1, y);
    }
}

void PaintColumnLines(QPainter& p, const PianoRollLayout& layout) {
    const RollRect grid = layout.Grid();
    const RollRect lane = layout.Lane();
    const int top = layout.Chords().y;
    const int bottom = std::max(grid.Bottom(), lane.Bottom()) - 1;
    const int steps = layout.Steps();
    const int first = layout.FirstVisibleStep() / 2 * 2;
    const int end = std::min(layout.EndVisibleStep() + 2, steps + 1);
    for (int step = first; step < end; step += 2) {
        // The song's last line inside the columns, as the first is.
        const int x = step == steps ? layout.StepX(step) - 1 : layout.StepX(step);
        if (step % kStepsPerMeasure == 0) {
            p.setPen(kMeasureLine);
            p.drawLine(x, layout.MeasureNumbers().y, x, bottom);
            if (step % kSongSteps == 0 && step > 0 && step < steps) {
                // Where one part of four measures meets the next.
                p.drawLine(x + 1, layout.MeasureNumbers().y, x + 1, bottom);
            }
        } else if (step % 4 == 0) {
            p.setPen(kBeatLine);
            p.drawLine(x, grid.y, x, bottom);
        } else {
            p.setPen(kEighthLine);
            p.drawLine(x, grid.y, x, bottom);
        }
        if (step % (kStepsPerMeasure / 2) == 0 && step % kStepsPerMeasure != 0) {
            p.setPen(kBeatLine);
            p.drawLine(x, top, x, grid.y - 1);
        }
    }
}

void PaintKeys(QPainter& p, const PianoRollLayout& layout, const RollSong& song) {
    const RollRect labels = layout.Labels();
    const RollRect keys = layout.Keys();
    const PitchSpan span = layout.Span();
    p.fillRect(ToQ(labels), kHeader);
    p.fillRect(ToQ(keys), kBackground);
    const QFont font = Font(RowFontSize(layout));
    p.setFont(font);
    for (int pitch = span.low; pitch <= span.high; ++pitch) {
        const int top = layout.RowTop(pitch);
        const int bottom = layout.RowTop(pitch - 1);
        if (RowLabelled(layout, song, pitch)) {
            // Centred on the row; a label may reach into its neighbours' air.
            const QRect label(labels.x + 2, (top + bottom) / 2 - 8, labels.w - 5, 16);
            p.setPen(song.InKey(pitch) ? kText : QColor(120, 120, 120));
            DrawCachedText(p, label, Qt::AlignLeft | Qt::AlignVCenter, Q(song.Name(pitch)));
            DrawCachedText(p, label, Qt::AlignRight | Qt::AlignVCenter, Q(song.Octave(pitch)));
        }
        if (IsBlackKey(pitch)) {
            p.fillRect(QRect(keys.x, top, keys.w * 3 / 5, bottom - top), QColor(50, 50, 50));
        } else if (!IsBlackKey(pitch - 1)) {
            // Two white keys meet (E-F, B-C): a line between them.
            p.setPen(kBeatLine);
            p.drawLine(keys.x, bottom - 1, keys.Right() - 1, bottom - 1);
        }
    }
    // White keys meet in the middle of a black key above and below.
    p.setPen(kBeatLine);
    for (int pitch = span.low; pitch <= span.high; ++pitch) {
        if (IsBlackKey(pitch)) {
            const int middle = (layout.RowTop(pitch) + layout.RowTop(pitch - 1)) / 2;
            p.drawLine(keys.x + keys.w * 3 / 5, middle, keys.Right() - 1, middle);
        }
    }
    p.setPen(kBeatLine);
    p.drawRect(keys.x, keys.y, keys.w - 1, keys.h - 1);
    if (layout.HasLane()) {
        const RollRect lane = layout.Lane();
        p.setPen(kText);
        DrawCachedText(p, QRect(labels.x + 2, lane.y, labels.w + keys.w - 4, lane.h),
                       Qt::AlignLeft | Qt::AlignVCenter, Q(rolltexts::kLaneLabel));
    }
}

void PaintAccompaniment(QPainter& p, const PianoRollLayout& layout, const RollSong& song) {
    const PitchSpan span = layout.Span();
    for (const RollNote& note : song.accompaniment) {
        if (!note.pitched || note.pitch < span.low || note.pitch > span.high) {
            continue;
        }
        const RollRect r = layout.SpanRect(note.step, note.end, note.pitch);
        const QRect bar(r.x + 1, r.y + 1, std::max(r.w - 2, 1), std::max(r.h - 2, 1));
        p.fillRect(bar, kAccompaniment);
        // A firmer mark where each note starts, so that the rhythm shows.
        p.fillRect(QRect(bar.x(), bar.y(), std::min(2, bar.width()), bar.height()),
                   kAccompanimentOnset);
    }
}

void PaintBar(QPainter& p, const QRect& bar, const QColor& fill, const QRect& clip) {
    const qreal radius = std::min(4.0, bar.height() / 2.0);
    QPainterPath path;
    path.addRoundedRect(QRectF(bar).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    p.setPen(fill.darker(140));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

void PaintMelody(QPainter& p, const PianoRollLayout& layout, const RollSong& song) {
    const QFont font = Font(RowFontSize(layout), true);
    p.setFont(font);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int first = layout.FirstVisibleStep();
    const int end = layout.EndVisibleStep();
    for (const RollNote& note : song.notes) {
        if (note.end <= first || note.step >= end) {
            continue;
        }
        const QRect bar = ToQ(BarRect(layout, note));
        if (bar.isEmpty()) {
            continue;
        }
        if (!note.pitched) {
            PaintBar(p, bar, kUnpitched, bar);
            p.setPen(Qt::white);
            DrawCachedText(p, bar.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                           Q(rolltexts::kLaneLabel));
            continue;
        }
        const size_t count = note.segments.size();
        for (size_t i = 0; i < count; ++i) {
            const RollSegment& segment = note.segments[i];
            if (segment.end <= first || segment.begin >= end) {
                continue;
            }
            const int left = i == 0 ? bar.left() : layout.StepX(segment.begin);
            const int right = i + 1 == count ? bar.right() + 1 : layout.StepX(segment.end);
            PaintBar(p, bar, RoleColor(segment.role),
                     QRect(left, bar.top(), right - left, bar.height()));
        }
        if (bar.height() >= 8) {
            p.save();
            p.setClipRect(bar, Qt::IntersectClip);
            p.setPen(Qt::white);
            DrawCachedText(p, bar.adjusted(3, -2, 0, 2), Qt::AlignLeft | Qt::AlignVCenter,
                           Q(song.Name(note.pitch)));
            p.restore();
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

void PaintLock(QPainter& p, const QRect& area, const QString& text) {
    const QFontMetrics metrics(p.font());
    const int width = 16 + metrics.horizontalAdvance(text) + 6;
    const QRect badge(area.right() - width - 3, area.top() + 2, width, area.height() - 4);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(kLockText);
    p.setBrush(kLockBack);
    p.drawRoundedRect(QRectF(badge).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    // A padlock: the shackle over the body.
    const QRectF body(badge.left() + 4, badge.center().y() - 1, 8, 6);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(body.left() + 1.5, body.top() - 5, 5, 8), 0, 180 * 16);
    p.setBrush(kLockText);
    p.drawRect(body);
    p.setRenderHint(QPainter::Antialiasing, false);
    DrawCachedText(p, badge.adjusted(16, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

void PaintHeader(QPainter& p, const PianoRollLayout& layout, const RollSong& song) {
    const RollRect numbers = layout.MeasureNumbers();
    const RollRect chords = layout.Chords();
    p.fillRect(ToQ(numbers), kHeader);
    p.fillRect(ToQ(chords), kBackground);
    if (song.partCount > 1) {
        // The part shown: its measure numbers on a band of its own colour.
        const int from = song.shownPart * kSongSteps;
        const int x = layout.StepX(from);
        p.fillRect(QRect(x, numbers.y, layout.StepX(from + kSongSteps) - x, numbers.h),
                   kShownPartBand);
    }
    const int firstMeasure = layout.FirstVisibleStep() / kStepsPerMeasure;
    const int endMeasure =
        std::min((layout.EndVisibleStep() + kStepsPerMeasure - 1) / kStepsPerMeasure,
                 std::min(layout.Measures(), song.MeasureCount()));
    for (int m = firstMeasure; m < endMeasure; ++m) {
        const RollRect measure = layout.MeasureRect(m);
        const QRect cell(measure.x, numbers.y, measure.w, numbers.h);
        const bool shown =
            song.partCount > 1 && RollSong::PartOf(m * kStepsPerMeasure) == song.shownPart;
        p.setFont(Font(12, true));
        p.setPen(shown ? kShownPart : kText);
        DrawCachedText(p, cell.adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::number(m + 1));
        if (song.rhythmFixed[size_t(m)] || song.melodyFixed[size_t(m)]) {
            p.setFont(Font(11));
            PaintLock(
                p, cell,
                Q(song.melodyFixed[size_t(m)] ? rolltexts::kMelodyFixed : rolltexts::kRhythmFixed));
        }
    }
    const int endHalf = std::min(EndHalf(layout), int(song.chords.size()));
    for (int half = FirstHalf(layout); half < endHalf; ++half) {
        const RollChord& chord = song.chords[size_t(half)];
        const QRect cell = ToQ(layout.HalfRect(half)).adjusted(4, 1, -2, -1);
        p.setPen(kText);
        p.setFont(Font(13, true));
        const int degree = std::clamp(chord.degree, 1, 7);
        DrawCachedText(p, QRect(cell.left(), cell.top(), cell.width(), 15),
                       Qt::AlignLeft | Qt::AlignVCenter, Q(rolltexts::kDegrees[degree - 1]));
        QString tones;
        for (int k = 0; k < 3; ++k) {
            tones += (k ? QStringLiteral(" ") : QString()) + Q(song.Name(chord.tones[k]));
        }
        p.setFont(Font(11));
        p.setPen(QColor(110, 80, 0));
        DrawCachedText(p, QRect(cell.left(), cell.top() + 15, cell.width(), cell.height() - 15),
                       Qt::AlignLeft | Qt::AlignVCenter, tones);
    }
    p.setPen(kBeatLine);
    p.drawLine(numbers.x, chords.Bottom() - 1, numbers.Right() - 1, chords.Bottom() - 1);
}

// A frame around the part shown, over its notes, when the song has others.
void PaintShownPart(QPainter& p, const PianoRollLayout& layout, const RollSong& song) {
    if (song.partCount <= 1) {
        return;
    }
    const int from = song.shownPart * kSongSteps;
    const RollRect columns = layout.Columns();
    const int left = layout.StepX(from);
    const int right = layout.StepX(from + kSongSteps);
    p.setPen(QPen(kShownPart, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(left + 1, columns.y + 1, right - left - 1, columns.h - 2));
}

void PaintLegend(QPainter& p, const PianoRollLayout& layout, const RollSong& song) {
    const RollRect legend = layout.Legend();
    p.setFont(Font(12));
    const QFontMetrics metrics(p.font());
    int x = legend.x + PianoRollLayout::kLabelWidth + PianoRollLayout::kKeysWidth;
    auto entry = [&](const QColor& colour, const char* text) {
        const QRect swatch(x, legend.y + 6, 18, 11);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(colour.alpha() < 255 ? colour : colour.darker(140));
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(swatch).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(kText);
        const QString label = Q(text);
        DrawCachedText(p, QRect(x + 22, legend.y, metrics.horizontalAdvance(label) + 2, legend.h),
                       Qt::AlignLeft | Qt::AlignVCenter, label);
        x += 22 + metrics.horizontalAdvance(label) + 16;
    };
    entry(kChordTone, rolltexts::kLegendChordTone);
    entry(kScaleTone, rolltexts::kLegendScaleTone);
    entry(kClash, rolltexts::kLegendClash);
    if (!song.accompaniment.empty()) {
        entry(kAccompaniment, rolltexts::kLegendAccompaniment);
    }
    if (song.partCount > 1) {
        entry(kShownPartBand, rolltexts::kLegendShownPart);
    }
}

}  // namespace

QColor RoleColor(NoteRole role) {
    switch (role) {
        case NoteRole::ChordTone:
            return kChordTone;
        case NoteRole::ScaleTone:
            return kScaleTone;
        case NoteRole::Clash:
            return kClash;
    }
    return kScaleTone;
}

RollRect BarRect(const PianoRollLayout& layout, const RollNote& note) {
    const RollRect cells =
        note.pitched ? layout.SpanRect(note.step, note.end, note.pitch)
                     : (layout.HasLane() ? layout.LaneRect(note.step, note.end) : RollRect{});
    if (cells.w <= 2 || cells.h <= 2) {
        return cells;
    }
    return {cells.x + 1, cells.y + 1, cells.w - 2, cells.h - 2};
}

void PaintRoll(QPainter& painter, const PianoRollLayout& layout, const RollSong& song,
               bool playing) {
    painter.fillRect(0, 0, layout.Width(), layout.Height(), kBackground);
    // The song's columns, scrolled, inside theirs; the keys and the legend
    // stay where they are.
    painter.save();
    painter.setClipRect(ToQ(layout.Columns()), Qt::IntersectClip);
    PaintRows(painter, layout, song);
    if (layout.HasLane()) {
        painter.fillRect(ToQ(layout.Lane()), kHeader);
    }
    PaintColumnLines(painter, layout);
    PaintHeader(painter, layout, song);
    if (playing) {
        // Under the notes, so that their colours stay what they mean.
        painter.fillRect(ToQ(layout.Columns()), kPlayingMeasure);
    }
    PaintAccompaniment(painter, layout, song);
    PaintMelody(painter, layout, song);
    PaintShownPart(painter, layout, song);
    painter.restore();
    PaintKeys(painter, layout, song);
    PaintLegend(painter, layout, song);
}

void PaintPlayhead(QPainter& painter, const PianoRollLayout& layout, double step) {
    const int x = layout.PositionX(step);
    const RollRect columns = layout.Columns();
    const QRect line(x - 1, columns.y, 2, columns.h);
    painter.fillRect(line.intersected(ToQ(columns)), kPlayhead);
}

void PaintSelection(QPainter& painter, const PianoRollLayout& layout, const RollNote& note) {
    const QRect bar = ToQ(BarRect(layout, note));
    if (bar.isEmpty()) {
        return;
    }
    painter.save();
    painter.setClipRect(ToQ(layout.Columns()), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kSelection, 2));
    painter.setBrush(Qt::NoBrush);
    const qreal radius = std::min(4.0, bar.height() / 2.0);
    painter.drawRoundedRect(QRectF(bar).adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
    painter.restore();
}

void PaintCursor(QPainter& painter, const PianoRollLayout& layout, int step, int pitch) {
    const QRect cell = ToQ(layout.SpanRect(step, step + 2, pitch));
    if (cell.isEmpty()) {
        return;
    }
    const RollRect grid = layout.Grid();
    painter.save();
    // The row's name and octave, marked at their side.
    const RollRect labels = layout.Labels();
    painter.fillRect(QRect(labels.x, cell.top(), labels.w, cell.height()), kCursorBand);
    painter.fillRect(QRect(labels.x, cell.top(), 3, cell.height()), kCursor);
    painter.setClipRect(ToQ(layout.Columns()), Qt::IntersectClip);
    painter.fillRect(QRect(cell.left(), grid.y, cell.width(), grid.h), kCursorBand);
    painter.fillRect(QRect(grid.x, cell.top(), grid.w, cell.height()), kCursorBand);
    // The frame: the colour outside, white inside, readable on any bar.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kCursor, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(cell.adjusted(-1, -1, 0, 0));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(cell.adjusted(1, 1, -2, -2));
    painter.restore();
}

}  // namespace tontoko
