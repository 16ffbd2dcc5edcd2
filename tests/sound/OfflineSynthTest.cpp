// Offline synthesis through FluidSynth into WAV, FLAC and Ogg Vorbis files
// written with libsndfile: a composed song becomes audible audio that ends
// with its last release, much faster than real time; failures leave existing
// files alone; the SoundFont asked for is never silently replaced.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "sound/OfflineSynth.h"
#include "sound/SoundFont.h"
#include "tests/sound/ReadAudio.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

using namespace tontoko;
using tontoko::test::AudioData;
using tontoko::test::ReadAudio;

namespace {

// A song composed with a fixed seed as the window composes it.
std::vector<uint8_t> ComposeSong(uint32_t seed = 20240601, int tempo = 120) {
    PatternLibrary library;
    const PatternLoadResult loaded = LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
    EXPECT_TRUE(loaded.accFileOpened && loaded.drumFileOpened);
    Song song(seed);
    ApplyMelodyStyle(song, MelodyStyle::MoreQuarters);
    EXPECT_TRUE(GenerateProgression(song, FirstChord::One, 0).generated);
    GenerateMelody(song);
    RenderSong(song, library, RenderChoice{});
    SStandardMidi writer;
    std::vector<uint8_t> bytes;
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, uint8_t(tempo), SoundSettings{});
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class OfflineSynthTest : public ::testing::Test {
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

TEST_F(OfflineSynthTest, ComposedSongIsAudibleInEveryFormatAndEndsWithItsRelease) {
    const std::vector<uint8_t> song = ComposeSong();
    const auto start = std::chrono::steady_clock::now();
    const ExportResult result = ExportMidiToAudio(song, dir.File("song.wav"), soundFont);
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(result.ok) << result.error;

    const AudioData wav = ReadAudio(dir.File("song.wav"));
    ASSERT_TRUE(wav.opened);
    EXPECT_EQ(wav.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(wav.channels, 2);
    ASSERT_EQ(wav.rate, 44100);
    // Four measures at 120 beats per minute are 8 s; the release adds a little,
    // FluidSynth's own end would add two more seconds of silence.
    EXPECT_GE(wav.Seconds(), 8.0);
    EXPECT_LT(wav.Seconds(), 12.0);
    EXPECT_NEAR(result.seconds, wav.Seconds(), 0.01);
    EXPECT_LT(took, wav.Seconds() / 2) << "not faster than real time";
    EXPECT_GT(wav.Peak(), 0.1f);
    EXPECT_GT(wav.Rms(), 0.01);
    // The music lasts to the end of the 8 s ...
    EXPECT_GT(wav.Peak(std::size_t(7.5 * 44100) * 2, std::size_t(8.0 * 44100) * 2), 0.03f);
    // ... and the file ends where the sound does, where FluidSynth alone
    // leaves half a second of silence, or two and a half seconds at its end.
    EXPECT_LT(wav.SilentTail(), 0.01);

    // FLAC holds the same 16-bit samples; Ogg Vorbis the same length of sound.
    ASSERT_TRUE(ExportMidiToAudio(song, dir.File("song.flac"), soundFont).ok);
    ASSERT_TRUE(ExportMidiToAudio(song, dir.File("song.ogg"), soundFont).ok);
    const AudioData flac = ReadAudio(dir.File("song.flac"));
    EXPECT_EQ(flac.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
    // (libsndfile rounds the last bit of the two formats its own ways.)
    EXPECT_LE(test::MaxDifference(flac.samples, wav.samples), 1.01 * test::kSampleStep);
    const AudioData ogg = ReadAudio(dir.File("song.ogg"));
    EXPECT_EQ(ogg.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    EXPECT_EQ(ogg.rate, 44100);
    EXPECT_EQ(ogg.channels, 2);
    EXPECT_NEAR(ogg.Seconds(), wav.Seconds(), 0.01);
    EXPECT_NEAR(ogg.Rms(), wav.Rms(), wav.Rms() * 0.1);
}

// A note-on without its note-off, on an organ that never decays.
const std::vector<uint8_t> kHangingNote = {
    'M', 'T', 'h', 'd', 0,  0,    0,    6,    0,    0,    0,    1,    0,    0x60, 'M',  'T',  'r',
    'k', 0,   0,   0,   12, 0x00, 0xC0, 0x13, 0x00, 0x90, 0x3C, 0x64, 0x60, 0xFF, 0x2F, 0x00, 0x00};

TEST_F(OfflineSynthTest, OneSynthesizerStartsAfreshEveryTime) {
    OfflineSynth synth(LookUpSoundFont({soundFont}, {}));
    synth.StartLoading();
    const std::vector<uint8_t> song = ComposeSong(1);
    std::vector<float> a, hanging, c;
    std::string error;
    ASSERT_TRUE(synth.SynthesizePcm(song, a, error)) << error;
    // Cut while the organ still sounds, at full strength.
    ASSERT_TRUE(synth.SynthesizePcm(kHangingNote, hanging, error, 1.0)) << error;
    ASSERT_GT(test::MaxDifference({hanging.end() - 200, hanging.end()}, std::vector<float>(200)),
              0.01);
    ASSERT_TRUE(synth.SynthesizePcm(song, c, error)) << error;
    // Nothing of it is left when the next one starts: the song's first block
    // (before its first note) is silent again ...
    EXPECT_LT(test::MaxDifference({c.begin(), c.begin() + 2 * 64}, std::vector<float>(2 * 64)),
              1e-6);
    // ... and the song sounds as before: about the same length, the same
    // loudness from one 50 ms to the next (FluidSynth's chorus phase and its
    // millisecond timing are not restarted by a reset, so the samples differ).
    ASSERT_NEAR(double(a.size()), double(c.size()), 2 * 1024);
    auto envelope = [](const std::vector<float>& pcm) {
        std::vector<double> rms;
        constexpr std::size_t kWindow = 2 * 2205;
        for (std::size_t at = 0; at + kWindow <= pcm.size(); at += kWindow) {
            double sum = 0;
            for (std::size_t i = at; i < at + kWindow; ++i) {
                sum += double(pcm[i]) * pcm[i];
            }
            rms.push_back(std::sqrt(sum / kWindow));
        }
        return rms;
    };
    const std::vector<double> ea = envelope(a), ec = envelope(c);
    double off = 0, total = 0;
    for (std::size_t i = 0; i < std::min(ea.size(), ec.size()); ++i) {
        off += std::fabs(ea[i] - ec[i]);
        total += ea[i];
    }
    EXPECT_LT(off / total, 0.1);
    // A fresh synthesizer makes exactly what the first synthesis did.
    std::vector<float> fresh;
    OfflineSynth another(LookUpSoundFont({soundFont}, {}));
    ASSERT_TRUE(another.SynthesizePcm(song, fresh, error)) << error;
    EXPECT_EQ(a, fresh);
}

TEST_F(OfflineSynthTest, HangingNoteIsCutAtTheCap) {
    WriteBytes(dir.File("hang.mid"), kHangingNote);
    const ExportResult result =
        ExportMidiToWav(dir.File("hang.mid"), dir.File("hang.wav"), soundFont, 3.0);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_NEAR(result.seconds, 3.0, 0.01);
    EXPECT_NEAR(ReadAudio(dir.File("hang.wav")).Seconds(), 3.0, 0.01);
}

TEST_F(OfflineSynthTest, BadInputsAreReportedNotSynthesized) {
    ExportResult result = ExportMidiToWav(dir.File("none.mid"), dir.File("a.wav"), soundFont);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("none.mid"), std::string::npos) << result.error;

    WriteBytes(dir.File("text.mid"), {'h', 'e', 'l', 'l', 'o'});
    result = ExportMidiToWav(dir.File("text.mid"), dir.File("b.wav"), soundFont);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("text.mid"), std::string::npos) << result.error;

    const std::vector<uint8_t> song = ComposeSong();
    WriteBytes(dir.File("song.mid"), song);
    result = ExportMidiToWav(dir.File("song.mid"), dir.File("c.wav"), dir.File("none.sf2"));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("none.sf2"), std::string::npos) << result.error;

    result = ExportMidiToWav(dir.File("song.mid"), dir.File("no/such/folder/d.wav"), soundFont);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("d.wav"), std::string::npos) << result.error;

    // The format comes from the extension; --wav's WAV from any name.
    result = ExportMidiToAudio(song, dir.File("song.mp3"), soundFont);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("song.mp3"), std::string::npos) << result.error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("song.mp3")));
    ASSERT_TRUE(ExportMidiToWav(dir.File("song.mid"), dir.File("song.audio"), soundFont).ok);
    EXPECT_EQ(ReadAudio(dir.File("song.audio")).format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_TRUE(ExportMidiFileToAudio(dir.File("song.mid"), dir.File("e.flac"), soundFont).ok);
    EXPECT_EQ(ReadAudio(dir.File("e.flac")).format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);

    // A failed export leaves an existing file of that name as it was.
    WriteBytes(dir.File("keep.wav"), {'k', 'e', 'e', 'p'});
    EXPECT_FALSE(ExportMidiToWav(dir.File("text.mid"), dir.File("keep.wav"), soundFont).ok);
    EXPECT_FALSE(ExportMidiToAudio({'M', 'T', 'h', 'd'}, dir.File("keep.wav"), soundFont).ok);
    EXPECT_EQ(ReadText(dir.File("keep.wav")), "keep");
    std::filesystem::create_directory(dir.File("folder.wav"));
    EXPECT_FALSE(ExportMidiToAudio(song, dir.File("folder.wav"), soundFont).ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.wav")));
    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

// The export writes the file on a thread of its own while the next samples
// are synthesized: the file is the one the samples written at once make (in
// the same pieces, which the Vorbis encoder's start depends on, and with the
// silent end dropped as it becomes known), for a song of many pieces and for
// a note cut at the cap in the middle of one. (An Ogg file's stream number
// is drawn anew each time: its decoded samples are compared.)
TEST_F(OfflineSynthTest, ExportWritesTheFileTheSynthesizedSamplesMake) {
    const std::vector<uint8_t> song = ComposeSong(5);
    for (const auto& [midi, cap] : {std::pair{song, 120.0}, std::pair{kHangingNote, 1.3}}) {
        std::vector<float> pcm;
        std::string error;
        ASSERT_TRUE(
            OfflineSynth(LookUpSoundFont({soundFont}, {})).SynthesizePcm(midi, pcm, error, cap))
            << error;
        for (const char* extension : {".wav", ".ogg"}) {
            const std::string atOnce = dir.File(std::string("at-once") + extension);
            const std::string streamed = dir.File(std::string("streamed") + extension);
            ASSERT_TRUE(WriteAudioFile(atOnce, *AudioFormatOf(atOnce), pcm, 44100).ok);
            OfflineSynth exporter(LookUpSoundFont({soundFont}, {}));
            const ExportResult result = exporter.ExportToFile(midi, streamed, std::nullopt, cap);
            ASSERT_TRUE(result.ok) << result.error;
            EXPECT_EQ(result.seconds, double(pcm.size() / 2) / 44100);
            if (std::string(extension) == ".wav") {
                EXPECT_TRUE(ReadText(streamed) == ReadText(atOnce)) << "cap " << cap;
            } else {
                const AudioData ours = ReadAudio(streamed);
                EXPECT_GT(ours.Seconds(), 1.0);
                EXPECT_TRUE(ours.samples == ReadAudio(atOnce).samples) << "cap " << cap;
            }
        }
    }
}

// A write that fails while the synthesis goes on (a full disk) ends the
// export with the writer's error, leaves the existing file and no temporary
// behind, and the synthesizer takes the next export.
TEST_F(OfflineSynthTest, AFailedWriteEndsTheExportAndTheNextOneWorks) {
    const std::vector<uint8_t> song = ComposeSong();
    OfflineSynth synth(LookUpSoundFont({soundFont}, {}));
    WriteBytes(dir.File("keep.wav"), {'k', 'e', 'e', 'p'});
    ExportResult failed;
    {
        const FileSizeLimit fullDisk(64 * 1024);
        ASSERT_TRUE(fullDisk.Active());
        failed = synth.ExportToFile(song, dir.File("keep.wav"));
    }
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("keep.wav"), std::string::npos) << failed.error;
    EXPECT_EQ(ReadText(dir.File("keep.wav")), "keep");
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
    const ExportResult next = synth.ExportToFile(song, dir.File("keep.wav"));
    ASSERT_TRUE(next.ok) << next.error;
    EXPECT_NEAR(ReadAudio(dir.File("keep.wav")).Seconds(), next.seconds, 0.001);
}

TEST(SoundFontSearch, FirstUsableCandidateWinsAndTheVariableIsNeverReplaced) {
    TempDir dir;
    // The header FluidSynth recognises a SoundFont by.
    auto fakeSoundFont = [&](const std::string& name) {
        static const char header[] = "RIFF\x04\0\0\0sfbk";
        std::ofstream(dir.File(name), std::ios::binary).write(header, sizeof header - 1);
        return dir.File(name);
    };
    const std::string b = fakeSoundFont("b.sf2");
    const std::string c = fakeSoundFont("c.sf2");
    std::ofstream(dir.File("text.sf2")) << "not a SoundFont";
    EXPECT_EQ(FirstExistingFile({dir.File("a.sf2"), b, c}), b);
    EXPECT_EQ(FirstExistingFile({dir.File("a.sf2"), dir.Path().string()}), std::nullopt)
        << "a folder is not a SoundFont";
    // Without a request: the first existing SoundFont, skipping other files.
    EXPECT_EQ(LookUpSoundFont({dir.File("a.sf2"), dir.File("text.sf2"), c}, {}).path, c);
    const SoundFontLookup none = LookUpSoundFont({dir.File("a.sf2")}, {});
    EXPECT_FALSE(none.path);
    EXPECT_NE(none.error.find("No SoundFont found"), std::string::npos);

    setenv("TONTOKO_SOUNDFONT", c.c_str(), 1);
    EXPECT_EQ(FindSoundFont(), c);
    const std::vector<std::string> candidates = SoundFontCandidates();
    ASSERT_GE(candidates.size(), 3u);
    EXPECT_EQ(candidates[0], c);
    EXPECT_EQ(candidates[1], "/usr/share/sounds/sf2/FluidR3_GM.sf2");
    EXPECT_EQ(candidates[2], "/usr/share/sounds/sf2/TimGM6mb.sf2");

    // Set but missing, or not a SoundFont: an error naming it, never another.
    for (const std::string& bad : {dir.File("missing.sf2"), dir.File("text.sf2")}) {
        setenv("TONTOKO_SOUNDFONT", bad.c_str(), 1);
        const SoundFontLookup lookup = LookUpSoundFont();
        EXPECT_FALSE(lookup.path) << *lookup.path;
        EXPECT_NE(lookup.error.find(bad), std::string::npos) << lookup.error;
        EXPECT_EQ(FindSoundFont(), std::nullopt);
    }
    unsetenv("TONTOKO_SOUNDFONT");
}
