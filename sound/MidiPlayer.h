#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/PlayRange.h"
#include "sound/LiveEvent.h"

namespace tontoko {

// What kept the player from sounding.
enum class PlayerFailure { Other, NoSoundFont, NoDevice };

// A failure of the player, with the technical detail for the user.
class PlayerError : public std::runtime_error {
  public:
    explicit PlayerError(const std::string& what, PlayerFailure kind = PlayerFailure::Other)
        : std::runtime_error(what), kind_(kind) {}
    PlayerFailure Kind() const { return kind_; }

  private:
    PlayerFailure kind_;
};

// The media player the window plays "tmp.mid" with: set the file name, open,
// play (returns at once), stop, close. When a playback ends or is cut short the
// notification runs on the GUI thread.
class MidiPlayer {
  public:
    virtual ~MidiPlayer() = default;
    virtual void SetFileName(const std::string& fileName) = 0;
    virtual void Open() = 0;  // throws PlayerError
    virtual void Play() = 0;  // throws PlayerError
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual void SetNotify(std::function<void()> onNotify) = 0;
    // The position of the playback in ticks of the file while a song plays,
    // -1 otherwise. Cheap; called from the GUI thread while a song plays.
    virtual int CurrentTick() const = 0;

    // Where the next Play goes through the file: the lead-in once, then on
    // from `range.start`; unset, the whole file from its start. Set before
    // Play.
    virtual void SetRange(const PlayRange& range) { (void)range; }
    // Whether the playback starts again at `range.start` when it reaches
    // `range.end`, until Stop. Also while a song plays, for that playback.
    virtual void SetLoop(bool on) { (void)on; }

    // Starts loading the synthesizer in the background, so that the first
    // Open does not wait for it. Returns at once.
    virtual void Preload() {}
    // Sounds a short sound at once, without blocking, replacing one that still
    // sounds. Returns false (silently) when nothing sounded: a song plays, or
    // the synthesizer is not loaded yet or has no device. With `waitForLoad`
    // it first waits for the loading and throws PlayerError when that failed.
    virtual bool Sound(const std::vector<LiveEvent>& events, bool waitForLoad) {
        (void)events;
        (void)waitForLoad;
        return false;
    }
};

}  // namespace tontoko
