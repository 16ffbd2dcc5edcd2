#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace tontoko {

// A failure of the player, with a text for the user.
class PlayerError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
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
};

}  // namespace tontoko
