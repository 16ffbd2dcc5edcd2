#include "SongFiles.h"

#include <fstream>
#include <iterator>

#include "engine/Song.h"
#include "render/SStandardMidi.h"
#include "render/SoundSettings.h"

std::vector<uint8_t> WrittenSong(uint8_t tempo, uint8_t program, int interval) {
    tontoko::Song song(1);
    for (int step = 0; step < tontoko::kSongSteps; step += 4) {
        song.rhythms[0].SetMark(step, 1);
        song.melodies[0].SetPitch(step, 36 + step / 4);
    }
    for (int step = 0; step < tontoko::kSongSteps; step += 8) {
        song.MelodyRhythm().SetMark(step, 1);
        song.MelodyPitches().SetPitch(step, 72);
    }
    tontoko::SoundSettings settings;
    settings.bassProgram = program;
    tontoko::SStandardMidi writer;
    writer.SetInterval(interval);
    std::vector<uint8_t> out;
    writer.Compose(out, song.rhythms, song.melodies, tontoko::kSongSteps, tempo, settings);
    return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

uint32_t TrackLengthField(const std::vector<uint8_t>& bytes) {
    return (uint32_t(bytes[18]) << 24) | (uint32_t(bytes[19]) << 16) | (uint32_t(bytes[20]) << 8) |
           uint32_t(bytes[21]);
}
