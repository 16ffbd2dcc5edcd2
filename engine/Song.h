#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "engine/SChord.h"
#include "engine/SChordGenerate.h"
#include "engine/SDur.h"
#include "engine/SMelody.h"
#include "engine/SMelodyGenerate.h"
#include "engine/SRhythm.h"
#include "engine/SRhythmGenerate.h"
#include "engine/SongQueries.h"
#include "engine/TimeGrid.h"

namespace tontoko {

// Everything the composer owns for one song: key, chord nodes and slots, the
// transition table, note lengths and names, the ten voices and the random
// source. Built exactly as at program start; the window, the tests and the
// command-line composer all use it. Slots and successors point into `nodes`,
// so a Song is neither copied nor moved.
class Song : public SongQueries {
  public:
    // Builds the start-up song and seeds the random source with `clockSeconds`.
    explicit Song(uint32_t clockSeconds);
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;

    // SongQueries
    Mode CurrentMode() const override { return dur.KeyMode(); }
    const SChord& ChordSlot(int slot) const override { return *chordSlots.at(slot); }
    bool IsFixed(int measure, FixedKind kind) const override;

    // Where IsFixed is answered; the song's own flags unless replaced.
    void SetFixedSource(const FixedMeasures* source) { fixedSource_ = source ? source : &flags; }

    // Slot `slot` takes the node of `degree` (1..7).
    void SetSlotDegree(int slot, int degree) { chordSlots.at(slot) = &nodes.at(degree - 1); }
    int SlotDegree(int slot) const { return chordSlots.at(slot)->Degree(); }

    SRhythmGenerate& MelodyRhythm() { return rhythms[kMelodyVoice]; }
    SMelodyGenerate& MelodyPitches() { return melodies[kMelodyVoice]; }
    const SRhythmGenerate& MelodyRhythm() const { return rhythms[kMelodyVoice]; }
    const SMelodyGenerate& MelodyPitches() const { return melodies[kMelodyVoice]; }

    SDur dur;
    Random random;
    SChordGenerate chordGenerate;
    SRhythm rhythm;
    SMelody melody;
    std::array<SChord, kChordNodes> nodes;
    std::array<const SChord*, kChordSlots> chordSlots{};
    std::array<SRhythmGenerate, kVoiceCount> rhythms;
    std::array<SMelodyGenerate, kVoiceCount> melodies;
    FixedFlags flags;

  private:
    const FixedMeasures* fixedSource_ = &flags;
};

// Result of "コード進行生成".
struct ProgressionResult {
    bool generated = false;             // false: the table was invalid, slots unchanged
    std::vector<std::string> warnings;  // one per invalid row, in row order
    int firstChordIndex = 0;            // item index for the first-chord selector (0..6)
};

// Validates the table, picks the first chord (a random one of I..VI when asked)
// and walks the table for measures 2..4. `selfIndex` is the selector's item
// index, used for FirstChord::One and FirstChord::Self.
ProgressionResult GenerateProgression(Song& song, FirstChord firstChord, int selfIndex);

}  // namespace tontoko
