#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/TimeGrid.h"
#include "render/SongLayout.h"

namespace tontoko {

// The note events of one song file sorted back into the writer's voices: the
// song's length and lead-in from the time of its final note-offs, and for
// every step the onsets of each voice, read by the writer's structure (per
// step and voice: the previous note's end, then the new note), not by the
// velocities alone, since a voice at volume 0 starts its notes with
// velocity 0.

// An onset of the bass, an accompaniment voice or the melody.
struct FileOnset {
    int step = 0;          // in the whole song
    uint8_t key = 0;       // the note started (0 for a melody onset that starts none)
    uint8_t velocity = 0;  // its velocity, when a note-on was written
    bool noteOn = false;   // false: a melody rest (the previous note ended, none started)
};

// A note started on the drum channel: the pair (previous note's end, note),
// or the note alone at step 0. Which drum voice it belongs to is decided by
// the drum pattern.
struct FileDrumOnset {
    int step = 0;
    uint8_t endedKey = 0;  // the note the voice ended first (steps after 0)
    uint8_t key = 0;
    uint8_t velocity = 0;
};

struct FileVoices {
    int interval = 0;  // beats of lead-in
    int parts = 0;     // parts of four measures
    int steps = 0;     // 64 per part
    // Voices 0..4 (bass, accompaniment, melody), each in step order, and the
    // note each voice carried into the file where a note-off reveals it.
    std::array<std::vector<FileOnset>, kFirstDrumVoice> onsets;
    std::array<std::optional<uint8_t>, kFirstDrumVoice> carried;
    std::vector<FileDrumOnset> drums;
    // The final note-off of every voice: its channel and note.
    std::array<uint8_t, kVoiceCount> finalChannels{};
    std::array<uint8_t, kVoiceCount> finalKeys{};
    // A melody note-on for note 0, as written before such onsets became rests.
    bool olderRests = false;
};

// Sorts the notes of a song of the layout (one song, no joined ones) into
// voices. Returns an empty text, or what does not follow the writer.
std::string SortFileVoices(std::span<const LayoutNote> notes, FileVoices& voices);

}  // namespace tontoko
