#pragma once

#include <atomic>

#include "render/PlayRange.h"

namespace tontoko {

// Decides, tick by tick on the audio thread, where the song's MIDI player
// jumps: from the end of the lead-in to the part played from, and with loop on
// from the song's end back to that part.
//
// A jump is asked for on the tick before its boundary and lands one tick
// before its target, so the music only moves in time, with nothing cut or
// added: the player applies a seek at its next call, about 1.5 ms later. At the
// boundary itself it would be too late, as the player has then passed the end
// of the track and ends the playback before it seeks.
class RangeFollower {
  public:
    // A new playback through `range`; an empty range (end 0) is the whole file
    // once. Returns the tick to seek to before the playback starts, or -1.
    int Begin(const PlayRange& range);
    // Any thread, also during a playback.
    void SetLoop(bool on) { loop_.store(on); }
    bool Loop() const { return loop_.load(); }
    // The player reached `tick`: where to seek now, or -1.
    int OnTick(int tick);

  private:
    PlayRange range_;
    bool inLeadIn_ = false;
    std::atomic<bool> loop_{false};
};

}  // namespace tontoko
