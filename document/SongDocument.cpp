#include "document/SongDocument.h"

#include <algorithm>

#include "engine/Finish.h"
#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Polish.h"
#include "render/ApplySongContents.h"
#include "render/ComposeParts.h"

namespace tontoko {

namespace {

constexpr int kTempoFast = 180;
constexpr int kTempoMedium = 120;
constexpr int kTempoSlow = 60;
constexpr int kMinTransposition = -6;
constexpr int kMaxTransposition = 5;

bool IsMeasure(int measure) {
    return measure >= 1 && measure <= kMeasures;
}

// The voices each volume control sets.
std::pair<int, int> VoicesOf(VolumeGroup group) {
    switch (group) {
        case VolumeGroup::Melody:
            return {kMelodyVoice, kMelodyVoice};
        case VolumeGroup::Accompaniment:
            return {1, 3};
        case VolumeGroup::Bass:
            return {0, 0};
        case VolumeGroup::Drums:
            break;
    }
    return {kFirstDrumVoice, kVoiceCount - 1};
}

}  // namespace

bool SongDocument::Fixed::IsFixed(int measure, FixedKind kind) const {
    return document_.state_.parts[document_.position_].IsFixed(measure, kind);
}

SongDocument::SongDocument(uint32_t clockSeconds) : song_(clockSeconds) {
    song_.SetFixedSource(&fixed_);
    StoreEngine();
}

PatternLoadResult SongDocument::LoadPatterns(const std::filesystem::path& folder) {
    const PatternLoadResult result = tontoko::LoadPatterns(patterns_, folder);
    state_.accPattern = int8_t(patterns_.acc.empty() ? -1 : 0);
    state_.drumPattern = int8_t(patterns_.drums.empty() ? -1 : 0);
    return result;
}

void SongDocument::Restore(const State& state) {
    state_ = state;
    state_.partCount = uint8_t(std::clamp(int(state_.partCount), 1, kMaxParts));
    position_ = std::min(position_, int(state_.partCount) - 1);
    LoadEngine();
}

// The engine from the state: key, chord nodes, scale, table, the melody
// voice's rhythm weights, the part shown, velocities and what rendering left.
void SongDocument::LoadEngine() {
    const int t = state_.transposition;
    song_.dur.SetTonic(t < 0 ? t + 12 : t);
    song_.dur.SetMode(state_.mode);
    for (int k = 0; k < kChordNodes; ++k) {
        const ChordNotes& notes = state_.nodes[k];
        song_.nodes[k].SetChord(k + 1, notes.tones[0], notes.tones[1], notes.tones[2], notes.bass);
    }
    song_.melody.SetScaleNotes(state_.scale);
    for (int row = 0; row < kChordNodes; ++row) {
        SChordGenerate::Row values{};
        std::copy(state_.percent[row].begin(), state_.percent[row].end(), values.begin());
        song_.chordGenerate.SetRow(row, values);
        song_.chordGenerate.SetEqual(row, state_.equal[row]);
    }
    if (state_.styleApplied) {
        ApplyMelodyStyle(song_, *state_.styleApplied);
    } else {
        SRhythmGenerate& rhythm = song_.MelodyRhythm();
        for (int row = 0; row < 8; ++row) {
            rhythm.SetWeights(row, {});
        }
        rhythm.SetStartState(0);
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        song_.melodies[v].SetVelocity(state_.velocities[v]);
    }
    for (int d = 0; d < kVoiceCount - kFirstDrumVoice; ++d) {
        song_.rhythms[kFirstDrumVoice + d].SetChannel(state_.drumChannels[d]);
    }
    for (int v = 0; v < 4; ++v) {
        for (int s = 0; s < kSongSteps; ++s) {
            song_.melodies[v].SetPitch(s, state_.accompanimentPitches[v][s]);
        }
    }
    LoadPart();
}

void SongDocument::LoadPart() {
    const SongPart& part = state_.parts[position_];
    for (int slot = 0; slot < kChordSlots; ++slot) {
        song_.SetSlotDegree(slot, std::clamp(int(part.degrees[slot]), 1, kChordNodes));
    }
    for (int s = 0; s < kSongSteps; ++s) {
        song_.MelodyRhythm().SetMark(s, part.marks[s]);
        song_.MelodyPitches().SetPitch(s, part.pitches[s]);
    }
}

// The state from the engine, after an operation has changed it.
void SongDocument::StoreEngine() {
    state_.mode = song_.dur.KeyMode();
    for (int k = 0; k < kChordNodes; ++k) {
        const SChord& node = song_.nodes[k];
        state_.nodes[k] = {{node.Tone(0), node.Tone(1), node.Tone(2)}, node.Tone(3)};
    }
    state_.scale = song_.melody.ScaleNotes();
    for (int row = 0; row < kChordNodes; ++row) {
        for (int column = 0; column < kChordNodes; ++column) {
            state_.percent[row][column] = uint8_t(song_.chordGenerate.Percent(row, column));
        }
        state_.equal[row] = song_.chordGenerate.IsEqual(row);
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        state_.velocities[v] = song_.melodies[v].Velocity();
    }
    for (int d = 0; d < kVoiceCount - kFirstDrumVoice; ++d) {
        state_.drumChannels[d] = song_.rhythms[kFirstDrumVoice + d].Channel();
    }
    for (int v = 0; v < 4; ++v) {
        for (int s = 0; s < kSongSteps; ++s) {
            state_.accompanimentPitches[v][s] = song_.melodies[v].Pitch(s);
        }
    }
    StorePart();
}

void SongDocument::StorePart() {
    SongPart& part = ShownPart();
    for (int slot = 0; slot < kChordSlots; ++slot) {
        part.degrees[slot] = uint8_t(song_.SlotDegree(slot));
    }
    for (int s = 0; s < kSongSteps; ++s) {
        part.marks[s] = song_.MelodyRhythm().Mark(s);
        part.pitches[s] = song_.MelodyPitches().Pitch(s);
    }
}

ProgressionResult SongDocument::GenerateChords() {
    const ProgressionResult result =
        GenerateProgression(song_, state_.firstChord, state_.firstChordIndex);
    if (result.generated) {
        state_.firstChordIndex = uint8_t(result.firstChordIndex);
        if (state_.finish) {
            FinishProgression(song_);
        }
        StorePart();
    }
    return result;
}

void SongDocument::GenerateMelody() {
    tontoko::GenerateMelody(song_);
    PolishMelody(song_, MelodyPolish{state_.finish, state_.motif});
    StorePart();
}

CellTexts SongDocument::PressCell(int measure, int column, PressButton button) {
    const CellTexts texts =
        tontoko::PressCell(song_, measure, column, button, state_.transposition);
    StorePart();
    return texts;
}

bool SongDocument::DeleteCell(int measure, int column) {
    const bool deleted = tontoko::DeleteCell(song_, measure, column);
    StorePart();
    return deleted;
}

CellTexts SongDocument::PlaceNote(int step, uint8_t pitch) {
    const CellTexts texts =
        PlaceCellNote(song_, step / kStepsPerMeasure + 1, (step % kStepsPerMeasure) / 2, pitch,
                      state_.transposition);
    StorePart();
    return texts;
}

std::optional<CellTexts> SongDocument::StepNoteInKey(int step, int direction) {
    const std::optional<CellTexts> texts =
        StepCellInKey(song_, step / kStepsPerMeasure + 1, (step % kStepsPerMeasure) / 2, direction,
                      state_.transposition);
    StorePart();
    return texts;
}

void SongDocument::ClearMeasure(int measure) {
    if (!IsMeasure(measure)) {
        return;
    }
    tontoko::ClearMeasure(song_, measure);
    StorePart();
}

void SongDocument::ClearAll() {
    tontoko::ClearAll(song_);
    StorePart();
}

void SongDocument::SetOnsetMark(int step, uint8_t mark) {
    if (step < 0 || step >= kSongSteps) {
        return;
    }
    song_.MelodyRhythm().SetMark(step, mark);
    StorePart();
}

void SongDocument::SetChord(int slot, int degree) {
    if (slot < 0 || slot >= kChordSlots || degree < 1 || degree > kChordNodes) {
        return;
    }
    song_.SetSlotDegree(slot, degree);
    StorePart();
}

void SongDocument::SetFixRhythm(int measure, bool fixed) {
    if (!IsMeasure(measure)) {
        return;
    }
    SongPart& part = ShownPart();
    part.SetFixed(measure - 1, FixedKind::Rhythm, fixed);
    // A melody is fixed only within a fixed rhythm.
    if (!fixed) {
        part.SetFixed(measure - 1, FixedKind::Melody, false);
    }
}

void SongDocument::SetFixMelody(int measure, bool fixed) {
    if (!IsMeasure(measure)) {
        return;
    }
    SongPart& part = ShownPart();
    part.SetFixed(measure - 1, FixedKind::Melody,
                  fixed && part.IsFixed(measure - 1, FixedKind::Rhythm));
}

void SongDocument::SetKeyFeel(KeyFeel feel) {
    state_.feel = feel;
    if (feel == KeyFeel::Bright) {
        SwitchToMajor(song_);
    } else if (feel == KeyFeel::Dark) {
        SwitchToMinor(song_);
    }
    StoreEngine();
}

void SongDocument::SetMode(Mode mode) {
    if (mode == Mode::Minor) {
        SwitchToMinor(song_);
    } else {
        SwitchToMajor(song_);
    }
    StoreEngine();
}

void SongDocument::Transpose(int proposed) {
    const int d = tontoko::Transpose(song_, state_.transposition, proposed);
    state_.transposition = int8_t(std::clamp(proposed, kMinTransposition, kMaxTransposition));
    // The parts not shown move with the one the engine holds.
    for (int p = 0; p < state_.partCount; ++p) {
        if (p == position_) {
            continue;
        }
        for (uint8_t& pitch : state_.parts[p].pitches) {
            if (pitch != 0) {
                pitch = uint8_t(pitch + d);
            }
        }
    }
    StoreEngine();
}

void SongDocument::SetTempoChoice(TempoChoice choice) {
    state_.tempoChoice = choice;
    switch (choice) {
        case TempoChoice::Fast:
            state_.tempo = kTempoFast;
            break;
        case TempoChoice::Medium:
            state_.tempo = kTempoMedium;
            break;
        case TempoChoice::Slow:
            state_.tempo = kTempoSlow;
            break;
        case TempoChoice::Own:
            break;
    }
}

void SongDocument::SetTempo(int tempo) {
    state_.tempo = uint8_t(std::clamp(tempo, 1, 255));
}

void SongDocument::SetFirstChord(FirstChord choice) {
    state_.firstChord = choice;
    if (choice == FirstChord::One) {
        state_.firstChordIndex = 0;
    }
}

void SongDocument::SetFirstChordIndex(int index) {
    state_.firstChordIndex = uint8_t(std::clamp(index, 0, kChordNodes - 1));
}

void SongDocument::SetMelodyStyle(MelodyStyle style) {
    state_.styleShown = style;
    state_.styleApplied = style;
    ApplyMelodyStyle(song_, style);
}

void SongDocument::SetFinish(bool on) {
    state_.finish = on;
}

void SongDocument::SetMotif(bool on) {
    state_.motif = on;
}

void SongDocument::SetProgram(Instrument instrument, int program) {
    state_.programs[size_t(instrument)] = uint8_t(std::clamp(program, 0, 127));
}

void SongDocument::SetDrumSet(int index) {
    state_.drumSet = uint8_t(std::clamp(index, 0, int(DrumSets().size()) - 1));
}

void SongDocument::SetVolume(VolumeGroup group, int volume) {
    const uint8_t value = uint8_t(std::clamp(volume, 0, 127));
    state_.volumes[size_t(group)] = value;
    const auto [first, last] = VoicesOf(group);
    for (int v = first; v <= last; ++v) {
        song_.melodies[v].SetVelocity(value);
        state_.velocities[v] = value;
    }
}

void SongDocument::SetFade(FadeMode fade) {
    state_.fade = fade;
}

void SongDocument::SetInterval(int beats) {
    state_.interval = uint8_t(std::clamp(beats, 0, 4));
}

void SongDocument::SetAccPattern(int index) {
    if (index >= 0 && index < int(patterns_.acc.size())) {
        state_.accPattern = int8_t(index);
    }
}

void SongDocument::SetDrumPattern(int index) {
    if (index >= 0 && index < int(patterns_.drums.size())) {
        state_.drumPattern = int8_t(index);
    }
}

void SongDocument::SetDrumsOn(bool on) {
    state_.drumsOn = on;
}

void SongDocument::RandomSounds() {
    state_.programs[size_t(Instrument::Melody)] = uint8_t(song_.random.Below(128));
    state_.programs[size_t(Instrument::Accompaniment)] = uint8_t(song_.random.Below(128));
    state_.programs[size_t(Instrument::Bass)] = uint8_t(song_.random.Below(128));
    state_.drumSet = uint8_t(song_.random.Below(int(DrumSets().size())));
}

void SongDocument::SetPercent(int row, int column, int value) {
    if (row < 0 || row >= kChordNodes || column < 0 || column >= kChordNodes) {
        return;
    }
    song_.chordGenerate.SetPercent(row, column, std::clamp(value, 0, 100));
    state_.percent[row][column] = uint8_t(song_.chordGenerate.Percent(row, column));
}

void SongDocument::SetEqual(int row, bool equal) {
    if (row < 0 || row >= kChordNodes) {
        return;
    }
    song_.chordGenerate.SetEqual(row, equal);
    state_.equal[row] = equal;
}

SoundSettings SongDocument::Sounds() const {
    SoundSettings settings;
    settings.melodyProgram = state_.programs[size_t(Instrument::Melody)];
    settings.accProgram = state_.programs[size_t(Instrument::Accompaniment)];
    settings.bassProgram = state_.programs[size_t(Instrument::Bass)];
    settings.drumSetProgram = DrumSets().at(state_.drumSet).program;
    settings.fade = state_.fade;
    return settings;
}

RenderChoice SongDocument::Choice() const {
    RenderChoice choice;
    choice.drumsOn = state_.drumsOn;
    choice.accPattern = state_.accPattern;
    choice.drumPattern = state_.drumPattern;
    return choice;
}

std::vector<uint8_t> SongDocument::Write() {
    std::vector<uint8_t> bytes;
    bytes.reserve(4096 * size_t(state_.partCount));
    writer_.SetInterval(state_.interval);
    ComposeParts(bytes, writer_, song_, std::span(state_.parts.data(), state_.partCount), patterns_,
                 Choice(), state_.tempo, Sounds());
    // Rendering leaves channels and accompaniment notes the next write reads.
    StoreEngine();
    return bytes;
}

SongFileContents SongDocument::Reading() const {
    return ContentsOf(song_, std::span(state_.parts.data(), state_.partCount), Choice(), Sounds(),
                      state_.interval, state_.tempo);
}

void SongDocument::Open(const SongFileContents& contents) {
    State next = state_;
    // The key's chord nodes and scale, as the key control and the mode
    // switches make them from the start-up key.
    Song key(0);
    if (contents.mode == Mode::Minor) {
        SwitchToMinor(key);
    }
    tontoko::Transpose(key, 0, contents.transposition);
    next.transposition =
        int8_t(std::clamp(contents.transposition, kMinTransposition, kMaxTransposition));
    next.mode = contents.mode;
    next.feel = next.transposition != 0        ? KeyFeel::Own
                : contents.mode == Mode::Minor ? KeyFeel::Dark
                                               : KeyFeel::Bright;
    for (int k = 0; k < kChordNodes; ++k) {
        const SChord& node = key.nodes[k];
        next.nodes[k] = {{node.Tone(0), node.Tone(1), node.Tone(2)}, node.Tone(3)};
    }
    next.scale = key.melody.ScaleNotes();

    next.partCount = uint8_t(std::clamp(int(contents.parts.size()), 1, kMaxParts));
    for (int p = 0; p < next.partCount; ++p) {
        next.parts[p] = contents.parts[p];
    }

    next.tempo = uint8_t(std::clamp(contents.tempo, 0, 255));
    next.tempoChoice = next.tempo == kTempoFast     ? TempoChoice::Fast
                       : next.tempo == kTempoMedium ? TempoChoice::Medium
                       : next.tempo == kTempoSlow   ? TempoChoice::Slow
                                                    : TempoChoice::Own;
    if (contents.accPatternFound) {
        next.accPattern = int8_t(contents.accPattern);
    }
    if (contents.drumPatternFound) {
        next.drumPattern = int8_t(contents.drumPattern);
    }
    next.drumsOn = contents.drumsOn;
    next.programs[size_t(Instrument::Melody)] = contents.melodyProgram;
    next.programs[size_t(Instrument::Accompaniment)] = contents.accProgram;
    next.programs[size_t(Instrument::Bass)] = contents.bassProgram;
    next.drumSet = uint8_t(std::clamp(contents.drumSet, 0, int(DrumSets().size()) - 1));
    next.fade = contents.fade;
    next.interval = uint8_t(std::clamp(contents.interval, 0, 4));
    // The volume controls show the velocities the file plays.
    for (int g = 0; g < kVolumeGroups; ++g) {
        if (const std::optional<uint8_t> velocity = contents.velocities[g]) {
            next.volumes[g] = *velocity;
            const auto [first, last] = VoicesOf(VolumeGroup(g));
            for (int v = first; v <= last; ++v) {
                next.velocities[v] = *velocity;
            }
        }
    }
    next.drumChannels = contents.drumChannels;
    next.accompanimentPitches = contents.accompanimentPitches;

    position_ = 0;
    Restore(next);
    for (int v = 0; v < kVoiceCount; ++v) {
        song_.melodies[v].SetLastNote(contents.carriedNotes[v]);
    }
}

}  // namespace tontoko
