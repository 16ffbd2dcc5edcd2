// Play, Stop, the end-of-playback notification and Save.
#include <QDir>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class PlaybackTest : public MainWindowTest {
  protected:
    bool TempExists() { return std::filesystem::exists(dir.Path() / "tmp.mid"); }
    void Notify() {
        ASSERT_TRUE(player.notify);
        player.notify();
    }
};

TEST_F(PlaybackTest, PlayTwiceWritesOneFileAndPlaysOnce) {
    Create();
    Trigger("TB_Play");
    Trigger("TB_Play");
    EXPECT_EQ(player.calls, (std::vector<std::string>{"SetFileName tmp.mid", "Open", "Play"}));
    ASSERT_EQ(player.played.size(), 1u);
    EXPECT_EQ(player.played[0].left(4), QByteArray("MThd"));
    EXPECT_TRUE(TempExists());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PlaybackTest, StopActsOnlyWhilePlaying) {
    Create();
    Trigger("TB_Stop");
    EXPECT_TRUE(player.calls.empty());
    EXPECT_TRUE(messages.shown.empty());
    Trigger("TB_Play");
    Trigger("TB_Stop");
    EXPECT_EQ(player.Count("Stop"), 1);
    // The stopped playback's notification cleans up.
    Notify();
    EXPECT_EQ(player.Count("Close"), 1);
    EXPECT_FALSE(TempExists());
    Trigger("TB_Stop");
    EXPECT_EQ(player.Count("Stop"), 1);
}

TEST_F(PlaybackTest, NotificationDeletesTheFileAndPlayWorksAgain) {
    Create();
    Trigger("TB_Play");
    ASSERT_TRUE(TempExists());
    Notify();
    EXPECT_EQ(player.calls.back(), "Close");
    EXPECT_FALSE(TempExists());
    Trigger("TB_Play");
    EXPECT_EQ(player.Count("Play"), 2);
    EXPECT_TRUE(TempExists());
    // A notification while idle (a late one) does nothing.
    Notify();
    const size_t calls = player.calls.size();
    Notify();
    EXPECT_EQ(player.calls.size(), calls);
}

TEST_F(PlaybackTest, StaleTempFileIsReplacedAndDeleted) {
    Create();
    {
        std::FILE* f = std::fopen("tmp.mid", "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("left by something else", f);
        std::fclose(f);
    }
    Trigger("TB_Play");
    EXPECT_EQ(player.played.at(0).left(4), QByteArray("MThd"));
    Notify();
    EXPECT_FALSE(TempExists());
}

TEST_F(PlaybackTest, NotificationWithTheFileGoneStillEndsPlayback) {
    Create();
    Trigger("TB_Play");
    std::filesystem::remove(dir.Path() / "tmp.mid");
    Notify();
    EXPECT_EQ(player.Count("Close"), 1);
    Trigger("TB_Play");
    EXPECT_EQ(player.Count("Play"), 2);
}

TEST_F(PlaybackTest, FailedOpenIsReportedAndPlayWorksAgain) {
    Create();
    player.failOpen = "No SoundFont was found.";
    Trigger("TB_Play");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, U("Error"));
    EXPECT_EQ(messages.shown[0].text, U("No SoundFont was found."));
    EXPECT_EQ(player.Count("Play"), 0);
    EXPECT_FALSE(TempExists());
    player.failOpen.clear();
    Trigger("TB_Play");
    EXPECT_EQ(player.Count("Open"), 2);
    EXPECT_EQ(player.Count("Play"), 1);
}

TEST_F(PlaybackTest, MissingDeviceOrSoundFontIsExplainedThenDetailed) {
    Create();
    player.failOpen = "No audio device could be opened.\nalsa: no card";
    player.failOpenKind = PlayerFailure::NoDevice;
    Trigger("TB_Play");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, U("Error"));
    EXPECT_EQ(messages.shown[0].text,
              U("音を出す装置が使えないため、演奏できません．\n"
                "曲は「音声ファイルに書き出す」で音声ファイルにして聴くことができます．\n"
                "No audio device could be opened.\nalsa: no card"));
    EXPECT_FALSE(TempExists());

    player.failOpen = "The SoundFont set in TONTOKO_SOUNDFONT does not exist: /x.sf2";
    player.failOpenKind = PlayerFailure::NoSoundFont;
    Trigger("TB_Play");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(messages.shown[1].text.startsWith(U("音源（SoundFont）が使えない")));
    EXPECT_TRUE(messages.shown[1].text.endsWith(U("does not exist: /x.sf2")));
    EXPECT_EQ(player.Count("Play"), 0);
}

TEST_F(PlaybackTest, EveryPlayRendersTheCurrentSettings) {
    Create();
    auto playOnce = [&] {
        Trigger("TB_Play");
        QByteArray bytes = player.played.back();
        Notify();
        return bytes;
    };
    const QByteArray first = playOnce();
    const QByteArray second = playOnce();
    EXPECT_EQ(first.size(), second.size());

    Pick("CB_Acc", 5);
    const QByteArray instrument = playOnce();
    EXPECT_EQ(uint8_t(instrument.at(47)), 5);
    Press("UD_VBase", false);
    const QByteArray volume = playOnce();
    EXPECT_NE(volume, instrument);
    EXPECT_EQ(NotesOn(volume, 0).at(0).data2, 105);
    Click("RB_FadeIn");
    const QByteArray fade = playOnce();
    EXPECT_EQ(NotesOn(fade, 0).at(0).data2, 1);
    Press("UD_Interval", true);
    const QByteArray interval = playOnce();
    EXPECT_EQ(uint8_t(interval.at(68)), 0x60);
    if (Get<QComboBox>("CB_AccPattern")->count() > 1) {
        Pick("CB_AccPattern", 1);
        EXPECT_NE(playOnce(), interval);
    }
    Click("RB_TFast");
    EXPECT_EQ(playOnce().mid(26, 3), QByteArray::fromHex("051615"));
}

TEST_F(PlaybackTest, SaveAsksForAFileAndWritesIt) {
    Create();
    const QString startFolder = QDir::currentPath();
    dialogs.next.reset();
    Trigger("MI_Save");
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& request = dialogs.requests[0];
    EXPECT_EQ(request.filter, U("スタンダードMIDIファイル(*.mid)|*.mid"));
    EXPECT_EQ(request.defaultSuffix, U("mid"));
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(request.directory, startFolder);
    EXPECT_TRUE(QDir(startFolder).entryList({U("*.mid")}).isEmpty());

    // The tool bar's button does the same; saving while playing is allowed.
    Trigger("TB_Play");
    dialogs.next = QString::fromStdString(dir.File("曲.mid"));
    Trigger("TB_Save");
    const QByteArray saved = ReadAll(QString::fromStdString(dir.File("曲.mid")));
    EXPECT_EQ(saved.left(4), QByteArray("MThd"));
    EXPECT_EQ(saved.mid(23, 6), QByteArray::fromHex("FF510307A120"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(player.played.at(0).left(4), QByteArray("MThd"));
    EXPECT_EQ(player.Count("Stop"), 0);
}

TEST_F(PlaybackTest, SaveThatCannotWriteSaysSo) {
    Create();
    {
        std::FILE* f = std::fopen("plain.txt", "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    const QString target = QString::fromStdString(dir.File("plain.txt")) + U("/song.mid");
    dialogs.next = target;
    Trigger("MI_Save");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, U("Error"));
    EXPECT_TRUE(messages.shown[0].text.contains(target)) << messages.shown[0].text.toStdString();
}

}  // namespace
}  // namespace tontoko::test
