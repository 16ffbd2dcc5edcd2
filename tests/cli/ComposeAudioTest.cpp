// tontoko-compose's sound: --finish, audio files by their extension, and --play
// on a private sound server, heard and stopped by Ctrl+C.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <chrono>
#include <filesystem>

#include "ComposeRun.h"
#include "engine/Finish.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "tests/sound/ReadAudio.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TempDir.h"

namespace {

using compose_run::kData;
using compose_run::ReadText;
using compose_run::RunComposer;
using compose_run::RunOptions;
using compose_run::RunResult;
using namespace tontoko;

RunResult Compose(const TempDir& cwd, std::vector<std::string> args) {
    args.insert(args.begin(), {"--data", kData});
    return RunComposer(cwd, std::move(args));
}

// The song the library makes with the composer's defaults, finished.
std::string FinishedSong(uint32_t seed) {
    PatternLibrary library;
    LoadPatterns(library, kData);
    Song song(seed);
    ApplyMelodyStyle(song, MelodyStyle::MoreQuarters);
    GenerateProgression(song, FirstChord::One, 0);
    FinishProgression(song);
    GenerateMelody(song);
    FinishMelody(song);
    RenderSong(song, library, RenderChoice{});
    std::vector<uint8_t> bytes;
    SStandardMidi().Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, SoundSettings{});
    return std::string(bytes.begin(), bytes.end());
}

TEST(ComposeFinish, WritesAndPrintsTheFinishedSong) {
    TempDir dir;
    for (uint32_t seed : {1u, 42u, 20261208u}) {
        const RunResult run =
            Compose(dir, {"--seed", std::to_string(seed), "--finish", "-o", "f.mid"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadText(dir.Path() / "f.mid"), FinishedSong(seed)) << "seed " << seed;
        // The printout shows the finished progression: home in measure 4.
        EXPECT_NE(run.out.find("4小節目  和音 Ⅰ Ⅰ"), std::string::npos) << run.out;
    }
    // Without the option the song is the plain one.
    ASSERT_EQ(Compose(dir, {"--seed", "1", "-o", "plain.mid"}).status, 0);
    EXPECT_NE(ReadText(dir.Path() / "plain.mid"), FinishedSong(1));
}

TEST(ComposeAudio, EachExtensionGetsItsFormatAndTheSameSound) {
    TempDir dir;
    const RunResult run =
        Compose(dir, {"--seed", "7", "-o", "s.mid", "--audio", "s.flac", "--wav", "s.wav"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Compose(dir, {"--seed", "7", "-o", "t.mid", "--audio", "t.OGG"}).status, 0);
    const test::AudioData wav = test::ReadAudio(dir.File("s.wav"));
    const test::AudioData flac = test::ReadAudio(dir.File("s.flac"));
    const test::AudioData ogg = test::ReadAudio(dir.File("t.OGG"));
    ASSERT_TRUE(wav.opened && flac.opened && ogg.opened);
    EXPECT_EQ(wav.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(flac.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
    EXPECT_EQ(ogg.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    for (const test::AudioData* audio : {&wav, &flac, &ogg}) {
        EXPECT_EQ(audio->rate, 44100);
        EXPECT_EQ(audio->channels, 2);
        // Four measures at 120 beats a minute are 8 s, then the release; no
        // trailing silence.
        EXPECT_GT(audio->Seconds(), 8.0);
        EXPECT_LT(audio->Seconds(), 12.0);
        EXPECT_LT(audio->SilentTail(), 0.05);
        EXPECT_GT(audio->Rms(), 0.01);
    }
    // The same song in two lossless formats: the same samples.
    EXPECT_EQ(wav.Frames(), flac.Frames());
}

TEST(ComposeAudio, RefusalsWriteNothing) {
    TempDir dir;
    RunResult run = Compose(dir, {"-o", "x.wav", "--audio", "x.wav"});
    EXPECT_EQ(run.status, 2) << run.err;
    run = Compose(dir, {"-o", "x.mid", "--audio", "x.mp3"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--audio"), std::string::npos) << run.err;

    RunOptions options;
    options.cwd = dir.Path();
    options.environment = {"TONTOKO_SOUNDFONT=" + dir.File("missing.sf2")};
    for (const char* option : {"--audio", "--play"}) {
        std::vector<std::string> args{"--data", kData, "-o", "x.mid", option};
        if (std::string(option) == "--audio") {
            args.push_back("x.ogg");
        }
        run = RunComposer(args, options);
        EXPECT_EQ(run.status, 1) << option;
        // The SoundFont asked for is named, and not replaced by another.
        EXPECT_NE(run.err.find(dir.File("missing.sf2")), std::string::npos) << run.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

class ComposePlay : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.Ready()) {
            GTEST_SKIP() << "the private sound server did not start";
        }
        ASSERT_TRUE(server.StartRecording());
    }
    test::PulseServer server;
    TempDir dir;
};

TEST_F(ComposePlay, TheSongIsHeardToItsEnd) {
    test::PulseEnvironment environment(server);
    const long long from = server.RecordedFrames();
    const RunResult run = Compose(dir, {"--seed", "3", "--tempo", "240", "-o", "p.mid", "--play"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "p.mid"));
    // Heard: some 10 ms window well above the server's silence.
    const std::vector<double> rms = test::PulseServer::WindowRms(server.Samples(from));
    const double loudest = rms.empty() ? 0.0 : *std::max_element(rms.begin(), rms.end());
    EXPECT_GT(loudest, 300.0);
    // The whole song: four measures at 240 beats a minute are 4 s.
    const double seconds = double(server.RecordedFrames() - from) / test::PulseServer::kRate;
    EXPECT_GT(seconds, 3.5);
}

TEST_F(ComposePlay, CtrlCStopsThePlaybackCleanly) {
    test::PulseEnvironment environment(server);
    const long long from = server.RecordedFrames();
    RunOptions options;
    options.cwd = dir.Path();
    // Ctrl+C once the song is heard.
    options.when = [&] {
        return server.WaitForSound(from, 300.0, std::chrono::milliseconds(1)).has_value();
    };
    options.signal = SIGINT;
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = RunComposer(
        {"--data", kData, "--seed", "3", "--tempo", "40", "-o", "p.mid", "--play"}, options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(run.signal, 0) << "ended by the signal instead of stopping";
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(run.err.find("stopped"), std::string::npos) << run.err;
    // A song at 40 beats a minute lasts 24 s: it was cut short.
    EXPECT_LT(seconds, 15.0);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "p.mid"));
    EXPECT_TRUE(compose_run::Temporaries(dir.Path()).empty());
}

}  // namespace
