// Hearing what is edited: a grid press that creates a note or changes its
// pitch sounds that pitch on the melody instrument and volume; the preview
// buttons sound one measure of the chosen pattern; neither while a song
// plays, and neither changes what Save writes.
#include <QPushButton>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

class AuditionTest : public MainWindowTest {
  protected:
    // The note-ons and note-offs of the last short sound.
    std::vector<LiveEvent> Notes(LiveEvent::Kind kind) const {
        std::vector<LiveEvent> notes;
        for (const LiveEvent& e : player.sounds.back()) {
            if (e.kind == kind) {
                notes.push_back(e);
            }
        }
        return notes;
    }
    int Program(uint8_t channel, LiveEvent::Kind kind = LiveEvent::Kind::Program) const {
        for (const LiveEvent& e : player.sounds.back()) {
            if (e.kind == kind && e.channel == channel) {
                return e.data1;
            }
        }
        return -1;
    }
};

TEST_F(AuditionTest, GridPressSoundsTheNewPitchOnTheMelodyInstrument) {
    Create();
    EXPECT_EQ(player.preloads, 1) << "the window loads the synthesizer once it is shown";
    Pick("CB_Melody", 40);
    Press("UD_VMelody", false, 2);  // 110
    PressCell(1, 0);                // a new note: 72
    ASSERT_EQ(player.sounds.size(), 1u);
    EXPECT_FALSE(player.waits[0]) << "an edit never waits for the synthesizer";
    EXPECT_EQ(Program(kAuditionChannel), 40);
    const std::vector<LiveEvent> on = Notes(LiveEvent::Kind::NoteOn);
    const std::vector<LiveEvent> off = Notes(LiveEvent::Kind::NoteOff);
    ASSERT_EQ(on.size(), 1u);
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(on[0].data1, 72);
    EXPECT_EQ(on[0].data2, 110);
    EXPECT_EQ(on[0].ms, 0);
    EXPECT_EQ(off[0].data1, 72);
    EXPECT_EQ(off[0].ms, 300);
    EXPECT_EQ(on[0].channel, off[0].channel);

    PressCell(1, 0);  // one lower
    ASSERT_EQ(player.sounds.size(), 2u);
    EXPECT_EQ(Notes(LiveEvent::Kind::NoteOn).at(0).data1, 71);
    PressCell(1, 0, Qt::RightButton);
    EXPECT_EQ(Notes(LiveEvent::Kind::NoteOn).at(0).data1, 72);
    // A press that changes nothing is not heard.
    PressCell(1, 0, Qt::MiddleButton);
    EXPECT_EQ(player.sounds.size(), 3u);
    // A new instrument and volume count from the next press on.
    Pick("CB_Melody", 0);
    Press("UD_VMelody", false, 22);  // 0: silent
    PressCell(4, 7);
    ASSERT_EQ(player.sounds.size(), 4u);
    EXPECT_EQ(Program(kAuditionChannel), 0);
    EXPECT_EQ(Notes(LiveEvent::Kind::NoteOn).at(0).data2, 0);
}

TEST_F(AuditionTest, NothingIsHeardWhileASongPlays) {
    Create();
    Trigger("TB_Play");
    PressCell(2, 3);
    Click("B_PreviewAcc");
    Click("B_PreviewDrum");
    EXPECT_TRUE(player.sounds.empty());
    // The edit itself still happened.
    EXPECT_EQ(Name(2, 3), QString::fromUtf8("ド"));
    player.notify();
    PressCell(2, 3);
    EXPECT_EQ(player.sounds.size(), 1u);
}

TEST_F(AuditionTest, PreviewButtonsSoundTheChosenPatternWithTheChosenSounds) {
    Create();
    Pick("CB_Acc", 48);
    Pick("CB_Base", 33);
    Click("B_PreviewAcc");
    ASSERT_EQ(player.sounds.size(), 1u);
    EXPECT_TRUE(player.waits[0]) << "a button waits for the synthesizer if need be";
    EXPECT_EQ(Program(kPreviewBassChannel), 33);
    EXPECT_EQ(Program(kPreviewAccChannel), 48);
    const std::vector<LiveEvent> first = player.sounds.back();
    EXPECT_FALSE(Notes(LiveEvent::Kind::NoteOn).empty());
    if (Get<QComboBox>("CB_AccPattern")->count() > 1) {
        Pick("CB_AccPattern", 1);
        Click("B_PreviewAcc");
        EXPECT_NE(player.sounds.back(), first) << "another pattern sounds otherwise";
    }

    Pick("CB_DrumSet", 4);  // "005 TR-808": program 25
    Click("B_PreviewDrum");
    ASSERT_EQ(player.sounds.size(), Get<QComboBox>("CB_AccPattern")->count() > 1 ? 3u : 2u);
    EXPECT_EQ(Program(kPreviewDrumChannel, LiveEvent::Kind::DrumProgram), 25);
    for (const LiveEvent& e : Notes(LiveEvent::Kind::NoteOn)) {
        EXPECT_EQ(e.channel, kPreviewDrumChannel);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AuditionTest, PreviewDoesNotChangeWhatSaveWrites) {
    Create();
    Click("B_CGenerate");
    Click("B_MGenerate");
    // A write carries the voices' last notes into the next one: from the
    // second write of the same song on, the bytes stay the same.
    Save("a.mid");
    const QByteArray before = Save("b.mid");
    Pick("CB_AccPattern", Get<QComboBox>("CB_AccPattern")->count() - 1);
    Click("B_PreviewAcc");
    Click("B_PreviewDrum");
    Pick("CB_AccPattern", 0);
    EXPECT_EQ(Save("c.mid"), before);
}

TEST_F(AuditionTest, PreviewWithoutADeviceSaysSoAndEditsStaySilent) {
    Create();
    player.failSound = "No audio device could be opened.\nalsa: no card";
    player.failSoundKind = PlayerFailure::NoDevice;
    Click("B_PreviewDrum");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromUtf8("音声ファイルに書き出す")));
    EXPECT_TRUE(messages.shown[0].text.endsWith(QStringLiteral("alsa: no card")));
    // An edit asks without waiting and so is never refused or reported.
    PressCell(1, 1);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Name(1, 1), QString::fromUtf8("ド"));
}

}  // namespace
}  // namespace tontoko::test
