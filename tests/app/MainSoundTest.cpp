// Instruments, drum set, volumes, interval and fade as written by Save.
#include <set>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class SoundTest : public MainWindowTest {
  protected:
    std::vector<int> Velocities(const QByteArray& file, int channel) {
        std::vector<int> velocities;
        for (const MidiEvent& e : NotesOn(file, channel)) {
            velocities.push_back(e.data2);
        }
        return velocities;
    }
    // Velocities of all note-ons of a channel, silent ones included, that
    // start a note (not the note-offs that end one).
    std::vector<int> StartVelocities(const QByteArray& file, int channel, int note) {
        std::vector<int> velocities;
        for (const MidiEvent& e : ParseEvents(file)) {
            if (e.status == 0x90 + channel && e.data1 == note) {
                velocities.push_back(e.data2);
            }
        }
        return velocities;
    }
};

TEST_F(SoundTest, VolumesApplyFromTheFirstClickOnly) {
    Create();
    PressCell(1, 0);
    PressCell(2, 0);
    // Before any volume click the melody is written with 110, not 120.
    EXPECT_EQ(Velocities(Save("a.mid"), 4), (std::vector<int>{110, 110}));
    EXPECT_EQ(Text("E_VMelody"), U("120"));

    Press("UD_VMelody", false);
    EXPECT_EQ(Text("E_VMelody"), U("115"));
    const QByteArray lower = Save("b.mid");
    EXPECT_EQ(Velocities(lower, 4), (std::vector<int>{115, 115}));
    // The other voices keep 110 until their own control is clicked.
    for (int v : Velocities(lower, 0)) {
        EXPECT_EQ(v, 110);
    }

    Press("UD_VBase", true);
    Press("UD_VAcc", false, 2);
    Press("UD_VDrum", false);
    const QByteArray changed = Save("c.mid");
    for (int v : Velocities(changed, 0)) {
        EXPECT_EQ(v, 115);
    }
    for (int channel : {1, 2, 3}) {
        ASSERT_FALSE(Velocities(changed, channel).empty());
        for (int v : Velocities(changed, channel)) {
            EXPECT_EQ(v, 100);
        }
    }
    ASSERT_FALSE(Velocities(changed, 9).empty());
    for (int v : Velocities(changed, 9)) {
        EXPECT_EQ(v, 105);
    }

    // Volume 0: the melody's notes are written with velocity 0.
    Press("UD_VMelody", false, 30);
    EXPECT_EQ(Text("E_VMelody"), U("0"));
    const QByteArray silent = Save("d.mid");
    EXPECT_TRUE(Velocities(silent, 4).empty());
    EXPECT_EQ(StartVelocities(silent, 4, 72).size(), 4u);  // 2 starts, 2 ends
}

TEST_F(SoundTest, InstrumentsDrumSetIntervalAndFade) {
    Create();
    Pick("CB_Melody", 40);
    Pick("CB_Acc", 24);
    Pick("CB_Base", 33);
    Pick("CB_DrumSet", 4);  // "005 TR-808"
    EXPECT_EQ(Text("CB_DrumSet"), U("005 TR-808"));
    Press("UD_Interval", true, 5);
    EXPECT_EQ(Text("Edit_Interval"), U("4"));
    const QByteArray file = Save();
    EXPECT_EQ(file.mid(42, 15), QByteArray::fromHex("00C021 00C118 00C218 00C318 00C428"));
    EXPECT_EQ(file.mid(65, 3), QByteArray::fromHex("00C919"));
    EXPECT_EQ(file.mid(68, 2), QByteArray::fromHex("8300"));  // four beats
    EXPECT_EQ(NotesOn(file, 0).at(0).tick, 384);
    // The sound-effects set is the GS program 56, a kit a GS device has.
    Pick("CB_DrumSet", 8);
    EXPECT_EQ(Text("CB_DrumSet"), U("009 SFX"));
    EXPECT_EQ(Save("sfx.mid").mid(65, 3), QByteArray::fromHex("00C938"));

    // Fade-out: the bass note at step 0 starts with 110 * 63 / 64 = 108.
    Click("RB_FadeOut");
    EXPECT_EQ(NotesOn(Save("fade.mid"), 0).at(0).data2, 108);
    Click("RB_FadeIn");
    EXPECT_EQ(NotesOn(Save("fadein.mid"), 0).at(0).data2, 1);
    Click("RB_Normal");
    EXPECT_EQ(NotesOn(Save("normal.mid"), 0).at(0).data2, 110);
}

TEST_F(SoundTest, DrumPartSwitch) {
    Create();
    EXPECT_FALSE(NotesOn(Save("on.mid"), 9).empty());
    Click("CB_Drum");
    EXPECT_TRUE(NotesOn(Save("off.mid"), 9).empty());
}

TEST_F(SoundTest, RandomButtonPicksInstrumentsOnly) {
    Create();
    std::set<int> melody;
    std::set<int> drums;
    for (int i = 0; i < 200; ++i) {
        Click("B_Random");
        for (const char* list : {"CB_Melody", "CB_Acc", "CB_Base"}) {
            const int index = Get<QComboBox>(list)->currentIndex();
            ASSERT_GE(index, 0);
            ASSERT_LE(index, 127);
        }
        melody.insert(Get<QComboBox>("CB_Melody")->currentIndex());
        const int set = Get<QComboBox>("CB_DrumSet")->currentIndex();
        ASSERT_GE(set, 0);
        ASSERT_LE(set, 8);
        drums.insert(set);
    }
    EXPECT_GT(melody.size(), 50u);
    EXPECT_EQ(drums.size(), 9u);
    EXPECT_EQ(Text("E_VMelody"), U("120"));
    EXPECT_EQ(Text("E_VDrum"), U("110"));
    EXPECT_EQ(Text("Edit_Interval"), U("0"));
    EXPECT_TRUE(Get<QRadioButton>("RB_Normal")->isChecked());
    // What the lists show is what is written.
    const QByteArray file = Save();
    EXPECT_EQ(uint8_t(file.at(56)), Get<QComboBox>("CB_Melody")->currentIndex());
    EXPECT_EQ(uint8_t(file.at(44)), Get<QComboBox>("CB_Base")->currentIndex());
}

}  // namespace
}  // namespace tontoko::test
