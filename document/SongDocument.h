#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "document/MelodyEdit.h"
#include "document/SongState.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "render/SongFileContents.h"

namespace tontoko {

// The song being made: everything a song is and everything the bytes of Save
// depend on, changed only through one operation per user action. The window,
// the piano roll and tontoko-compose all go through it, so they agree by
// construction; undo keeps its snapshots.
//
// The engine works on the part shown (the position): its chord slots, melody
// voice and fixed measures are that part's; the other parts wait in the
// state. Every operation leaves the state and the engine in step.
class SongDocument {
  public:
    using State = SongState;

    // The start-up song, its random source seeded with `clockSeconds`.
    explicit SongDocument(uint32_t clockSeconds);
    SongDocument(const SongDocument&) = delete;
    SongDocument& operator=(const SongDocument&) = delete;

    // Reads the pattern files of `folder` (once, at start-up) and selects the
    // first pattern of each list.
    PatternLoadResult LoadPatterns(const std::filesystem::path& folder);
    const PatternLibrary& Patterns() const { return patterns_; }

    // What the views show.
    const State& Current() const { return state_; }
    const Song& Engine() const { return song_; }
    // The part shown: 0 .. parts - 1. A view, not a step of undo.
    int Position() const { return position_; }
    void SetPosition(int part);
    // The song's number (1..32) of measure 1..4 of the part shown.
    int SongMeasure(int measure) const { return position_ * kMeasures + measure; }

    // Parts. AddPart inserts a copy of the part shown (chords, melody and
    // fixed measures) after it and shows the copy; false at kMaxParts.
    // DeletePart removes the part shown and shows the one now in its place
    // (the last when it was the last); false when it is the only part.
    bool AddPart();
    bool DeletePart();

    // Snapshots for undo: everything but the random source and the writer's
    // carried note-offs. Restore sets the state directly: it loads no preset,
    // shifts no pitch and runs no generator.
    State Snapshot() const { return state_; }
    void Restore(const State& state);

    // Generation, on the part shown.
    ProgressionResult GenerateChords();
    void GenerateMelody();

    // The melody of the part shown. Measures 1..4, columns 0..7.
    CellTexts PressCell(int measure, int column, PressButton button);
    bool DeleteCell(int measure, int column);
    // Piano roll edits at a step (an eighth-note cell) of the part shown.
    CellTexts PlaceNote(int step, uint8_t pitch);
    std::optional<CellTexts> StepNoteInKey(int step, int direction);
    uint8_t NotePitchOfRow(int rowPitch) const { return RollNotePitch(song_, rowPitch); }
    void ClearMeasure(int measure);
    void ClearAll();
    // An onset mark of the part shown (step 0..63), as a registered rhythm
    // sets it.
    void SetOnsetMark(int step, uint8_t mark);

    // Chords and fixed measures of the part shown.
    void SetChord(int slot, int degree);
    void SetFixRhythm(int measure, bool fixed);
    void SetFixMelody(int measure, bool fixed);

    // The key and the settings.
    void SetKeyFeel(KeyFeel feel);
    void SetMode(Mode mode);
    // The key control moves to `proposed` (clamped to -6..5).
    void Transpose(int proposed);
    void SetTempoChoice(TempoChoice choice);
    void SetTempo(int tempo);
    void SetFirstChord(FirstChord choice);
    void SetFirstChordIndex(int index);
    void SetMelodyStyle(MelodyStyle style);
    void SetFinish(bool on);
    void SetMotif(bool on);

    // Sounds.
    void SetProgram(Instrument instrument, int program);
    void SetDrumSet(int index);
    void SetVolume(VolumeGroup group, int volume);
    void SetFade(FadeMode fade);
    void SetInterval(int beats);
    void SetAccPattern(int index);
    void SetDrumPattern(int index);
    void SetDrumsOn(bool on);
    // "ランダム決定": three instruments and a drum set from the random source.
    void RandomSounds();

    // The transition table.
    void SetPercent(int row, int column, int value);
    void SetEqual(int row, bool equal);

    // Renders the song and writes it as a Standard MIDI File, as Save and
    // Play do. The writer carries the voices' last notes to the next write.
    std::vector<uint8_t> Write();

    // Open: the song a file holds becomes the document, and the writer
    // carries what it carried when the file was written, so that the next
    // write repeats the file. What a file does not hold stays (the table,
    // the fixed measures, the style, the first chord, the boxes). The key
    // radio follows the key: "あかるい" or "くらい" at offset 0, else
    // "じぶんで"; a preset tempo selects its radio.
    void Open(const SongFileContents& contents);
    // The current values a reading of a file prefers where it may choose.
    SongFileContents Reading() const;
    // What Write would give the writer to read, without writing.
    SoundSettings Sounds() const;
    RenderChoice Choice() const;

  private:
    class Fixed : public FixedMeasures {
      public:
        explicit Fixed(const SongDocument& document) : document_(document) {}
        bool IsFixed(int measure, FixedKind kind) const override;

      private:
        const SongDocument& document_;
    };

    SongPart& ShownPart() { return state_.parts[position_]; }
    // The engine follows the state, or the state the engine.
    void LoadEngine();
    void LoadPart();
    void StoreEngine();
    void StorePart();

    Song song_;
    State state_;
    PatternLibrary patterns_;
    SStandardMidi writer_;
    Fixed fixed_{*this};
    int position_ = 0;
};

}  // namespace tontoko
