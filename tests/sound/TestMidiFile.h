#pragma once

// A small MIDI file for the player tests, written byte by byte.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tontoko::test {

// A format-0 file at 240 beats per minute: GS reset, piano, one middle C held
// for `noteTicks` (96 = a quarter of a second).
inline void WriteMidi(const std::string& path, uint32_t noteTicks) {
    std::vector<uint8_t> track{0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xF0,
                               0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00,
                               0x41, 0xF7, 0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64};
    std::vector<uint8_t> delta;
    delta.push_back(noteTicks & 0x7F);
    for (noteTicks >>= 7; noteTicks; noteTicks >>= 7) {
        delta.insert(delta.begin(), 0x80 | (noteTicks & 0x7F));
    }
    track.insert(track.end(), delta.begin(), delta.end());
    for (uint8_t b : {0x90, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}) {
        track.push_back(b);
    }
    std::vector<uint8_t> file{'M', 'T', 'h', 'd', 0,    0,   0,   6,   0,
                              0,   0,   1,   0,   0x60, 'M', 'T', 'r', 'k'};
    const auto size = static_cast<uint32_t>(track.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.push_back(static_cast<uint8_t>(size >> shift));
    }
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

}  // namespace tontoko::test
