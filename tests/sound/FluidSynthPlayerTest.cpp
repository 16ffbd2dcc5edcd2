// The FluidSynth media player on a machine without a sound card: FluidSynth's
// "file" driver stands in for the device (it plays in real time into a file).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <thread>
#include <vector>

#include "sound/FluidSynthPlayer.h"
#include "sound/SoundFont.h"
#include "sound/SoundService.h"
#include "tests/sound/TestMidiFile.h"
#include "tests/support/TempDir.h"

using namespace tontoko;
using tontoko::test::WriteMidi;
using Clock = std::chrono::steady_clock;

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "player-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until `done` or the timeout; returns `done()`.
template <class Pred>
bool SpinUntil(Pred done, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (!done() && Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    QCoreApplication::processEvents();
    return done();
}

// Largest absolute 16-bit sample of a raw stereo file.
int RawPeak(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    int peak = 0;
    int16_t sample = 0;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

class FluidSynthPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        if (!FindSoundFont()) {
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        }
    }
    FluidSynthPlayer::Options FileDriver() const {
        FluidSynthPlayer::Options options;
        options.audioDriver = "file";
        options.audioFile = dir.File("out.raw");
        return options;
    }
    TempDir dir;
};

}  // namespace

TEST_F(FluidSynthPlayerTest, PlaysToTheEndAndNotifiesOnTheGuiThreadOnceTheNotesHaveDied) {
    WriteMidi(dir.File("short.mid"), 96);
    FluidSynthPlayer player(FileDriver());
    int notified = 0;
    bool onGuiThread = false;
    player.SetNotify([&] {
        ++notified;
        onGuiThread = QThread::currentThread() == App().thread();
    });
    player.SetFileName(dir.File("short.mid"));

    // Twice: the second playback reuses the loaded synthesizer.
    for (int round = 1; round <= 2; ++round) {
        player.Open();
        ASSERT_TRUE(player.IsOpen());
        const auto start = Clock::now();
        player.Play();
        ASSERT_TRUE(SpinUntil([&] { return notified == round; }, std::chrono::seconds(10)))
            << "round " << round;
        const auto elapsed = Clock::now() - start;
        EXPECT_TRUE(onGuiThread);
        // After the quarter-second note and its release (about 1.2 s here),
        // well before FluidSynth's own end two seconds later still.
        EXPECT_GE(elapsed, std::chrono::milliseconds(250));
        EXPECT_LT(elapsed, std::chrono::milliseconds(2500));
        player.Close();
        EXPECT_FALSE(player.IsOpen());
        SpinUntil([] { return false; }, std::chrono::milliseconds(50));
        EXPECT_EQ(notified, round) << "Close after the end must not notify again";
        EXPECT_GT(RawPeak(dir.File("out.raw")), 1000) << "the note was heard";
    }
}

TEST_F(FluidSynthPlayerTest, StopAndCloseCutThePlaybackShortAndNotifyOnce) {
    WriteMidi(dir.File("long.mid"), 96 * 40);  // ten seconds
    FluidSynthPlayer player(FileDriver());
    int notified = 0;
    player.SetNotify([&] { ++notified; });
    player.SetFileName(dir.File("long.mid"));
    player.Open();
    player.Play();
    SpinUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(notified, 0);
    const auto stopAt = Clock::now();
    player.Stop();
    ASSERT_TRUE(SpinUntil([&] { return notified == 1; }, std::chrono::seconds(2)));
    EXPECT_LT(Clock::now() - stopAt, std::chrono::milliseconds(500));
    player.Stop();
    player.Close();
    SpinUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(notified, 1);

    // Closing while playing is a cut too.
    player.Open();
    player.Play();
    SpinUntil([] { return false; }, std::chrono::milliseconds(100));
    player.Close();
    ASSERT_TRUE(SpinUntil([&] { return notified == 2; }, std::chrono::seconds(2)));
}

TEST_F(FluidSynthPlayerTest, FailuresAreClearErrors) {
    FluidSynthPlayer player(FileDriver());
    player.SetFileName(dir.File("absent.mid"));
    EXPECT_THROW(player.Play(), PlayerError);  // not open
    try {
        player.Open();
        FAIL() << "a missing file must not open";
    } catch (const PlayerError& error) {
        EXPECT_NE(std::string(error.what()).find("absent.mid"), std::string::npos);
    }
    EXPECT_FALSE(player.IsOpen());

    std::ofstream(dir.File("text.mid")) << "not a MIDI file";
    player.SetFileName(dir.File("text.mid"));
    EXPECT_THROW(player.Open(), PlayerError);

    // Once the cause is gone the same player works.
    WriteMidi(dir.File("ok.mid"), 24);
    player.SetFileName(dir.File("ok.mid"));
    EXPECT_NO_THROW(player.Open());
    EXPECT_NO_THROW(player.Play());
    player.Close();
}

TEST_F(FluidSynthPlayerTest, FileThePlayerCannotLoadStillEnds) {
    // A valid header over a track that runs past the end of the file.
    const char bytes[] = "MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\x0F\xFF\xFF\0\x90\x3C";
    std::ofstream(dir.File("broken.mid"), std::ios::binary).write(bytes, sizeof bytes - 1);
    FluidSynthPlayer player(FileDriver());
    int notified = 0;
    player.SetNotify([&] { ++notified; });
    player.SetFileName(dir.File("broken.mid"));
    try {
        player.Open();
        player.Play();
    } catch (const PlayerError&) {
        return;  // refused at once: as good
    }
    // Otherwise the playback must still come to an end, or Play stays dead.
    EXPECT_TRUE(SpinUntil([&] { return notified == 1; }, std::chrono::seconds(3)));
}

TEST_F(FluidSynthPlayerTest, NoSoundFontFoundIsReportedAsSuch) {
    setenv("TONTOKO_SOUNDFONT", dir.File("missing.sf2").c_str(), 1);
    const std::vector<std::string> candidates = SoundFontCandidates();
    unsetenv("TONTOKO_SOUNDFONT");
    ASSERT_FALSE(candidates.empty());
    EXPECT_EQ(candidates.front(), dir.File("missing.sf2"));

    // The variable names a missing file and nothing else is installed.
    FluidSynthPlayer::Options options = FileDriver();
    options.soundFontCandidates = std::vector<std::string>{candidates.front(), dir.File("x.sf2")};
    FluidSynthPlayer player(options);
    WriteMidi(dir.File("ok.mid"), 24);
    player.SetFileName(dir.File("ok.mid"));
    try {
        player.Open();
        FAIL() << "opened without a SoundFont";
    } catch (const PlayerError& error) {
        EXPECT_EQ(error.Kind(), PlayerFailure::NoSoundFont);
        EXPECT_NE(std::string(error.what()).find("No SoundFont found"), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(player.IsOpen());
}

TEST_F(FluidSynthPlayerTest, NoAudioDeviceIsReportedAsSuch) {
    FluidSynthPlayer::Options options;
    options.audioDriver = "alsa";
    FluidSynthPlayer player(options);
    WriteMidi(dir.File("ok.mid"), 24);
    player.SetFileName(dir.File("ok.mid"));
    try {
        player.Open();
        player.Close();
        GTEST_SKIP() << "this machine has a sound device";
    } catch (const PlayerError& error) {
        EXPECT_EQ(error.Kind(), PlayerFailure::NoDevice);
        EXPECT_NE(std::string(error.what()).find("No audio device"), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(player.IsOpen());
    EXPECT_THROW(player.Play(), PlayerError);
}

TEST_F(FluidSynthPlayerTest, PreloadLoadsBehindTheCallerAndOpenThenNeedNotWait) {
    FluidSynthPlayer player(FileDriver());
    const auto asked = Clock::now();
    player.Preload();
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(100)) << "Preload returns at once";
    // An edited note asks without waiting: nothing sounds before the load.
    const bool early =
        player.Sound({{0, LiveEvent::Kind::NoteOn, kAuditionChannel, 60, 100}}, false);
    // (Loading a SoundFont takes far longer than this one call.)
    EXPECT_FALSE(early);
    ASSERT_TRUE(SpinUntil([&] { return player.Service().Loaded(); }, std::chrono::seconds(60)));
    WriteMidi(dir.File("ok.mid"), 24);
    player.SetFileName(dir.File("ok.mid"));
    const auto open = Clock::now();
    player.Open();
    EXPECT_LT(Clock::now() - open, std::chrono::milliseconds(500)) << "Open waited for a load";
    player.Play();
    EXPECT_FALSE(player.Sound({{0, LiveEvent::Kind::NoteOn, kAuditionChannel, 60, 100}}, true))
        << "nothing over a song";
    player.Close();
    EXPECT_TRUE(player.Sound({{0, LiveEvent::Kind::NoteOn, kAuditionChannel, 60, 100}}, true));
}

TEST_F(FluidSynthPlayerTest, ASoundThatWaitsReportsAMissingDevice) {
    FluidSynthPlayer::Options options;
    options.audioDriver = "no-such-driver";
    FluidSynthPlayer player(options);
    try {
        player.Sound({{0, LiveEvent::Kind::NoteOn, kAuditionChannel, 60, 100}}, true);
        FAIL() << "sounded without a device";
    } catch (const PlayerError& error) {
        EXPECT_EQ(error.Kind(), PlayerFailure::NoDevice);
        EXPECT_NE(std::string(error.what()).find("no-such-driver"), std::string::npos)
            << error.what();
    }
    // Without waiting: silently nothing.
    EXPECT_FALSE(player.Sound({{0, LiveEvent::Kind::NoteOn, kAuditionChannel, 60, 100}}, false));
}
