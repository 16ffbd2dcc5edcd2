// Wall time of `tontoko-compose --count 1000` without audio, into a folder on
// disk (goal: under 150 ms), with every song flushed to the disk before it is
// renamed into place. Two cases: a fresh folder, and a folder whose 1000 songs
// are replaced. /tmp is used unless it is a RAM disk; then the folder lies
// beside this program, in the build folder.
#include <benchmark/benchmark.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunQuietly.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSongs = 1000;

bool IsRamDisk(const fs::path& path) {
    struct statfs info {};
    return ::statfs(path.c_str(), &info) == 0 &&
           (info.f_type == TMPFS_MAGIC || info.f_type == RAMFS_MAGIC);
}

fs::path DiskFolder(const std::string& name) {
    fs::path base = fs::temp_directory_path();
    if (IsRamDisk(base)) {
        base = fs::read_symlink("/proc/self/exe").parent_path();
    }
    return base / name;
}

int RunComposer(const fs::path& dir) {
    return RunQuietly({TONTOKO_COMPOSE, "--data", TONTOKO_SOURCE_DIR "/data", "--seed", "12345",
                       "--count", std::to_string(kSongs), "-o", (dir / "song.mid").string()},
                      false);
}

// The batch is complete: every song and no temporary.
bool Complete(const fs::path& dir) {
    int songs = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename().string().front() == '.') {
            return false;
        }
        ++songs;
    }
    return songs == kSongs;
}

void Finish(benchmark::State& state, const fs::path& dir) {
    state.counters["songs_per_s"] = benchmark::Counter(double(kSongs) * double(state.iterations()),
                                                       benchmark::Counter::kIsRate);
    state.SetLabel(IsRamDisk(dir.parent_path()) ? "RAM disk"
                                                : "disk " + dir.parent_path().string());
    fs::remove_all(dir);
}

void BM_ComposeCount1000_FreshFolder(benchmark::State& state) {
    const fs::path dir = DiskFolder("tontoko-bench-count-fresh");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dir);
        fs::create_directories(dir);
        state.ResumeTiming();
        if (RunComposer(dir) != 0 || !Complete(dir)) {
            state.SkipWithError("tontoko-compose failed");
            break;
        }
    }
    Finish(state, dir);
}
BENCHMARK(BM_ComposeCount1000_FreshFolder)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

void BM_ComposeCount1000_ReplaceSongs(benchmark::State& state) {
    const fs::path dir = DiskFolder("tontoko-bench-count-replace");
    fs::remove_all(dir);
    fs::create_directories(dir);
    RunComposer(dir);
    for (auto _ : state) {
        if (RunComposer(dir) != 0 || !Complete(dir)) {
            state.SkipWithError("tontoko-compose failed");
            break;
        }
    }
    Finish(state, dir);
}
BENCHMARK(BM_ComposeCount1000_ReplaceSongs)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
