// Play from the part shown through the real FluidSynth player, rendering into
// a file: after the lead-in the position jumps to the part's first tick, and
// the first part is never played.
#include "MainFixture.h"
#include "render/PlayRange.h"
#include "sound/FluidSynthPlayer.h"

namespace tontoko::test {
namespace {

TEST(MainRealPlayFromPartTest, AfterTheLeadInThePlaybackJumpsToThePartShown) {
    TempDir dir(true);
    const std::filesystem::path data = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";
    for (const char* name : {"AccPattern.dat", "DrumPattern.dat"}) {
        std::filesystem::copy_file(data / name, dir.Path() / name);
    }
    FluidSynthPlayer::Options options;
    options.audioDriver = "file";
    FluidSynthPlayer player(options);
    RecordingMessages messages;
    Platform platform;
    platform.messages = &messages;
    platform.player = &player;
    TSMain window(platform);
    window.findChild<UpDown*>(QStringLiteral("UD_Interval"))->Press(true);
    SongState song = window.Document().Snapshot();
    song.partCount = 2;
    song.parts[1] = song.parts[0];
    window.Document().Restore(song);
    window.Document().SetPosition(1);
    window.findChild<QAction*>(QStringLiteral("MI_Loop"))->setChecked(true);

    window.findChild<QAction*>(QStringLiteral("TB_Play"))->trigger();
    if (!messages.shown.empty()) {
        GTEST_SKIP() << messages.shown[0].text.toStdString();
    }
    const PlayRange range = SongPlayRange(1, 2, 1);
    std::vector<int> ticks;
    const bool reached = QTest::qWaitFor(
        [&] {
            ticks.push_back(player.CurrentTick());
            return ticks.back() >= range.start;
        },
        5000);
    EXPECT_TRUE(reached);
    for (int tick : ticks) {
        EXPECT_TRUE(tick < range.leadInEnd || tick >= range.start - 1) << tick;
    }
    window.findChild<QAction*>(QStringLiteral("MI_Stop"))->trigger();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !std::filesystem::exists(dir.Path() / "tmp.mid"); }, 5000));
}

}  // namespace
}  // namespace tontoko::test
