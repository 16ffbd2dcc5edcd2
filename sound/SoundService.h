#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "render/PlayRange.h"
#include "sound/LiveEvent.h"
#include "sound/RangeFollower.h"

namespace tontoko {

namespace fluid {
class Synth;
class Player;
}  // namespace fluid
class AudioOutput;

struct SoundServiceOptions {
    // Audio drivers to try in order; empty: AudioDriverOrder() (the desktop's
    // server first, TONTOKO_AUDIO_DRIVER when set).
    std::vector<std::string> drivers;
    // Output of the "file" driver; empty: $TONTOKO_AUDIO_FILE, else dropped.
    std::string audioFile;
    // Where to look for the SoundFont; unset: LookUpSoundFont().
    std::optional<std::vector<std::string>> soundFontCandidates;
};

enum class SoundFailure { None, NoSoundFont, NoDevice };

// How the loading went.
struct SoundStatus {
    SoundFailure failure = SoundFailure::None;
    std::string detail;  // technical, for a person; names the SoundFont file or the drivers
    std::string driver;  // the audio driver in use
    bool Ok() const { return failure == SoundFailure::None; }
};

// The one owner, for the whole run, of the live FluidSynth synthesizer, its
// SoundFont and the audio output that was chosen: the first driver of the
// order that opens is kept. Songs, edited notes and pattern previews all sound
// through it.
//
// Threads: loading runs on a worker thread of its own. The output synthesizes on
// its thread under the synthesis lock; the song's MIDI player is created and
// deleted only under that lock, so never while the synthesizer runs. Short
// sounds are queued and sent by the audio thread at their block.
class SoundService {
  public:
    explicit SoundService(SoundServiceOptions options = {});
    ~SoundService();
    SoundService(const SoundService&) = delete;
    SoundService& operator=(const SoundService&) = delete;

    // Starts the loading on the worker thread (once); returns at once.
    void StartLoading();
    // Whether the loading has finished (either way); never blocks.
    bool Loaded() const { return loaded_.load(std::memory_order_acquire); }
    // Starts the loading if needed and waits for its end.
    const SoundStatus& WaitLoaded();

    // The song. Call from one thread (the GUI thread) after a successful load.
    // `onTick` runs on the audio thread whenever the position moves, with
    // `ended` once the last tick has passed and every voice has died away.
    using TickCallback = std::function<void(int tick, bool ended)>;
    void LoadSong(const std::string& path, TickCallback onTick);  // throws std::runtime_error
    // Plays the loaded song through `range` (empty: the whole file once).
    void PlaySong(const PlayRange& range = {});  // throws std::runtime_error
    // Whether the song starts again at its range's start when it reaches the
    // end. Any time, also while it plays.
    void SetSongLoop(bool on) { follower_.SetLoop(on); }
    void StopSong();    // stops and silences it; the player stays
    void UnloadSong();  // deletes the player
    bool SongLoaded() const;
    bool SongPlaying() const { return songPlaying_.load(); }
    bool SongFinished() const;  // FluidSynth's own end

    // A short sound on the live channels, at once, replacing one that still
    // sounds. False when it cannot sound now: not loaded (never waits), no
    // device, or a song plays.
    bool Sound(const std::vector<LiveEvent>& events);

    // For tests and benchmarks: called on the audio thread after each
    // block with its interleaved-or-not samples.
    using BlockObserver =
        std::function<void(int frames, const float* left, const float* right, int step)>;
    void SetBlockObserver(BlockObserver observer);
    int ChannelProgram(int channel);  // -1 before loading
    int ActiveVoices();

  private:
    struct Pending {
        long long frame;
        LiveEvent event;
    };
    void Load();
    void Synthesize(int frames, float* left, float* right, int step);  // audio thread
    void SendLive(long long blockEnd);                                 // audio thread
    void Apply(const LiveEvent& event);

    SoundServiceOptions options_;
    std::mutex loadMutex_;
    std::condition_variable loadedChanged_;
    bool loadStarted_ = false;
    std::atomic<bool> loaded_{false};
    SoundStatus status_;
    std::thread loader_;

    mutable std::mutex synthMutex_;  // held while the synthesizer runs
    std::unique_ptr<fluid::Synth> synth_;
    std::unique_ptr<fluid::Player> player_;
    TickCallback onTick_;
    RangeFollower follower_;  // used on the audio thread under the synthesis lock
    BlockObserver observer_;
    std::atomic<bool> songPlaying_{false};
    std::atomic<long long> synthesizedFrames_{0};  // frames since the output opened

    std::mutex liveMutex_;
    std::vector<Pending> pending_;
    bool silenceLive_ = false;

    std::unique_ptr<AudioOutput> output_;  // last: it stops before anything it uses goes
};

// For the command-line composer: plays a MIDI file through the audio device
// (the same driver order as the window) and waits for its end, or until
// `*stop` becomes true (set it from a signal handler: an atomic store is safe
// there). `stopped` tells a cut from an end.
struct SongPlayResult {
    bool ok = false;
    bool stopped = false;
    std::string error;
};
SongPlayResult PlayMidiFileAndWait(const std::string& path, const std::atomic<bool>* stop,
                                   SoundServiceOptions options = {});

}  // namespace tontoko
