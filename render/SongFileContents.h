#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/SDur.h"
#include "engine/SongPart.h"
#include "engine/TimeGrid.h"
#include "render/SoundSettings.h"

namespace tontoko {

// The four volume controls, each setting the velocity of its voices.
enum class VolumeGroup { Melody = 0, Accompaniment = 1, Bass = 2, Drums = 3 };
inline constexpr int kVolumeGroups = 4;

// Everything a saved song fixes, and what the writer carries into the next
// write, as plain values. The reader fills it from a file; the same struct
// holds the current values that decide between readings that sound the same.
struct SongFileContents {
    int tempo = 120;        // beats per minute, as written (the tempo control: 40..240)
    int transposition = 0;  // the key control's position, -6..5
    Mode mode = Mode::Major;
    // 1 to kMaxParts parts. The fixed flags are not in a file: a reading takes
    // them from the current part of the same number (else none are fixed).
    std::vector<SongPart> parts = std::vector<SongPart>(1);
    // Whether the chords (and the key) were revealed consistently; when not
    // (only possible with an accompaniment pattern not found), they are the
    // current ones.
    bool chordsFound = true;

    int accPattern = 0;  // position in the accompaniment list
    bool accPatternFound = true;
    bool drumsOn = true;
    int drumPattern = 0;  // position in the drum list
    bool drumPatternFound = true;

    uint8_t melodyProgram = 0;  // positions 0..127 in the instrument lists
    uint8_t accProgram = 0;
    uint8_t bassProgram = 0;
    int drumSet = 0;  // index into DrumSets()
    FadeMode fade = FadeMode::Normal;
    int interval = 0;  // beats of silence before the song, 0..4

    // The velocity each volume group plays, by VolumeGroup; none where no note
    // of the group reveals it.
    std::array<std::optional<uint8_t>, kVolumeGroups> velocities{};

    // What the writer carries: each voice's last note as it was before the
    // file was written, the drum voices' channels (5 to 9 until the drum part
    // was first on, 9 afterwards), and the note numbers the bass and the
    // accompaniment voices (0..3) hold at each step before rendering, which
    // are written where a pattern mark above 1 starts a note.
    std::array<uint8_t, kVoiceCount> carriedNotes{};
    std::array<uint8_t, kVoiceCount - kFirstDrumVoice> drumChannels{5, 6, 7, 8, 9};
    std::array<std::array<uint8_t, kSongSteps>, 4> accompanimentPitches{};

    bool operator==(const SongFileContents&) const = default;
};

}  // namespace tontoko
