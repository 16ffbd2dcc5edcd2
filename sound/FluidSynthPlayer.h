#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sound/MidiPlayer.h"

class QObject;
class QTimer;

namespace tontoko {

class SoundService;

// The media player over the sound service: Open waits for the service's
// loading only if it has not finished, then loads the file into a MIDI
// player; Play starts it. The notification is posted to the thread that
// created this object (the GUI thread), which must run a Qt event loop.
class FluidSynthPlayer : public MidiPlayer {
  public:
    struct Options {
        std::string audioDriver;  // empty: the usual driver order
        std::string audioFile;    // output file of the "file" driver
        // Where to look for the SoundFont; unset: the usual search order.
        std::optional<std::vector<std::string>> soundFontCandidates;
    };

    FluidSynthPlayer();
    explicit FluidSynthPlayer(Options options);
    explicit FluidSynthPlayer(std::shared_ptr<SoundService> service);
    ~FluidSynthPlayer() override;
    FluidSynthPlayer(const FluidSynthPlayer&) = delete;
    FluidSynthPlayer& operator=(const FluidSynthPlayer&) = delete;

    void SetFileName(const std::string& fileName) override;
    void Open() override;
    void Play() override;
    void Stop() override;
    void Close() override;
    void SetNotify(std::function<void()> onNotify) override;
    int CurrentTick() const override;
    void SetRange(const PlayRange& range) override { range_ = range; }
    void SetLoop(bool on) override;
    void Preload() override;
    bool Sound(const std::vector<LiveEvent>& events, bool waitForLoad) override;

    bool IsOpen() const { return open_; }
    SoundService& Service() { return *service_; }

  private:
    void WaitForService();  // throws PlayerError
    void PostNotify();      // any thread; at most once per playback

    std::shared_ptr<SoundService> service_;
    std::string fileName_;
    PlayRange range_;
    std::function<void()> onNotify_;
    std::unique_ptr<QObject> notifier_;  // lives in the GUI thread
    // Looks at FluidSynth's own status while playing, for the ends that never
    // reach the tick callback (a file the player could not load).
    std::unique_ptr<QTimer> watchdog_;
    bool open_ = false;
    std::atomic<bool> playing_{false};
    std::atomic<int> tick_{-1};  // written on the audio thread
};

}  // namespace tontoko
