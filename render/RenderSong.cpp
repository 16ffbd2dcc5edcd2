#include "render/RenderSong.h"

#include <string>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"

namespace tontoko {
namespace {

void LoadPartMarks(SRhythmGenerate& rhythm, const std::string& part) {
    const std::array<uint8_t, kSongSteps> marks = PartMarks(part);
    for (int s = 0; s < kSongSteps; ++s) {
        rhythm.SetMark(s, marks[static_cast<size_t>(s)]);
    }
}

void ClearSongMarks(SRhythmGenerate& rhythm) {
    for (int s = 0; s < kSongSteps; ++s) {
        rhythm.SetMark(s, 0);
    }
}

void RenderDrums(Song& song, const PatternLibrary& library, const RenderChoice& choice) {
    const bool valid =
        choice.drumPattern >= 0 && choice.drumPattern < static_cast<int>(library.drums.size());
    if (choice.drumsOn) {
        for (int j = 0; j < 5; ++j) {
            song.rhythms[kFirstDrumVoice + j].SetChannel(kDrumChannel);
        }
    }
    if (!choice.drumsOn || !valid) {
        for (int j = 0; j < 5; ++j) {
            ClearSongMarks(song.rhythms[kFirstDrumVoice + j]);
        }
        return;
    }
    const DrumPattern& pattern = library.drums[static_cast<size_t>(choice.drumPattern)];
    for (int j = 0; j < 5; ++j) {
        LoadPartMarks(song.rhythms[kFirstDrumVoice + j], pattern.parts[j]);
    }
    for (int s = 0; s < kSongSteps; ++s) {
        for (int j = 0; j < 5; ++j) {
            song.melodies[kFirstDrumVoice + j].SetPitch(s, pattern.notes[j]);
        }
    }
}

}  // namespace

std::array<uint8_t, kSongSteps> PartMarks(const std::string& part) {
    std::array<uint8_t, kSongSteps> marks{};
    for (int s = 0; s < kSongSteps; ++s) {
        const char c = s < static_cast<int>(part.size()) ? part[static_cast<size_t>(s)] : '0';
        marks[static_cast<size_t>(s)] = static_cast<uint8_t>(c - '0');
    }
    return marks;
}

bool OctaveJumpAt(int accPattern, int step) {
    return accPattern == kOctaveJumpPattern && ((step % kSongSteps) / 4) % 2 == 1;
}

void RenderSong(Song& song, const PatternLibrary& library, const RenderChoice& choice) {
    RenderDrums(song, library, choice);

    const bool accValid =
        choice.accPattern >= 0 && choice.accPattern < static_cast<int>(library.acc.size());
    for (int v = 0; v < 4; ++v) {
        if (accValid) {
            LoadPartMarks(song.rhythms[v],
                          library.acc[static_cast<size_t>(choice.accPattern)].parts[v]);
        } else {
            ClearSongMarks(song.rhythms[v]);
        }
    }

    // Bass, fifth, third, root: tone 3 - v of each step's chord.
    for (int v = 0; v < 4; ++v) {
        GeneratePitches(song.melodies[v], song.rhythms[v], song.melody, PitchMode::FixedVoicing,
                        3 - v, 0, song.random, song);
        song.melodies[v].SetPitch(kSongSteps, 0);
    }

    if (accValid) {
        for (int s = 0; s < kSongSteps; ++s) {
            if (OctaveJumpAt(choice.accPattern, s)) {
                for (int v = 0; v < 4; ++v) {
                    song.melodies[v].AddToPitch(s, 12);
                }
            }
        }
    }
}

AccompanimentVoices PreviewAccompaniment(const Song& song, const PatternLibrary& library,
                                         const RenderChoice& choice) {
    // A scratch song holding the same key, chords, voices and random state;
    // rendering it is exactly what rendering the song would do.
    Song scratch(0);
    scratch.dur = song.dur;
    scratch.melody = song.melody;
    scratch.random = song.random;
    for (int k = 0; k < kChordNodes; ++k) {
        const SChord& node = song.nodes[static_cast<size_t>(k)];
        scratch.nodes[static_cast<size_t>(k)].SetChord(node.Degree(), node.Tone(0), node.Tone(1),
                                                       node.Tone(2), node.Tone(3));
    }
    for (int slot = 0; slot < kChordSlots; ++slot) {
        scratch.SetSlotDegree(slot, song.SlotDegree(slot));
    }
    scratch.rhythms = song.rhythms;
    scratch.melodies = song.melodies;
    RenderSong(scratch, library, choice);

    AccompanimentVoices voices;
    for (size_t v = 0; v < 4; ++v) {
        voices.rhythms[v] = scratch.rhythms[v];
        voices.pitches[v] = scratch.melodies[v];
    }
    return voices;
}

}  // namespace tontoko
