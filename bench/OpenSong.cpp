// Open in the window, without its dialog: a saved song read, made the
// window's song and shown on both pages and in the open piano roll (goal:
// median under 20 ms); a one-part song and one of eight parts.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <fstream>

#include "WindowBench.h"

namespace {

using namespace tontoko;
using namespace tontoko::bench;

void BM_OpenSong(benchmark::State& state) {
    BenchPlace place;
    BenchDialogs dialogs;
    BenchMessages messages;
    SilentPlayer player;
    Platform platform;
    platform.messages = &messages;
    platform.fileDialogs = &dialogs;
    platform.player = &player;
    platform.clock = [] { return 20261208u; };
    TSMain window(platform);
    window.show();
    window.findChild<QAction*>(QStringLiteral("MI_PianoRoll"))->trigger();
    auto click = [&](const char* name) {
        window.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    };
    click("RB_MEight");
    click("B_CGenerate");
    click("B_MGenerate");
    dialogs.next = QString::fromStdString(place.File("song.mid"));
    window.findChild<QAction*>(QStringLiteral("MI_Save"))->trigger();
    // Another song in the window, so that every open changes it.
    click("B_CGenerate");
    click("B_MGenerate");
    const QString path = QString::fromStdString(place.File("song.mid"));
    for (auto _ : state) {
        if (!window.OpenFile(path)) {
            state.SkipWithError("the song did not open");
            break;
        }
        QApplication::processEvents();
        state.PauseTiming();
        window.findChild<QAction*>(QStringLiteral("MI_Undo"))->trigger();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSong)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
