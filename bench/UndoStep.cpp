// Undo and redo in the window: one step taken back or done again, with both
// pages and the open piano roll showing the result and painted (goal: median
// under 5 ms), and the memory a history of 1,000 steps takes (at most 10 MB).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QUndoStack>
#include <algorithm>
#include <memory>
#include <vector>

#include "WindowBench.h"

namespace {

using namespace tontoko;
using namespace tontoko::bench;

// A shown window with its piano roll open, and a history of user actions of
// several kinds.
struct Session {
    BenchPlace place;
    BenchDialogs dialogs;
    BenchMessages messages;
    SilentPlayer player;
    std::unique_ptr<TSMain> window;
    QUndoStack* stack = nullptr;

    explicit Session(int steps) {
        Platform platform;
        platform.messages = &messages;
        platform.fileDialogs = &dialogs;
        platform.player = &player;
        platform.clock = [] { return 20261208u; };
        window = std::make_unique<TSMain>(platform);
        window->show();
        Action("MI_PianoRoll")->trigger();
        stack = window->findChild<QUndoStack*>(QStringLiteral("UndoStack"));
        Click("RB_MEight");
        for (int i = 0; stack->index() < steps; ++i) {
            switch (i % 5) {
                case 0:
                    Click("B_CGenerate");
                    break;
                case 1:
                    Click("B_MGenerate");
                    break;
                case 2:
                    Click(i % 2 ? "RB_DMinor" : "RB_DMajor");
                    break;
                default:
                    PressCell(1 + i % 4, i % 8);
                    break;
            }
        }
        Settle();
    }

    // Lets the window finish what its start and the history's walks left to
    // draw, so that a timed step pays only for itself.
    static void Settle() { QTest::qWait(100); }

    QAction* Action(const char* name) {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    void Click(const char* name) {
        window->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    }
    void PressCell(int measure, int column) {
        auto* grid = window->findChild<StringGrid*>(QStringLiteral("Melody%1").arg(measure));
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, grid->CellCenter(column));
    }
};

// One undo, or one redo, and the repaint it causes. When the history runs
// out the other way it is walked back outside the timing.
void Step(benchmark::State& state, bool undo) {
    Session session(60);
    double restoreMs = 0;
    double paintMs = 0;
    std::vector<double> stepMs;
    for (auto _ : state) {
        if (undo ? !session.stack->canUndo() : !session.stack->canRedo()) {
            state.PauseTiming();
            while (undo ? session.stack->canRedo() : session.stack->canUndo()) {
                undo ? session.stack->redo() : session.stack->undo();
            }
            Session::Settle();
            state.ResumeTiming();
        }
        const Clock::time_point start = Clock::now();
        session.Action(undo ? "MI_Undo" : "MI_Redo")->trigger();
        const Clock::time_point restored = Clock::now();
        QApplication::processEvents();
        restoreMs += std::chrono::duration<double, std::milli>(restored - start).count();
        paintMs += MsSince(restored);
        stepMs.push_back(MsSince(start));
    }
    // The reported time is the mean step; steps differ by kind (a generation
    // redraws more than one cell), so the median step is given beside it.
    std::nth_element(stepMs.begin(), stepMs.begin() + stepMs.size() / 2, stepMs.end());
    state.counters["step_median_ms"] = stepMs[stepMs.size() / 2];
    // Where the time goes: the document and the controls set, then painting.
    state.counters["set_ms"] = restoreMs / double(state.iterations());
    state.counters["paint_ms"] = paintMs / double(state.iterations());
}

void BM_UndoStep(benchmark::State& state) {
    Step(state, true);
}
BENCHMARK(BM_UndoStep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RedoStep(benchmark::State& state) {
    Step(state, false);
}
BENCHMARK(BM_RedoStep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The heap a full history takes: 1,000 steps of the kinds above, against the
// same window with none.
void BM_ThousandStepsMemory(benchmark::State& state) {
    for (auto _ : state) {
        Session session(0);
        session.stack->clear();
        const size_t before = mallinfo2().uordblks;
        for (int i = 0; session.stack->count() < DocumentHistory::kStepLimit; ++i) {
            session.PressCell(1 + i % 4, i % 8);
            if (i % 7 == 0) {
                session.Click(i % 2 ? "RB_DMinor" : "RB_DMajor");
            }
        }
        const size_t after = mallinfo2().uordblks;
        state.counters["steps"] = session.stack->count();
        state.counters["MB"] = double(after - before) / (1024.0 * 1024.0);
        state.counters["bytes_per_step"] = double(after - before) / session.stack->count();
    }
}
BENCHMARK(BM_ThousandStepsMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
