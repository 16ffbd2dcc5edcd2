// Audio export from the window: the dialog it asks, the audio it writes (what
// the offline renderer makes of the bytes Save writes), in every format, and
// failures that name the file and leave an existing one intact.
#include <QApplication>
#include <QDir>

#include "../support/PulseServer.h"
#include "MainFixture.h"
#include "sound/OfflineSynth.h"
#include "sound/SoundFont.h"
#include "tests/sound/ReadAudio.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class ExportTest : public MainWindowTest {
  protected:
    void SetUp() override {
        const auto found = FindSoundFont();
        if (!found) {
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        }
        soundFont = *found;
    }
    AudioData Export(const std::string& name) {
        dialogs.next = QString::fromStdString(dir.File(name));
        Trigger("MI_Export");
        return ReadAudio(dir.File(name));
    }
    std::vector<uint8_t> Bytes(const QByteArray& midi) { return {midi.begin(), midi.end()}; }
    std::string soundFont;
};

TEST_F(ExportTest, AsksForAnAudioFileInTheWorkingFolder) {
    Create();
    const QString startFolder = QDir::currentPath();
    dialogs.next.reset();
    Trigger("TB_Export");
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& request = dialogs.requests[0];
    EXPECT_EQ(request.filter, U("WAVファイル(*.wav)|*.wav|FLACファイル(*.flac)|*.flac|"
                                "Ogg Vorbisファイル(*.ogg)|*.ogg"));
    EXPECT_EQ(request.defaultSuffix, U("wav"));
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(request.directory, startFolder);
    // Cancelled: nothing written, nothing said.
    EXPECT_EQ(QDir(startFolder).entryList(QDir::Files).size(), 2);  // the pattern files
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ExportTest, WavIsWhatTheOfflineRendererMakesOfTheSavedBytes) {
    Create();
    Click("B_CGenerate");
    Click("B_MGenerate");
    Pick("CB_Melody", 40);
    Press("UD_Interval", true);
    // A write carries the voices' last notes into the next one: from the
    // second write of the same song on, the bytes stay the same.
    Save("song.mid");
    const QByteArray saved = Save("again.mid");
    const AudioData exported = Export("song.wav");
    ASSERT_TRUE(exported.opened);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone";
    EXPECT_EQ(exported.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(exported.rate, 44100);
    EXPECT_EQ(exported.channels, 2);

    ASSERT_TRUE(ExportMidiToAudio(Bytes(saved), dir.File("reference.wav"), soundFont).ok);
    const AudioData reference = ReadAudio(dir.File("reference.wav"));
    EXPECT_EQ(exported.samples, reference.samples);
    EXPECT_EQ(Save("after.mid"), saved) << "the export wrote what Save writes";
    // The song and its release, no trailing silence: 8 s at 120 beats per
    // minute after one silent beat, which stays.
    EXPECT_GT(exported.Seconds(), 8.5);
    EXPECT_LT(exported.Seconds(), 14.0);
    EXPECT_LT(exported.SilentTail(), 0.01);
    EXPECT_LT(exported.Peak(0, 2 * 22000), 1e-4) << "the interval's beat is silent";
    EXPECT_GT(exported.Rms(), 0.01);
}

TEST_F(ExportTest, FlacAndOggHoldTheSameSong) {
    Create();
    const AudioData wav = Export("song.wav");
    const AudioData flac = Export("song.flac");
    const AudioData ogg = Export("song.ogg");
    ASSERT_TRUE(wav.opened && flac.opened && ogg.opened);
    EXPECT_EQ(flac.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
    EXPECT_EQ(ogg.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    // The same length (within a block of timing) and loudness.
    EXPECT_NEAR(flac.Seconds(), wav.Seconds(), 0.05);
    EXPECT_NEAR(ogg.Seconds(), wav.Seconds(), 0.05);
    EXPECT_GT(flac.Rms(), 0.5 * wav.Rms());
    EXPECT_GT(ogg.Rms(), 0.5 * wav.Rms());
    EXPECT_LT(flac.SilentTail(), 0.01);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ExportTest, FailuresNameTheFileAndKeepTheOldOne) {
    Create();
    const std::string missing = dir.File("no/such/folder/song.wav");
    dialogs.next = QString::fromStdString(missing);
    Trigger("MI_Export");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, U("Error"));
    EXPECT_TRUE(messages.shown[0].text.startsWith(U("音声ファイルを書き出せませんでした")));
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(missing)));

    // A folder where the file should go.
    std::filesystem::create_directory(dir.File("taken.ogg"));
    dialogs.next = QString::fromStdString(dir.File("taken.ogg"));
    Trigger("MI_Export");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.ogg")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ExportTest, ASoundFontAskedForButMissingIsNamedAndNothingIsReplaced) {
    ScopedEnv asked("TONTOKO_SOUNDFONT", dir.File("mine.sf2"));
    Create();
    {
        std::ofstream keep(dir.File("keep.wav"));
        keep << "keep";
    }
    dialogs.next = QString::fromStdString(dir.File("keep.wav"));
    Trigger("MI_Export");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(dir.File("mine.sf2"))))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(dir.File("keep.wav"))));
    std::ifstream kept(dir.File("keep.wav"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
}

}  // namespace
}  // namespace tontoko::test
