#pragma once

namespace tontoko {

// The ticks of "tmp.mid" a playback goes through: the prefix and the lead-in
// from tick 0 to `leadInEnd`, then on from `start` (the first tick of the part
// played from) to `end` (the song's last tick, where the file ends). A loop
// goes from `end` back to `start`.
struct PlayRange {
    int leadInEnd = 0;
    int start = 0;
    int end = 0;

    friend bool operator==(const PlayRange&, const PlayRange&) = default;
};

// The range of a song of `partCount` parts written with a lead-in of
// `intervalBeats` beats, played from part `part` (0-based; clamped to the
// song's parts).
PlayRange SongPlayRange(int intervalBeats, int partCount, int part);

}  // namespace tontoko
