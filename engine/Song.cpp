#include "engine/Song.h"

namespace tontoko {

namespace {

struct NodeSetup {
    uint8_t tones[3];
    uint8_t bass;
    std::initializer_list<int> successors;  // degrees
};

// The seven diatonic chords of C major and the chord graph between them.
const NodeSetup kNodes[kChordNodes] = {
    {{60, 64, 67}, 48, {2, 3, 4, 5, 6, 7}},  // I
    {{62, 65, 69}, 50, {3, 5, 7}},           // II
    {{64, 67, 71}, 40, {4, 6}},              // III
    {{53, 57, 60}, 41, {1, 2, 5, 7}},        // IV
    {{55, 59, 62}, 43, {1, 3, 6}},           // V
    {{57, 60, 64}, 45, {2, 4, 7}},           // VI
    {{59, 62, 65}, 47, {1, 3}},              // VII
};

constexpr int kStartSlots[kChordSlots] = {1, 1, 4, 4, 5, 5, 1, 1};

}  // namespace

Song::Song(uint32_t clockSeconds) {
    random.Seed(clockSeconds);
    for (int k = 0; k < kChordNodes; ++k) {
        const NodeSetup& setup = kNodes[k];
        nodes[k].SetChord(k + 1, setup.tones[0], setup.tones[1], setup.tones[2], setup.bass);
    }
    for (int k = 0; k < kChordNodes; ++k) {
        for (int degree : kNodes[k].successors) {
            nodes[k].AddSuccessor(&nodes[degree - 1]);
        }
    }
    for (int slot = 0; slot < kChordSlots; ++slot) {
        SetSlotDegree(slot, kStartSlots[slot]);
    }
    chordGenerate.LoadPreset(Preset::Major);
    for (int v = 0; v < kVoiceCount; ++v) {
        rhythms[v].SetChannel(uint8_t(v));
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        rhythms[v].ClearMarks();
        melodies[v].ClearPitches();
    }
}

bool Song::IsFixed(int measure, FixedKind kind) const {
    if (measure < 0 || measure >= kMeasures) {
        return false;
    }
    return fixedSource_->IsFixed(measure, kind);
}

ProgressionResult GenerateProgression(Song& song, FirstChord firstChord, int selfIndex) {
    ProgressionResult result;
    result.warnings = song.chordGenerate.ValidateTable();
    result.firstChordIndex = selfIndex;
    if (!result.warnings.empty()) {
        return result;
    }
    if (firstChord == FirstChord::Random) {
        result.firstChordIndex = song.random.Below(6);
    } else if (firstChord == FirstChord::One) {
        result.firstChordIndex = 0;
    }
    song.SetSlotDegree(0, result.firstChordIndex + 1);
    song.SetSlotDegree(1, result.firstChordIndex + 1);
    for (int m = 1; m < kMeasures; ++m) {
        const SChord& next =
            song.chordGenerate.NextChord(*song.chordSlots[2 * m - 2], song.nodes, song.random);
        song.chordSlots[2 * m] = &next;
        song.chordSlots[2 * m + 1] = &next;
    }
    result.generated = true;
    return result;
}

}  // namespace tontoko
