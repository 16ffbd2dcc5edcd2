#pragma once

// Songs written by the program's own MIDI writer, for joining. Kept apart from
// the Qt headers of the dialog tests.

#include <cstdint>
#include <string>
#include <vector>

// A song of 64 steps at `tempo` with a bass note every beat and a melody note
// every half measure; `program` is the bass instrument, so each song can be
// told apart in a join.
std::vector<uint8_t> WrittenSong(uint8_t tempo, uint8_t program, int interval = 0);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
uint32_t TrackLengthField(const std::vector<uint8_t>& bytes);
