// Rendering from malformed pattern files through the MIDI writer: whatever the
// patterns, choices and settings, every file written is a song of the
// writer's layout (so it plays and can be joined), also on the second write,
// which ends the notes of the first.
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzEntry.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "render/SongLayout.h"

TONTOKO_FUZZ_ENTRY(FuzzRender) {
    fuzz::Input input(data, size);
    const uint32_t seed = input.Long();
    const uint8_t options = input.Byte();
    const uint8_t tempo = input.Byte();
    const uint8_t programs = input.Byte();
    const int accChoice = static_cast<int>(input.Byte() % 12) - 1;  // -1..10: some outside
    const int drumChoice = static_cast<int>(input.Byte() % 12) - 1;
    const size_t accSize = input.Word();
    const auto accBytes = input.Take(accSize);
    const auto drumBytes = input.Rest();

    tontoko::PatternLibrary library;
    library.acc = tontoko::ReadAccPatterns(
        std::string_view(reinterpret_cast<const char*>(accBytes.data()), accBytes.size()));
    library.drums = tontoko::ReadDrumPatterns(
        std::string_view(reinterpret_cast<const char*>(drumBytes.data()), drumBytes.size()));

    tontoko::Song song(seed);
    tontoko::GenerateProgression(song, tontoko::FirstChord::Random, 0);
    if (options & 0x01) {
        tontoko::GenerateMelody(song);
    }
    tontoko::RenderSong(song, library,
                        tontoko::RenderChoice{(options & 0x02) != 0, accChoice, drumChoice});
    tontoko::SStandardMidi writer;
    writer.SetInterval((options >> 2) % 5);
    tontoko::SoundSettings settings;
    settings.fade = static_cast<tontoko::FadeMode>((options >> 5) % 3);
    settings.bassProgram = programs;
    settings.accProgram = static_cast<uint8_t>(programs * 3);
    settings.melodyProgram = static_cast<uint8_t>(programs * 7);
    settings.drumSetProgram = static_cast<uint8_t>(programs ^ 0x55);
    const int steps = (options & 0x80) ? static_cast<int>(seed % 65) : tontoko::kSongSteps;
    for (int write = 0; write < 2; ++write) {
        std::vector<uint8_t> bytes;
        writer.Compose(bytes, song.rhythms, song.melodies, steps, tempo, settings);
        TONTOKO_FUZZ_CHECK(tontoko::SongLayoutProblem(bytes).empty(),
                           "the writer made a file outside its layout");
    }
    return 0;
}
