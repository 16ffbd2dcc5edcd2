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
    uint32_t microseconds =
        tempo == 0 ? kMaxMicrosecondsPerQuarter : 60000000u / static_cast<uint32_t>(tempo);
    microseconds = std::min(microseconds, kMaxMicrosecondsPerQuarter);
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

void SStandardMidi::Compose(std::vector<uint8_t>& out, std::span<const SRhythmGenerate> rhythms,
                            std::span<SMelodyGenerate> melodies, int stepCount, uint8_t tempo,
                            const SoundSettings& settings) {
    const size_t start = out.size();
    const size_t voices = std::min(rhythms.size(), melodies.size());
    const int steps = std::clamp(stepCount, 0, kSongSteps);

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

    // Levels and their per-step change for the fade, in double precision so
    // that every level of a 64-step song is exact.
    std::array<double, kVoiceCount> levelStore{};
    std::array<double, kVoiceCount> incrementStore{};
    std::vector<double> levelHeap;
    std::vector<double> incrementHeap;
    double* level = levelStore.data();
    double* increment = incrementStore.data();
    if (voices > levelStore.size()) {
        levelHeap.assign(voices, 0.0);
        incrementHeap.assign(voices, 0.0);
        level = levelHeap.data();
        increment = incrementHeap.data();
    }
    for (size_t v = 0; v < voices; ++v) {
        level[v] = melodies[v].Velocity();
        switch (settings.fade) {
            case FadeMode::Normal:
                increment[v] = 0.0;
                break;
            case FadeMode::FadeIn:
                increment[v] = steps > 0 ? level[v] / steps : 0.0;
                level[v] = 0.0;
                break;
            case FadeMode::FadeOut:
                increment[v] = steps > 0 ? -(level[v] / steps) : 0.0;
                break;
        }
    }

    // Ticks since the last event. It starts with the interval, so the silence
    // before the song and any steps without events before the first note become
    // one delta time.
    uint32_t pending = static_cast<uint32_t>(std::max(interval_, 0)) * kTicksPerQuarter;
    for (int s = 0; s < steps; ++s) {
        bool first = true;
        for (size_t v = 0; v < voices; ++v) {
            level[v] += increment[v];
            if (static_cast<int8_t>(rhythms[v].Mark(s)) <= 0) {
                continue;
            }
            const uint8_t status = NoteOn(rhythms[v].Channel());
            const uint8_t pitch = melodies[v].Pitch(s);
            const uint8_t velocity = static_cast<uint8_t>(static_cast<int>(level[v]) & 0xFF);
            WriteVarLen(out, first ? pending : 0);
            if (first) {
                pending = 0;
                first = false;
            }
            if (s > 0) {
                WriteEvent(out, status, melodies[v].LastNote(), 0);
                WriteVarLen(out, 0);
            }
            WriteEvent(out, status, pitch, velocity);
            melodies[v].SetLastNote(pitch);
        }
        pending += kTicksPerStep;
    }

    for (size_t v = 0; v < voices; ++v) {
        WriteVarLen(out, v == 0 ? pending : 0);
        WriteEvent(out, NoteOn(rhythms[v].Channel()), melodies[v].LastNote(), 0);
    }
    Append(out, kEndOfTrack);

    WriteLength(out, start + kTrackLengthOffset,
                static_cast<uint32_t>(out.size() - start - kTrackStart));
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
