#include "render/SStandardMidi.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <string_view>

#include "engine/SMelodyGenerate.h"
#include "engine/SRhythmGenerate.h"
#include "engine/TimeGrid.h"
#include "files/AtomicFile.h"
#include "render/SongVoices.h"

namespace tontoko {
namespace {

constexpr std::array<uint8_t, 18> kHeader = {
    0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x60, 0x4D, 0x54, 0x72, 0x6B,  // "MThd", format 0, 1 track, 96; "MTrk"
};
constexpr size_t kTrackLengthOffset = 18;
constexpr size_t kTrackStart = 22;
constexpr std::array<uint8_t, 13> kGsReset = {0x00, 0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12,
                                              0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
constexpr std::array<uint8_t, 8> kDrumBankSelect = {0x00, 0xB9, 0x00, 0x00, 0x00, 0xB9, 0x20, 0x01};
constexpr std::array<uint8_t, 4> kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// The largest value of the three tempo bytes.
constexpr uint32_t kMaxMicrosecondsPerQuarter = 0xFFFFFF;

void Append(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A 3-byte channel message. Data bytes keep their low 7 bits so that an
// out-of-range note can never be read as a status byte.
void WriteEvent(std::vector<uint8_t>& out, uint8_t status, uint8_t data1, uint8_t data2) {
    out.push_back(status);
    out.push_back(data1 & 0x7F);
    out.push_back(data2 & 0x7F);
}

void WriteTempo(std::vector<uint8_t>& out, uint8_t tempo) {
    const uint32_t microseconds = TempoMicroseconds(tempo);
    const uint8_t bytes[] = {0xFF,
                             0x51,
                             0x03,
                             static_cast<uint8_t>(microseconds >> 16),
                             static_cast<uint8_t>(microseconds >> 8),
                             static_cast<uint8_t>(microseconds)};
    Append(out, bytes);
}

void WriteLength(std::vector<uint8_t>& out, size_t at, uint32_t count) {
    out[at] = static_cast<uint8_t>(count >> 24);
    out[at + 1] = static_cast<uint8_t>(count >> 16);
    out[at + 2] = static_cast<uint8_t>(count >> 8);
    out[at + 3] = static_cast<uint8_t>(count);
}

uint8_t NoteOn(uint8_t channel) {
    return static_cast<uint8_t>(0x90 | (channel & 0x0F));
}

}  // namespace

uint32_t TempoMicroseconds(uint8_t tempo) {
    const uint32_t microseconds =
        tempo == 0 ? kMaxMicrosecondsPerQuarter : 60000000u / static_cast<uint32_t>(tempo);
    return std::min(microseconds, kMaxMicrosecondsPerQuarter);
}

uint8_t FadedVelocity(uint8_t velocity, int step, int steps, FadeMode fade) {
    if (steps <= 0 || fade == FadeMode::Normal) {
        return velocity;
    }
    const int v = velocity;
    const int level =
        fade == FadeMode::FadeIn ? v * (step + 1) / steps : v * (steps - 1 - step) / steps;
    return static_cast<uint8_t>(std::clamp(level, 0, 255));
}

int SStandardMidi::WriteVarLen(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    for (int i = count - 1; i >= 0; --i) {
        out.push_back(static_cast<uint8_t>(groups[i] | (i > 0 ? 0x80 : 0x00)));
    }
    return count;
}

void SStandardMidi::Compose(std::vector<uint8_t>& out, const SongVoices& voices,
                            std::span<uint8_t> lastNotes, uint8_t tempo,
                            const SoundSettings& settings) {
    const size_t start = out.size();
    const int voiceCount = std::min(voices.VoiceCount(), static_cast<int>(lastNotes.size()));
    const int steps = voices.StepCount();
    // At most a note-off and a note-on with their delta times per voice and
    // step, beside the fixed prefix and the ending.
    out.reserve(out.size() + 96 + static_cast<size_t>(steps + 1) * voiceCount * 8);

    Append(out, kHeader);
    out.insert(out.end(), 4, 0);  // track length, patched below

    out.push_back(0x00);
    WriteTempo(out, tempo);
    Append(out, kGsReset);
    const uint8_t programs[] = {settings.bassProgram, settings.accProgram, settings.accProgram,
                                settings.accProgram, settings.melodyProgram};
    for (uint8_t channel = 0; channel < 5; ++channel) {
        out.push_back(0x00);
        out.push_back(static_cast<uint8_t>(0xC0 | channel));
        out.push_back(programs[channel] & 0x7F);
    }
    Append(out, kDrumBankSelect);
    out.push_back(0x00);
    out.push_back(0xC9);
    out.push_back(settings.drumSetProgram & 0x7F);

    // Ticks since the last event. It starts with the interval, so the silence
    // before the song and any steps without events before the first note become
    // one delta time.
    uint32_t pending = static_cast<uint32_t>(std::max(interval_, 0)) * kTicksPerQuarter;
    for (int s = 0; s < steps; ++s) {
        bool first = true;
        for (int v = 0; v < voiceCount; ++v) {
            if (static_cast<int8_t>(voices.Mark(s, v)) <= 0) {
                continue;
            }
            const uint8_t status = NoteOn(voices.Channel(v));
            const uint8_t pitch = voices.Pitch(s, v);
            // A melody onset without a note number is a rest: the previous note
            // ends, nothing starts.
            const bool rest = v == kMelodyVoice && pitch == 0;
            if (s == 0 && rest) {
                lastNotes[static_cast<size_t>(v)] = 0;
                continue;
            }
            WriteVarLen(out, first ? pending : 0);
            if (first) {
                pending = 0;
                first = false;
            }
            if (s > 0) {
                WriteEvent(out, status, lastNotes[static_cast<size_t>(v)], 0);
                if (!rest) {
                    WriteVarLen(out, 0);
                }
            }
            if (!rest) {
                WriteEvent(out, status, pitch,
                           FadedVelocity(voices.Velocity(v), s, steps, settings.fade));
            }
            lastNotes[static_cast<size_t>(v)] = pitch;
        }
        pending += kTicksPerStep;
    }

    for (int v = 0; v < voiceCount; ++v) {
        WriteVarLen(out, v == 0 ? pending : 0);
        WriteEvent(out, NoteOn(voices.Channel(v)), lastNotes[static_cast<size_t>(v)], 0);
    }
    Append(out, kEndOfTrack);

    WriteLength(out, start + kTrackLengthOffset,
                static_cast<uint32_t>(out.size() - start - kTrackStart));
}

void SStandardMidi::Compose(std::vector<uint8_t>& out, std::span<const SRhythmGenerate> rhythms,
                            std::span<SMelodyGenerate> melodies, int stepCount, uint8_t tempo,
                            const SoundSettings& settings) {
    const size_t count = std::min(rhythms.size(), melodies.size());
    SongVoices voices(static_cast<int>(count));
    voices.Append(rhythms, melodies, stepCount);
    std::vector<uint8_t> lastNotes(count);
    for (size_t v = 0; v < count; ++v) {
        lastNotes[v] = melodies[v].LastNote();
    }
    Compose(out, voices, lastNotes, tempo, settings);
    for (size_t v = 0; v < count; ++v) {
        melodies[v].SetLastNote(lastNotes[v]);
    }
}

bool SStandardMidi::Write(const std::string& path, std::span<const SRhythmGenerate> rhythms,
                          std::span<SMelodyGenerate> melodies, int stepCount, uint8_t tempo,
                          const SoundSettings& settings) {
    std::vector<uint8_t> bytes;
    bytes.reserve(4096);
    Compose(bytes, rhythms, melodies, stepCount, tempo, settings);

    return WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace tontoko
