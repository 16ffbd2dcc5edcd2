#pragma once

namespace tontoko {

class Song;

// Moves the song to the key control's new value (clamped to -6..5) from its
// previous value: the tonic, every chord node, the scale and the melody's
// non-zero pitches. Returns the offset applied.
int Transpose(Song& song, int previousValue, int proposedValue);

// Switch to minor / major. Nothing happens when the mode is already the target;
// returns whether anything changed. Loads the mode's preset into the table.
bool SwitchToMinor(Song& song);
bool SwitchToMajor(Song& song);

}  // namespace tontoko
