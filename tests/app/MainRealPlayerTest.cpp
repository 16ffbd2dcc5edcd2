// Play through the real FluidSynth player, rendering into a file instead of a
// sound card: the end notification comes back to the window, which cleans up.
#include "MainFixture.h"
#include "sound/FluidSynthPlayer.h"

namespace tontoko::test {
namespace {

TEST(MainRealPlayerTest, PlaybackEndsAndCleansUpThroughTheWindow) {
    TempDir dir(true);
    const std::filesystem::path data = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";
    for (const char* name : {"AccPattern.dat", "DrumPattern.dat"}) {
        std::filesystem::copy_file(data / name, dir.Path() / name);
    }
    FluidSynthPlayer::Options options;
    options.audioDriver = "file";
    options.audioFile = dir.File("out.wav");
    FluidSynthPlayer player(options);
    RecordingMessages messages;
    Platform platform;
    platform.messages = &messages;
    platform.player = &player;
    TSMain window(platform);
    // The file driver keeps real time: the shortest song is the fastest one.
    window.findChild<QRadioButton*>(QStringLiteral("RB_TSelf"))->setChecked(true);
    auto* tempo = window.findChild<UpDown*>(QStringLiteral("UD_Tempo"));
    for (int i = 0; i < 24; ++i) {
        tempo->Press(true);
    }
    ASSERT_EQ(tempo->Position(), 240);

    window.findChild<QAction*>(QStringLiteral("TB_Play"))->trigger();
    if (!messages.shown.empty()) {
        // Without a SoundFont the player says so clearly, and nothing is left.
        EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / "tmp.mid"));
        GTEST_SKIP() << messages.shown[0].text.toStdString();
    }
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "tmp.mid"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !std::filesystem::exists(dir.Path() / "tmp.mid"); }, 60000));
    EXPECT_GT(std::filesystem::file_size(dir.Path() / "out.wav"), 44u);
    // Play works again after the end.
    window.findChild<QAction*>(QStringLiteral("TB_Play"))->trigger();
    EXPECT_TRUE(messages.shown.empty());
    window.findChild<QAction*>(QStringLiteral("TB_Stop"))->trigger();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !std::filesystem::exists(dir.Path() / "tmp.mid"); }, 10000));
}

}  // namespace
}  // namespace tontoko::test
