#include "render/SongFilePatterns.h"

#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SongFileContents.h"

namespace tontoko {

namespace {

using Marks = std::array<uint8_t, kSongSteps>;

bool Starts(uint8_t mark) {
    return static_cast<int8_t>(mark) > 0;
}

bool InLibrary(int position, size_t size) {
    return position >= 0 && static_cast<size_t>(position) < size;
}

// The accompaniment reading of one pattern (`parts` null: no accompaniment).
bool TryAccompaniment(const FileVoices& voices, const std::array<std::string, 4>* parts,
                      int position, const SongFileContents& current,
                      AccompanimentReading& reading) {
    reading = AccompanimentReading{};
    for (int v = 0; v < 4; ++v) {
        const Marks marks = parts ? PartMarks((*parts)[static_cast<size_t>(v)]) : Marks{};
        const std::vector<FileOnset>& onsets = voices.onsets[static_cast<size_t>(v)];
        size_t next = 0;
        for (int step = 0; step < voices.steps; ++step) {
            const int s = step % kSongSteps;
            const uint8_t mark = marks[static_cast<size_t>(s)];
            if (!Starts(mark)) {
                continue;
            }
            if (next >= onsets.size() || onsets[next].step != step) {
                return false;
            }
            const uint8_t key = onsets[next++].key;
            const bool jump = OctaveJumpAt(position, s);
            if (mark == 1) {
                reading.clues.push_back(
                    {step / (kStepsPerMeasure / 2), static_cast<uint8_t>(v), key, jump});
                continue;
            }
            // Rendering leaves the held note as it is and raises it an octave
            // at every jump, so part p sounds it p + 1 octaves up.
            const int part = step / kSongSteps;
            const uint8_t held = static_cast<uint8_t>((key - (jump ? 12 * (part + 1) : 0)) & 0x7F);
            std::optional<uint8_t>& slot =
                reading.held[static_cast<size_t>(v)][static_cast<size_t>(s)];
            if (slot && *slot != held) {
                return false;
            }
            slot = held;
        }
        if (next != onsets.size()) {
            return false;
        }
    }
    // The current note numbers where they give the same notes.
    for (int v = 0; v < 4; ++v) {
        for (int s = 0; s < kSongSteps; ++s) {
            std::optional<uint8_t>& held =
                reading.held[static_cast<size_t>(v)][static_cast<size_t>(s)];
            const uint8_t now =
                current.accompanimentPitches[static_cast<size_t>(v)][static_cast<size_t>(s)];
            if (held && (now & 0x7F) == *held) {
                held = now;
            }
        }
    }
    std::vector<PartDegrees> degrees;
    for (const SongPart& part : current.parts) {
        degrees.push_back(part.degrees);
    }
    reading.chords =
        ReadChords(reading.clues, voices.parts, current.transposition, current.mode, degrees);
    if (!reading.chords.found) {
        return false;
    }
    reading.found = true;
    reading.pattern = position;
    return true;
}

// The drum reading of one pattern (null: drum part on, no notes).
bool TryDrums(const FileVoices& voices, const DrumPattern* pattern, int position,
              DrumReading& reading) {
    reading = DrumReading{};
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        if (voices.finalChannels[static_cast<size_t>(v)] != kDrumChannel) {
            return false;
        }
    }
    std::array<Marks, kDrumVoices> marks{};
    if (pattern) {
        for (int j = 0; j < kDrumVoices; ++j) {
            marks[static_cast<size_t>(j)] = PartMarks(pattern->parts[static_cast<size_t>(j)]);
        }
    }
    std::array<std::optional<uint8_t>, kDrumVoices> last{};
    size_t next = 0;
    for (int step = 0; step < voices.steps; ++step) {
        const size_t s = static_cast<size_t>(step % kSongSteps);
        for (size_t j = 0; j < static_cast<size_t>(kDrumVoices); ++j) {
            if (!Starts(marks[j][s])) {
                continue;
            }
            if (next >= voices.drums.size() || voices.drums[next].step != step) {
                return false;
            }
            const FileDrumOnset& onset = voices.drums[next++];
            if (step > 0) {
                if (!last[j]) {
                    reading.carried[j] = onset.endedKey;
                } else if (onset.endedKey != *last[j]) {
                    return false;
                }
            }
            const uint8_t note = pattern->notes[j] & 0x7F;
            if (onset.key != note) {
                return false;
            }
            last[j] = note;
            reading.velocities.push_back({step, onset.velocity});
        }
    }
    if (next != voices.drums.size()) {
        return false;
    }
    for (size_t j = 0; j < static_cast<size_t>(kDrumVoices); ++j) {
        const uint8_t final = voices.finalKeys[static_cast<size_t>(kFirstDrumVoice) + j];
        if (!last[j]) {
            reading.carried[j] = final;
        } else if (final != *last[j]) {
            return false;
        }
    }
    reading.found = true;
    reading.on = true;
    reading.pattern = position;
    return true;
}

bool TryDrumsOff(const FileVoices& voices, int currentPattern, DrumReading& reading) {
    reading = DrumReading{};
    if (!voices.drums.empty()) {
        return false;
    }
    for (size_t j = 0; j < static_cast<size_t>(kDrumVoices); ++j) {
        reading.carried[j] = voices.finalKeys[static_cast<size_t>(kFirstDrumVoice) + j];
    }
    reading.found = true;
    reading.on = false;
    reading.pattern = currentPattern;
    return true;
}

bool TryDrumsOn(const FileVoices& voices, const PatternLibrary& library, int currentPattern,
                DrumReading& reading) {
    const size_t count = library.drums.size();
    const DrumPattern* current = InLibrary(currentPattern, count)
                                     ? &library.drums[static_cast<size_t>(currentPattern)]
                                     : nullptr;
    if (TryDrums(voices, current, currentPattern, reading)) {
        return true;
    }
    for (size_t d = 0; d < count; ++d) {
        if (TryDrums(voices, &library.drums[d], static_cast<int>(d), reading)) {
            return true;
        }
    }
    return false;
}

}  // namespace

AccompanimentReading ReadAccompaniment(const FileVoices& voices, const PatternLibrary& library,
                                       const SongFileContents& current) {
    AccompanimentReading reading;
    const size_t count = library.acc.size();
    const bool currentIn = InLibrary(current.accPattern, count);
    if (TryAccompaniment(
            voices,
            currentIn ? &library.acc[static_cast<size_t>(current.accPattern)].parts : nullptr,
            current.accPattern, current, reading)) {
        return reading;
    }
    for (size_t a = 0; a < count; ++a) {
        if (TryAccompaniment(voices, &library.acc[a].parts, static_cast<int>(a), current,
                             reading)) {
            return reading;
        }
    }
    reading = AccompanimentReading{};
    return reading;
}

std::vector<ChordClue> UnknownPatternClues(const FileVoices& voices, bool jumps) {
    std::vector<ChordClue> clues;
    for (int v = 0; v < 4; ++v) {
        for (const FileOnset& onset : voices.onsets[static_cast<size_t>(v)]) {
            clues.push_back({onset.step / (kStepsPerMeasure / 2), static_cast<uint8_t>(v),
                             onset.key, jumps && OctaveJumpAt(kOctaveJumpPattern, onset.step)});
        }
    }
    return clues;
}

DrumReading ReadDrums(const FileVoices& voices, const PatternLibrary& library,
                      const SongFileContents& current) {
    DrumReading reading;
    const bool found = current.drumsOn
                           ? TryDrumsOn(voices, library, current.drumPattern, reading) ||
                                 TryDrumsOff(voices, current.drumPattern, reading)
                           : TryDrumsOff(voices, current.drumPattern, reading) ||
                                 TryDrumsOn(voices, library, current.drumPattern, reading);
    if (found) {
        return reading;
    }
    // Drum notes no pattern of the library gives: their velocities still tell
    // the drum volume.
    reading = DrumReading{};
    reading.on = true;
    reading.pattern = current.drumPattern;
    for (const FileDrumOnset& onset : voices.drums) {
        reading.velocities.push_back({onset.step, onset.velocity});
    }
    return reading;
}

}  // namespace tontoko
