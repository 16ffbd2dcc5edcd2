#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "engine/MelodyGenerator.h"
#include "engine/SChordGenerate.h"
#include "engine/SDur.h"
#include "engine/SongPart.h"
#include "engine/TimeGrid.h"
#include "render/SongFileContents.h"
#include "render/SoundSettings.h"

namespace tontoko {

// Which radio of the feel group chose the key: "あかるい", "くらい" or "じぶんで".
enum class KeyFeel : uint8_t { Bright, Dark, Own };
// Which radio of the tempo group is selected: a preset or "じぶんで".
enum class TempoChoice : uint8_t { Fast, Medium, Slow, Own };
// The three instrument lists (the four volume controls are VolumeGroup).
enum class Instrument : uint8_t { Melody, Accompaniment, Bass };

// The notes of one chord node: root, third, fifth and the bass.
struct ChordNotes {
    std::array<uint8_t, 3> tones{};
    uint8_t bass = 0;
    bool operator==(const ChordNotes&) const = default;
};

// Everything a song is and everything the bytes of Save depend on, as a plain
// value: what undo keeps and what Open restores. The random source and the
// note-offs the writer carries from one write to the next are not part of it.
struct SongState {
    // The key: the key control's position (-6..5), the mode, the radio that
    // chose them, and the notes they give the chord nodes and the scale.
    int8_t transposition = 0;
    Mode mode = Mode::Major;
    KeyFeel feel = KeyFeel::Bright;
    std::array<ChordNotes, kChordNodes> nodes{};
    std::array<uint8_t, 7> scale{};

    // The transition table and its equal-probability flags.
    std::array<std::array<uint8_t, kChordNodes>, kChordNodes> percent{};
    std::array<bool, kChordNodes> equal{};

    // The style the radios show, and the one applied to the melody voice's
    // rhythm (none until a style radio is chosen).
    MelodyStyle styleShown = MelodyStyle::MoreQuarters;
    std::optional<MelodyStyle> styleApplied;

    // What generating reads.
    FirstChord firstChord = FirstChord::One;
    uint8_t firstChordIndex = 0;  // the item of "和音〈自分で〉", degree - 1
    bool finish = false;
    bool motif = false;

    uint8_t tempo = 120;
    TempoChoice tempoChoice = TempoChoice::Medium;

    // The parts of the song, four measures each.
    uint8_t partCount = 1;
    std::array<SongPart, kMaxParts> parts{};

    // Sounds.
    std::array<uint8_t, 3> programs{};                   // list positions, by Instrument
    uint8_t drumSet = 0;                                 // position in the drum-set list
    std::array<uint8_t, 4> volumes{120, 110, 110, 110};  // the controls, by VolumeGroup
    std::array<uint8_t, kVoiceCount> velocities{110, 110, 110, 110, 110, 110, 110, 110, 110, 110};
    FadeMode fade = FadeMode::Normal;
    uint8_t interval = 0;
    int8_t accPattern = 0;  // -1: the list is empty
    int8_t drumPattern = 0;
    bool drumsOn = true;

    // What rendering leaves in the voices and reads again at the next write:
    // the drum voices' channels (9 once the drum part was on) and the notes
    // the accompaniment voices hold where no chord note is set.
    std::array<uint8_t, kVoiceCount - kFirstDrumVoice> drumChannels{5, 6, 7, 8, 9};
    std::array<std::array<uint8_t, kSongSteps>, 4> accompanimentPitches{};

    bool operator==(const SongState&) const = default;
};

}  // namespace tontoko
