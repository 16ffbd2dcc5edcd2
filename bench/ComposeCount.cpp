// Wall time of `tontoko-compose --count 1000` without audio (goal: under 1 s).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

int RunComposer(const std::string& output) {
    std::vector<std::string> args{TONTOKO_COMPOSE, "--data", TONTOKO_SOURCE_DIR "/data",
                                  "--seed",        "12345",  "--count",
                                  "1000",          "-o",     output};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    return status;
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
