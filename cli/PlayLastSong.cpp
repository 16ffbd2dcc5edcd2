#include "cli/PlayLastSong.h"

#include <signal.h>

#include <atomic>

#include "sound/SoundService.h"

namespace tontoko::cli {

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "stored from a signal handler");

extern "C" void RequestStop(int) {
    stopRequested.store(true);
}

// Turns the stopping signals into a request while alive, restoring what was
// there (the temporary-file cleanup) afterwards.
class StopOnSignals {
  public:
    StopOnSignals() {
        struct sigaction action {};
        action.sa_handler = RequestStop;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < kCount; ++i) {
            sigaction(kSignals[i], &action, &saved_[i]);
        }
    }
    ~StopOnSignals() {
        for (int i = 0; i < kCount; ++i) {
            sigaction(kSignals[i], &saved_[i], nullptr);
        }
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

  private:
    static constexpr int kCount = 3;
    static constexpr int kSignals[kCount] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction saved_[kCount] {};
};

}  // namespace

int PlayLastSong(const std::string& midiPath, std::ostream& err) {
    stopRequested = false;
    const StopOnSignals stopping;
    const SongPlayResult played = PlayMidiFileAndWait(midiPath, &stopRequested);
    if (!played.ok) {
        err << "tontoko-compose: --play: " << played.error << '\n';
        return 1;
    }
    if (played.stopped) {
        err << "tontoko-compose: playback stopped\n";
        return 130;
    }
    return 0;
}

}  // namespace tontoko::cli
