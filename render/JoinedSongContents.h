#pragma once

#include <span>
#include <vector>

#include "render/SongFileContents.h"

namespace tontoko {

// What a song has once for the whole song, where the songs of a joined file
// may each have their own.
enum class JoinedSetting {
    Key,             // value: 12 * mode + the tonic's offset above C (an SDur::Names index)
    MelodyProgram,   // 0..127
    AccProgram,      // 0..127
    BassProgram,     // 0..127
    DrumSet,         // index into DrumSets()
    AccPattern,      // list position, -1: not in the pattern files
    DrumsOn,         // 0 off, 1 on
    DrumPattern,     // list position, -1: not in the pattern files (songs with drums on)
    Fade,            // FadeMode
    Interval,        // beats
    MelodyVelocity,  // the velocity of a volume group, where its notes show it
    AccVelocity,
    BassVelocity,
    DrumVelocity,
};

// One setting in which a later song differs from the value taken.
struct JoinedDifference {
    JoinedSetting setting;
    int taken = 0;  // the first song's value (for a velocity: the first song that shows one)
    struct Other {
        int song = 0;  // 1-based, in the order of the file
        int value = 0;
        bool operator==(const Other&) const = default;
    };
    std::vector<Other> others;  // every song whose value differs, in order

    bool operator==(const JoinedDifference&) const = default;
};

struct JoinedSong {
    // The song with every joined song's parts one after another, and the
    // first song's key, patterns, sounds, fade, lead-in and velocities.
    SongFileContents contents;
    std::vector<JoinedDifference> differences;
    // The first part of each joined song.
    std::vector<int> firstParts;
    // More parts than a song holds: nothing else is filled in.
    bool tooLong = false;
    int measures = 0;  // of all the joined songs together
};

// The songs of a joined file, each read as a file of its own at the file's
// tempo, as one song of parts. Each joined song keeps its melody and chords
// step for step; what it carried of its own (its program changes, its
// lead-in, its fade and velocities) gives way to the first song's, and what
// differs is listed. The fixed flags are the current part's of the same
// number, as for any song read.
JoinedSong JoinedSongContents(std::span<const SongFileContents> songs,
                              const SongFileContents& current);

}  // namespace tontoko
