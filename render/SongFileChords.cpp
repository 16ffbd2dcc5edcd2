#include "render/SongFileChords.h"

#include <algorithm>

#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

constexpr int kLowestTransposition = -6;
constexpr int kTranspositions = 12;
constexpr int kKeys = 2 * kTranspositions;
constexpr uint8_t kAllDegrees = 0x7F;  // bit d-1 for degree d

int KeyIndex(Mode mode, int transposition) {
    return ModeIndex(mode) * kTranspositions + transposition - kLowestTransposition;
}

// Every voicing note of every key, made by the rendering's own fixed-voicing
// pass on a song moved to that key: voice v, degree d at [key][v][d - 1].
using VoicingTable = std::array<std::array<std::array<uint8_t, kChordNodes>, 4>, kKeys>;

VoicingTable MakeVoicings() {
    VoicingTable table{};
    for (Mode mode : {Mode::Major, Mode::Minor}) {
        for (int t = kLowestTransposition; t < kLowestTransposition + kTranspositions; ++t) {
            Song song(0);
            if (mode == Mode::Minor) {
                SwitchToMinor(song);
            }
            Transpose(song, 0, t);
            // Slot k holds degree k + 1; a note starts on the first step of
            // each of the first seven half measures.
            SRhythmGenerate rhythm;
            for (int d = 1; d <= kChordNodes; ++d) {
                song.SetSlotDegree(d - 1, d);
                rhythm.SetMark((d - 1) * kStepsPerMeasure / 2, 1);
            }
            for (int v = 0; v < 4; ++v) {
                SMelodyGenerate pitches;
                GeneratePitches(pitches, rhythm, song.melody, PitchMode::FixedVoicing, 3 - v, 0,
                                song.random, song);
                for (int d = 1; d <= kChordNodes; ++d) {
                    table[static_cast<size_t>(KeyIndex(mode, t))][static_cast<size_t>(v)]
                         [static_cast<size_t>(d - 1)] =
                             pitches.Pitch((d - 1) * kStepsPerMeasure / 2);
                }
            }
        }
    }
    return table;
}

const VoicingTable& Voicings() {
    static const VoicingTable table = MakeVoicings();
    return table;
}

// The degrees whose note, as written, is the clue's.
uint8_t DegreesOf(int key, const ChordClue& clue) {
    const auto& notes = Voicings()[static_cast<size_t>(key)][clue.voice];
    uint8_t mask = 0;
    for (int d = 0; d < kChordNodes; ++d) {
        const uint8_t note =
            static_cast<uint8_t>(notes[static_cast<size_t>(d)] + (clue.jump ? 12 : 0));
        if ((note & 0x7F) == clue.key) {
            mask = static_cast<uint8_t>(mask | (1u << d));
        }
    }
    return mask;
}

// The degrees each half measure may have in a key; empty when a half measure
// has none.
std::vector<uint8_t> HalfMasks(std::span<const ChordClue> clues, int halves, int key) {
    std::vector<uint8_t> masks(static_cast<size_t>(halves), kAllDegrees);
    for (const ChordClue& clue : clues) {
        uint8_t& mask = masks[static_cast<size_t>(clue.half)];
        mask &= DegreesOf(key, clue);
        if (mask == 0) {
            return {};
        }
    }
    return masks;
}

}  // namespace

uint8_t VoicingNote(Mode mode, int transposition, int degree, int voice) {
    return Voicings()[static_cast<size_t>(KeyIndex(mode, transposition))]
                     [static_cast<size_t>(voice)][static_cast<size_t>(degree - 1)];
}

ChordReading ReadChords(std::span<const ChordClue> clues, int parts, int currentTransposition,
                        Mode currentMode, std::span<const PartDegrees> currentDegrees) {
    ChordReading reading;
    const int halves = parts * kChordSlots;
    for (const ChordClue& clue : clues) {
        if (clue.half < 0 || clue.half >= halves || clue.voice > 3) {
            return reading;
        }
    }
    const bool currentValid = currentTransposition >= kLowestTransposition &&
                              currentTransposition < kLowestTransposition + kTranspositions;
    const Mode modes[] = {currentMode, Mode::Major, Mode::Minor};
    std::vector<uint8_t> masks;
    for (Mode mode : modes) {
        if (currentValid &&
            !(masks = HalfMasks(clues, halves, KeyIndex(mode, currentTransposition))).empty()) {
            reading.transposition = currentTransposition;
        } else {
            for (int t = kLowestTransposition; t < kLowestTransposition + kTranspositions; ++t) {
                if (!(masks = HalfMasks(clues, halves, KeyIndex(mode, t))).empty()) {
                    reading.transposition = t;
                    break;
                }
            }
        }
        if (!masks.empty()) {
            reading.mode = mode;
            break;
        }
    }
    if (masks.empty()) {
        return reading;
    }
    reading.found = true;
    reading.degrees.resize(static_cast<size_t>(parts));
    for (int half = 0; half < halves; ++half) {
        const size_t part = static_cast<size_t>(half / kChordSlots);
        const size_t slot = static_cast<size_t>(half % kChordSlots);
        const uint8_t mask = masks[static_cast<size_t>(half)];
        const int current = part < currentDegrees.size() ? currentDegrees[part][slot] : 0;
        int degree = 0;
        if (current >= 1 && current <= kChordNodes && (mask & (1u << (current - 1)))) {
            degree = current;
        } else {
            degree = 1;
            while (!(mask & (1u << (degree - 1)))) {
                ++degree;
            }
        }
        reading.degrees[part][slot] = static_cast<uint8_t>(degree);
    }
    return reading;
}

}  // namespace tontoko
