// Offline rendering through FluidSynth: a composed song becomes audible WAV
// audio that ends with its last release, much faster than real time.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/AudioRender.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "render/SoundFont.h"
#include "tests/support/TempDir.h"

using namespace tontoko;

namespace {

struct Wav {
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples;  // interleaved
    double Seconds() const { return double(samples.size()) / channels / rate; }
};

Wav ReadWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Wav wav;
    auto u16 = [&](std::size_t at) {
        return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
    };
    auto u32 = [&](std::size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return wav;
    }
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = u32(at + 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
            wav.channels = u16(at + 10);
            wav.rate = static_cast<int>(u32(at + 12));
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            const std::size_t count = std::min<std::size_t>(size, bytes.size() - at - 8) / 2;
            wav.samples.resize(count);
            std::memcpy(wav.samples.data(), bytes.data() + at + 8, count * 2);
        }
        at += 8 + size + (size & 1);
    }
    return wav;
}

// A song composed with a fixed seed as the window composes it, written to `path`.
void ComposeSong(const std::string& path) {
    PatternLibrary library;
    const PatternLoadResult loaded = LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
    ASSERT_TRUE(loaded.accFileOpened && loaded.drumFileOpened);
    Song song(20240601);
    ApplyMelodyStyle(song, MelodyStyle::MoreQuarters);
    ASSERT_TRUE(GenerateProgression(song, FirstChord::One, 0).generated);
    GenerateMelody(song);
    RenderSong(song, library, RenderChoice{});
    SStandardMidi writer;
    ASSERT_TRUE(writer.Write(path, song.rhythms, song.melodies, kSongSteps, 120, SoundSettings{}));
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class AudioRenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto found = FindSoundFont();
        if (!found) {
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        }
        soundFont = *found;
    }
    std::string soundFont;
    TempDir dir;
};

}  // namespace

TEST_F(AudioRenderTest, ComposedSongIsAudibleAndEndsWithItsRelease) {
    ComposeSong(dir.File("song.mid"));
    const auto start = std::chrono::steady_clock::now();
    const AudioRenderResult result =
        RenderMidiToWav(dir.File("song.mid"), dir.File("song.wav"), soundFont);
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(result.ok) << result.error;

    const Wav wav = ReadWav(dir.File("song.wav"));
    ASSERT_EQ(wav.channels, 2);
    ASSERT_EQ(wav.rate, 44100);
    // Four measures at 120 beats per minute are 8 s; the release adds a little,
    // FluidSynth's own end would add two more seconds of silence.
    EXPECT_GE(wav.Seconds(), 8.0);
    EXPECT_LT(wav.Seconds(), 12.0);
    EXPECT_NEAR(result.seconds, wav.Seconds(), 0.01);
    EXPECT_LT(took, wav.Seconds() / 2) << "not faster than real time";

    int peak = 0;
    double sumSquares = 0;
    for (int16_t s : wav.samples) {
        peak = std::max(peak, std::abs(int(s)));
        sumSquares += double(s) * s;
    }
    const double rms = std::sqrt(sumSquares / double(wav.samples.size()));
    EXPECT_GT(peak, 3000);
    EXPECT_GT(rms, 300.0);

    // The music lasts to the end of the 8 s ...
    const std::size_t frame8s = std::size_t(7.5 * 44100) * 2;
    int latePeak = 0;
    for (std::size_t i = frame8s; i < std::size_t(8.0 * 44100) * 2; ++i) {
        latePeak = std::max(latePeak, std::abs(int(wav.samples[i])));
    }
    EXPECT_GT(latePeak, 1000);
    // ... and the file ends where the sound does: no run of silence (within
    // one 16-bit step) after the release, where FluidSynth alone leaves half a
    // second, or two and a half seconds when it ends by itself.
    std::size_t silent = 0;
    for (auto it = wav.samples.rbegin(); it != wav.samples.rend() && std::abs(int(*it)) <= 1;
         ++it) {
        ++silent;
    }
    EXPECT_LT(double(silent) / 2 / 44100, 0.01);
}

TEST_F(AudioRenderTest, HangingNoteIsCutAtTheCap) {
    // A note-on without its note-off (and an organ that never decays).
    WriteBytes(dir.File("hang.mid"),
               {'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    0,   0,    1,
                0,    0x60, 'M',  'T',  'r',  'k',  0,    0,    0,    12,  0x00, 0xC0,
                0x13, 0x00, 0x90, 0x3C, 0x64, 0x60, 0xFF, 0x2F, 0x00, 0x00});
    const AudioRenderResult result =
        RenderMidiToWav(dir.File("hang.mid"), dir.File("hang.wav"), soundFont, 3.0);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_NEAR(result.seconds, 3.0, 0.01);
    EXPECT_NEAR(ReadWav(dir.File("hang.wav")).Seconds(), 3.0, 0.01);
}

TEST_F(AudioRenderTest, BadInputsAreReportedNotRendered) {
    AudioRenderResult result = RenderMidiToWav(dir.File("none.mid"), dir.File("a.wav"), soundFont);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("none.mid"), std::string::npos) << result.error;

    WriteBytes(dir.File("text.mid"), {'h', 'e', 'l', 'l', 'o'});
    result = RenderMidiToWav(dir.File("text.mid"), dir.File("b.wav"), soundFont);
    EXPECT_FALSE(result.ok);

    ComposeSong(dir.File("song.mid"));
    result = RenderMidiToWav(dir.File("song.mid"), dir.File("c.wav"), dir.File("none.sf2"));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("SoundFont"), std::string::npos) << result.error;

    result = RenderMidiToWav(dir.File("song.mid"), dir.File("no/such/folder/d.wav"), soundFont);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("d.wav"), std::string::npos) << result.error;

    // A failed render leaves an existing file of that name as it was.
    WriteBytes(dir.File("keep.wav"), {'k', 'e', 'e', 'p'});
    EXPECT_FALSE(RenderMidiToWav(dir.File("text.mid"), dir.File("keep.wav"), soundFont).ok);
    std::filesystem::create_directory(dir.File("folder.wav"));
    EXPECT_FALSE(RenderMidiToWav(dir.File("song.mid"), dir.File("folder.wav"), soundFont).ok);
    std::ifstream kept(dir.File("keep.wav"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
    EXPECT_FALSE(std::filesystem::exists(dir.File("folder.wav.part")));
}

TEST(SoundFontSearch, FirstExistingCandidateWinsAndTheVariableComesFirst) {
    TempDir dir;
    std::ofstream(dir.File("b.sf2")) << "x";
    std::ofstream(dir.File("c.sf2")) << "x";
    EXPECT_EQ(FirstExistingFile({dir.File("a.sf2"), dir.File("b.sf2"), dir.File("c.sf2")}),
              dir.File("b.sf2"));
    EXPECT_EQ(FirstExistingFile({dir.File("a.sf2"), dir.Path().string()}), std::nullopt)
        << "a folder is not a SoundFont";

    setenv("TONTOKO_SOUNDFONT", dir.File("c.sf2").c_str(), 1);
    EXPECT_EQ(FindSoundFont(), dir.File("c.sf2"));
    const std::vector<std::string> candidates = SoundFontCandidates();
    unsetenv("TONTOKO_SOUNDFONT");
    ASSERT_GE(candidates.size(), 3u);
    EXPECT_EQ(candidates[1], "/usr/share/sounds/sf2/FluidR3_GM.sf2");
    EXPECT_EQ(candidates[2], "/usr/share/sounds/sf2/TimGM6mb.sf2");
}
