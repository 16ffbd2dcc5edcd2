// Wall time of `tontoko-compose --count 1000` without audio (goal: under 1 s).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunQuietly.h"

namespace {

int RunComposer(const std::string& output) {
    return RunQuietly({TONTOKO_COMPOSE, "--data", TONTOKO_SOURCE_DIR "/data", "--seed", "12345",
                       "--count", "1000", "-o", output},
                      false);
}

void BM_ComposeCount1000(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "tontoko-bench-count";
    std::filesystem::create_directories(dir);
    for (auto _ : state) {
        if (RunComposer((dir / "song.mid").string()) != 0) {
            state.SkipWithError("tontoko-compose failed");
            break;
        }
    }
    state.counters["songs_per_s"] =
        benchmark::Counter(1000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ComposeCount1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
