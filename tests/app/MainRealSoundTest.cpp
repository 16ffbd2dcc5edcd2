// The window's own player on a real sound server: a private PulseAudio daemon
// with a null sink whose monitor is recorded. What the window plays is heard
// at once, Stop silences it, the end cleans up; without a server the driver
// order starts with ALSA and a missing device is explained.
#include <QAction>
#include <QPushButton>

#include "../support/PulseServer.h"
#include "MainFixture.h"
#include "sound/AudioDriverChoice.h"
#include "sound/SoundFont.h"

namespace tontoko::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A 10 ms window louder than this is sound; the null sink's silence is 0.
constexpr double kHeard = 200.0;
constexpr double kSilent = 30.0;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class RealSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!FindSoundFont()) {
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        }
        const std::filesystem::path data = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";
        for (const char* name : {"AccPattern.dat", "DrumPattern.dat"}) {
            std::filesystem::copy_file(data / name, dir.Path() / name);
        }
    }

    std::unique_ptr<TSMain> CreateWindow() {
        Platform platform;
        platform.messages = &messages;
        platform.fileDialogs = &dialogs;
        platform.opener = &opener;
        platform.clock = [] { return 20260101u; };
        auto window = std::make_unique<TSMain>(platform);
        window->show();  // starts the background load
        return window;
    }

    void Trigger(TSMain& window, const char* name) {
        window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    bool TempExists() { return std::filesystem::exists(dir.Path() / "tmp.mid"); }

    TempDir dir{true};
    RecordingMessages messages;
    FakeFileDialogs dialogs;
    RecordingOpener opener;
};

TEST_F(RealSoundTest, PlayIsHeardStopSilencesAndTheEndCleansUp) {
    PulseServer server;
    ASSERT_TRUE(server.Ready()) << "pulseaudio did not start (packages pulseaudio, "
                                   "pulseaudio-utils)";
    PulseEnvironment environment(server);
    EXPECT_EQ(AudioDriverOrder().front(), "pulseaudio");
    ASSERT_TRUE(server.StartRecording());

    std::unique_ptr<TSMain> window = CreateWindow();
    // The background load ends with the output stream open on the server.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.PlaybackStreams() >= 1; }, 60000))
        << "the window's player never opened the PulseAudio output";

    // Heard soon after the click.
    long long from = server.RecordedFrames();
    const auto click = Clock::now();
    Trigger(*window, "TB_Play");
    const auto heard = server.WaitForSound(from, kHeard, milliseconds(3000));
    ASSERT_TRUE(heard) << "nothing was heard";
    EXPECT_LT(Ms(*heard - click), 150.0) << "Play heard after " << Ms(*heard - click) << " ms";
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text.toStdString();
    EXPECT_TRUE(TempExists());

    // Silent soon after Stop: the last loud window has arrived within 100 ms
    // (as for the start, measured by when the recording holds it).
    QTest::qWait(300);
    from = server.RecordedFrames();
    const auto stop = Clock::now();
    Trigger(*window, "TB_Stop");
    std::vector<std::pair<Clock::time_point, long long>> arrivals;
    while (Clock::now() < stop + milliseconds(600)) {
        arrivals.emplace_back(Clock::now(), server.RecordedFrames());
        std::this_thread::sleep_for(milliseconds(2));
    }
    const std::vector<double> afterStop = server.WindowRms(server.Samples(from));
    long long lastLoudEnd = from;
    for (std::size_t i = 0; i < afterStop.size(); ++i) {
        if (afterStop[i] > kSilent) {
            lastLoudEnd = from + static_cast<long long>(i + 1) * PulseServer::kRate / 100;
        }
    }
    auto silentAt = stop;
    for (const auto& [time, frames] : arrivals) {
        if (frames >= lastLoudEnd) {
            silentAt = time;
            break;
        }
    }
    EXPECT_LT(Ms(silentAt - stop), 100.0)
        << "still sounding " << Ms(silentAt - stop) << " ms after Stop";
    std::printf("Play heard after %.1f ms; silent %.1f ms after Stop\n", Ms(*heard - click),
                Ms(silentAt - stop));
    // The stopped playback's notification tidies up.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !TempExists(); }, 5000));

    // A short song played to its end: the notification comes, tmp.mid goes.
    window->findChild<QRadioButton*>(QStringLiteral("RB_TSelf"))->setChecked(true);
    auto* tempo = window->findChild<UpDown*>(QStringLiteral("UD_Tempo"));
    while (tempo->Position() < 240) {
        tempo->Press(true);
    }
    from = server.RecordedFrames();
    Trigger(*window, "TB_Play");
    ASSERT_TRUE(server.WaitForSound(from, kHeard, milliseconds(3000)));
    EXPECT_TRUE(TempExists());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !TempExists(); }, 30000)) << "the end never came";
    // Four measures at 240 beats per minute are 4 s; the end follows the
    // release (a cymbal rings for seconds).
    const double seconds = double(server.RecordedFrames() - from) / PulseServer::kRate;
    EXPECT_GT(seconds, 3.9);
    EXPECT_LT(seconds, 15.0);
    EXPECT_TRUE(messages.shown.empty());
    // And Play works again.
    from = server.RecordedFrames();
    Trigger(*window, "TB_Play");
    EXPECT_TRUE(server.WaitForSound(from, kHeard, milliseconds(3000)));
    Trigger(*window, "TB_Stop");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !TempExists(); }, 5000));
}

TEST_F(RealSoundTest, WithoutServerAlsaComesFirstAndNoDeviceIsExplained) {
    TempDir emptyRuntime;
    PulseEnvironment environment(emptyRuntime.Path());
    const std::vector<std::string> order = AudioDriverOrder();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), "alsa");
    EXPECT_EQ(std::count(order.begin(), order.end(), "pulseaudio"), 0);

    std::unique_ptr<TSMain> window = CreateWindow();
    Trigger(*window, "TB_Play");
    if (messages.shown.empty()) {
        Trigger(*window, "TB_Stop");
        GTEST_SKIP() << "this machine has a sound device without a sound server";
    }
    const ShownMessage& shown = messages.shown[0];
    EXPECT_EQ(shown.caption, QStringLiteral("Error"));
    EXPECT_TRUE(shown.text.startsWith(QString::fromUtf8("音を出す装置が使えない")))
        << shown.text.toStdString();
    EXPECT_TRUE(shown.text.contains(QString::fromUtf8("音声ファイルに書き出す")));
    // Then the technical detail: what each driver said.
    EXPECT_TRUE(shown.text.contains(QStringLiteral("alsa:"))) << shown.text.toStdString();
    EXPECT_FALSE(TempExists());
    // The playing flag is back to false: the next Play tries again.
    Trigger(*window, "TB_Play");
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_FALSE(TempExists());
}

}  // namespace
}  // namespace tontoko::test

namespace tontoko::test {
namespace {

TEST_F(RealSoundTest, ASoundFontAskedForButMissingIsNamedNeverReplaced) {
    ScopedEnv asked("TONTOKO_SOUNDFONT", dir.File("mine.sf2"));
    ScopedEnv driver("TONTOKO_AUDIO_DRIVER", "file");
    std::unique_ptr<TSMain> window = CreateWindow();
    Trigger(*window, "TB_Play");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(
        messages.shown[0].text.startsWith(QString::fromUtf8("音源（SoundFont）が使えない")));
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(dir.File("mine.sf2"))))
        << messages.shown[0].text.toStdString();
    EXPECT_FALSE(TempExists());
    // The preview button says the same; an edited note stays silent.
    window->findChild<QPushButton*>(QStringLiteral("B_PreviewAcc"))->click();
    EXPECT_EQ(messages.shown.size(), 2u);
}

}  // namespace
}  // namespace tontoko::test
