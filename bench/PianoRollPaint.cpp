// The piano roll's drawing at 750 x 400 for a generated song: a full repaint
// (goal: under 4 ms), the same through the widget, and one playhead frame of
// the thirty a second the roll draws while a song plays. For a song of 32
// measures (8 parts full of notes): a repaint of what shows, scrolled to the
// start and to the middle (goal: under 8 ms), and of the whole song as it is
// saved.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>

#include "app/PianoRollLayout.h"
#include "app/PianoRollPainter.h"
#include "app/PianoRollView.h"
#include "engine/MelodyGenerator.h"
#include "engine/RollNotes.h"
#include "engine/Song.h"
#include "engine/SongPart.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"

namespace {

using namespace tontoko;

constexpr int kWidth = 750;
constexpr int kHeight = 400;

RollSong GeneratedSong(bool accompaniment) {
    Song song(20260101);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    GenerateProgression(song, FirstChord::Random, 0);
    GenerateMelody(song);
    song.flags.Set(1, FixedKind::Rhythm, true);
    RollSong roll = ReadRollSong(song);
    if (accompaniment) {
        PatternLibrary library;
        LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
        const AccompanimentVoices voices = PreviewAccompaniment(song, library, RenderChoice{});
        for (size_t v = 0; v < voices.rhythms.size(); ++v) {
            const std::vector<RollNote> notes = VoiceNotes(voices.rhythms[v], voices.pitches[v]);
            roll.accompaniment.insert(roll.accompaniment.end(), notes.begin(), notes.end());
        }
    }
    return roll;
}

// Eight parts, each freshly generated in eighth notes, the fourth shown.
RollSong LongSong() {
    Song song(20260102);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    std::vector<SongPart> parts(kMaxParts);
    for (SongPart& part : parts) {
        GenerateProgression(song, FirstChord::Random, 0);
        GenerateMelody(song);
        for (int slot = 0; slot < kChordSlots; ++slot) {
            part.degrees[size_t(slot)] = uint8_t(song.SlotDegree(slot));
        }
        for (int s = 0; s < kSongSteps; ++s) {
            part.marks[size_t(s)] = song.MelodyRhythm().Mark(s);
            part.pitches[size_t(s)] = song.MelodyPitches().Pitch(s);
        }
        part.fixed[1] = {true, false};
    }
    return ReadRollSong(song, parts, 3);
}

// Everything drawn anew into an image: rows, lines, keys, header, bars,
// legend. arg 1: with the accompaniment behind.
void BM_FullRepaint(benchmark::State& state) {
    const RollSong song = GeneratedSong(state.range(0) != 0);
    const PianoRollLayout layout(kWidth, kHeight,
                                 PianoRollLayout::SpanOf(song, state.range(0) != 0), false);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PaintRoll(painter, layout, song);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["notes"] = double(song.notes.size() + song.accompaniment.size());
    state.counters["rows"] = layout.RowCount();
}
BENCHMARK(BM_FullRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A 32-measure song at the roll's size: what shows at scroll 0 (arg 0) and
// half way through the song (arg 1), or the whole song unscrolled, as the
// saved picture draws it (arg 2).
void BM_LongSongRepaint(benchmark::State& state) {
    const RollSong song = LongSong();
    const PitchSpan span = PianoRollLayout::SpanOf(song, false);
    const PianoRollLayout start(kWidth, kHeight, span, false, song.StepCount(), 0);
    PianoRollLayout layout = start;
    if (state.range(0) == 1) {
        layout =
            PianoRollLayout(kWidth, kHeight, span, false, song.StepCount(), start.MaxScroll() / 2);
    } else if (state.range(0) == 2) {
        layout = PianoRollLayout::WholeSong(start);
    }
    QImage image(layout.Width(), layout.Height(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PaintRoll(painter, layout, song);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["notes"] = double(song.notes.size());
    state.counters["measures"] = layout.Measures();
    state.counters["width"] = layout.Width();
}
BENCHMARK(BM_LongSongRepaint)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Counts its paint events, so that a figure is known to include painting.
class CountingView : public PianoRollView {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        PianoRollView::paintEvent(event);
    }
};

// A shown widget paints only once its window is exposed.
void ShowExposed(QWidget& widget) {
    widget.resize(kWidth, kHeight);
    widget.show();
    for (int i = 0; i < 1000 && !(widget.windowHandle() && widget.windowHandle()->isExposed());
         ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
}

// The widget after a change of the song: layout, picture and the window's
// own repaint.
void BM_ViewRepaintAfterChange(benchmark::State& state) {
    CountingView view;
    ShowExposed(view);
    const RollSong song = GeneratedSong(false);
    view.paints = 0;
    for (auto _ : state) {
        view.SetSong(song);
        view.repaint();
    }
    state.counters["paints"] =
        benchmark::Counter(double(view.paints), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ViewRepaintAfterChange)->Unit(benchmark::kMillisecond);

// The widget scrolled by a measure through a 32-measure song: the picture of
// what shows is drawn again and the window repaints.
void BM_LongSongScroll(benchmark::State& state) {
    CountingView view;
    ShowExposed(view);
    view.SetSong(LongSong());
    view.repaint();
    const int measure = view.Layout().SongWidth() / view.Layout().Measures();
    int scroll = 0;
    view.paints = 0;
    for (auto _ : state) {
        scroll = scroll + measure > view.Layout().MaxScroll() ? 0 : scroll + measure;
        view.SetScroll(scroll);
        view.repaint();
    }
    state.counters["paints"] =
        benchmark::Counter(double(view.paints), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_LongSongScroll)->Unit(benchmark::kMillisecond);

// One poll of the playing song: the line moves by a few pixels and the
// widget repaints what it left and reached.
void BM_PlayheadFrame(benchmark::State& state) {
    CountingView view;
    ShowExposed(view);
    view.SetSong(GeneratedSong(false));
    view.repaint();
    view.paints = 0;
    double step = 0;
    for (auto _ : state) {
        step += 64.0 / (8 * 30);  // an eight-second song at thirty frames
        if (step >= 64) {
            step = 0;
        }
        view.SetPlayhead(step);
        // Paints only what the move left dirty, as the event loop does.
        QCoreApplication::processEvents();
    }
    state.counters["paints"] =
        benchmark::Counter(double(view.paints), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PlayheadFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
