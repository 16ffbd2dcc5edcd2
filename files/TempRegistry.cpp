#include "files/TempRegistry.h"

#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace tontoko {

namespace {

// Paths live in fixed chunks of slots that are never freed or moved, so a
// handler can walk them at any moment. A slot holds a heap copy of the path
// or null.
constexpr int kChunkSlots = 512;
constexpr int kMaxChunks = 2048;  // a million temporary files at once

using Chunk = std::array<std::atomic<char*>, kChunkSlots>;

std::array<std::atomic<Chunk*>, kMaxChunks> gChunks{};
// One past the highest slot ever used; the handler looks no further.
std::atomic<int> gSlotsInUse{0};
// Set by a handler before it reads any slot. While it is set, a path that is
// unregistered is not freed, since the handler may be reading it.
std::atomic<bool> gCleaning{false};

std::mutex& Lock() {
    static std::mutex mutex;
    return mutex;
}

// Free slot numbers below gSlotsInUse; guarded by Lock().
std::vector<int>& FreeSlots() {
    static std::vector<int> slots;
    return slots;
}
int gRegistered = 0;  // guarded by Lock()

std::atomic<char*>& Slot(int handle) {
    return (*gChunks[handle / kChunkSlots].load())[handle % kChunkSlots];
}

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

void OnCleanupSignal(int signal) {
    TempRegistry::RemoveAll();
    // The handler was installed to run once: the default action ends the
    // process when the signal, blocked while the handler runs, is delivered
    // on return.
    ::raise(signal);
}

sigset_t CleanupSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kCleanupSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

}  // namespace

int TempRegistry::Register(const std::string& path) {
    char* copy = static_cast<char*>(std::malloc(path.size() + 1));
    if (copy == nullptr) {
        return -1;
    }
    std::memcpy(copy, path.c_str(), path.size() + 1);

    std::lock_guard<std::mutex> guard(Lock());
    int handle = -1;
    std::vector<int>& free = FreeSlots();
    if (!free.empty()) {
        handle = free.back();
        free.pop_back();
    } else {
        handle = gSlotsInUse.load();
        const int chunk = handle / kChunkSlots;
        if (chunk >= kMaxChunks) {
            std::free(copy);
            return -1;
        }
        if (gChunks[chunk].load() == nullptr) {
            Chunk* fresh = new (std::nothrow) Chunk();
            if (fresh == nullptr) {
                std::free(copy);
                return -1;
            }
            gChunks[chunk].store(fresh);
        }
        gSlotsInUse.store(handle + 1);
    }
    Slot(handle).store(copy);
    ++gRegistered;
    return handle;
}

void TempRegistry::Unregister(int handle) {
    if (handle < 0) {
        return;
    }
    std::lock_guard<std::mutex> guard(Lock());
    char* path = Slot(handle).exchange(nullptr);
    if (path == nullptr) {
        return;
    }
    FreeSlots().push_back(handle);
    --gRegistered;
    // Sequentially consistent: either the handler set the flag before we took
    // the path out (and may still be reading it), or it never saw the path.
    if (!gCleaning.load()) {
        std::free(path);
    }
}

void TempRegistry::RemoveAll() noexcept {
    gCleaning.store(true);
    const int used = gSlotsInUse.load();
    for (int handle = 0; handle < used; ++handle) {
        Chunk* chunk = gChunks[handle / kChunkSlots].load();
        if (chunk == nullptr) {
            continue;
        }
        if (char* path = (*chunk)[handle % kChunkSlots].load()) {
            ::unlink(path);
        }
    }
}

int TempRegistry::Count() {
    std::lock_guard<std::mutex> guard(Lock());
    return gRegistered;
}

void TempRegistry::InstallSignalCleanup() {
    struct sigaction action {};
    action.sa_handler = OnCleanupSignal;
    action.sa_flags = SA_RESETHAND;
    // One signal's cleanup is not interrupted by another's.
    action.sa_mask = CleanupSignalSet();
    for (int signal : kCleanupSignals) {
        struct sigaction previous {};
        // A signal the parent asked to ignore (nohup, a background job) stays
        // ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(signal, &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

TempRegistry::Hold::Hold() {
    const sigset_t set = CleanupSignalSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

TempRegistry::Hold::~Hold() {
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace tontoko
