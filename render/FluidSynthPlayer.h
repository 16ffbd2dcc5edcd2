#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/MidiPlayer.h"

class QObject;
class QTimer;

namespace tontoko {

namespace fluid {
class Synth;
class Player;
class AudioDriver;
}  // namespace fluid

// The media player over FluidSynth and a General MIDI SoundFont. The
// synthesizer and its SoundFont are loaded on the first Open and kept; the MIDI
// player and the audio driver live from Open to Close. The notification is
// posted to the thread that created this object (the GUI thread), which must
// run a Qt event loop.
class FluidSynthPlayer : public MidiPlayer {
  public:
    struct Options {
        std::string audioDriver;  // empty: FluidSynth's default device
        std::string audioFile;    // output file of the "file" driver
        // Where to look for the SoundFont; unset: the usual search order.
        std::optional<std::vector<std::string>> soundFontCandidates;
    };

    FluidSynthPlayer();
    explicit FluidSynthPlayer(Options options);
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

    bool IsOpen() const { return driver_ != nullptr; }

  private:
    void EnsureSynth();
    void OnTick(int tick);  // audio thread
    void PostNotify();      // any thread; at most once per playback
    void Silence();

    Options options_;
    std::string fileName_;
    std::function<void()> onNotify_;
    std::unique_ptr<QObject> notifier_;  // lives in the GUI thread
    // Looks at FluidSynth's own status while playing, for the ends that never
    // reach the tick callback (a file the player could not load).
    std::unique_ptr<QTimer> watchdog_;
    std::unique_ptr<fluid::Synth> synth_;
    std::unique_ptr<fluid::Player> player_;
    std::unique_ptr<fluid::AudioDriver> driver_;
    std::atomic<bool> playing_{false};
    std::atomic<int> tick_{-1};  // written on the audio thread
};

}  // namespace tontoko
