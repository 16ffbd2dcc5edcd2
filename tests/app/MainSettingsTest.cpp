// Key and mode, tempo, first chord and melody style.
#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::vector<int> Notes(const std::vector<MidiEvent>& events) {
    std::vector<int> notes;
    for (const MidiEvent& e : events) {
        notes.push_back(e.data1);
    }
    return notes;
}

class SettingsTest : public MainWindowTest {
  protected:
    std::vector<QString> RowShown() {
        std::vector<QString> row;
        for (int c = 1; c <= 7; ++c) {
            row.push_back(Text(("Percent" + std::to_string(c)).c_str()));
        }
        return row;
    }
    std::vector<QString> Row(std::initializer_list<const char*> values) {
        std::vector<QString> row;
        for (const char* v : values) {
            row.push_back(U(v));
        }
        return row;
    }
    // Onset counts of the four measures as the melody grids show them.
    std::array<int, 4> OnsetsPerMeasure() {
        std::array<int, 4> counts{};
        for (int m = 1; m <= 4; ++m) {
            for (int c = 0; c < 8; ++c) {
                counts[m - 1] += Name(m, c).isEmpty() ? 0 : 1;
            }
        }
        return counts;
    }
};

TEST_F(SettingsTest, KeyNamesFollowTheOffsetAndTheMode) {
    Create();
    Click("RB_DSelf");
    EXPECT_TRUE(Get<QWidget>("GB_SelfDur")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("UD_Dur")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("RB_SDMinor")->isEnabled());
    Press("UD_Dur", false);
    EXPECT_EQ(Text("Label_Dur"), U("ロ長調"));
    EXPECT_EQ(Text("Edit_Dur"), U("-1"));
    Click("RB_SDMinor");
    EXPECT_EQ(Text("Label_Dur"), U("嬰ト短調"));
    Press("UD_Dur", false, 5);
    EXPECT_EQ(Text("Label_Dur"), U("嬰ニ短調"));
    // At the lower end the arrow changes nothing.
    Press("UD_Dur", false);
    EXPECT_EQ(Text("Edit_Dur"), U("-6"));
    EXPECT_EQ(Text("Label_Dur"), U("嬰ニ短調"));
    Click("RB_SDMajor");
    EXPECT_EQ(Text("Label_Dur"), U("嬰へ長調"));
    Press("UD_Dur", true, 11);
    EXPECT_EQ(Text("Label_Dur"), U("ヘ長調"));
    Press("UD_Dur", true);
    EXPECT_EQ(Text("Edit_Dur"), U("5"));
    EXPECT_EQ(Text("Label_Dur"), U("ヘ長調"));
    Click("RB_SDMinor");
    EXPECT_EQ(Text("Label_Dur"), U("ニ短調"));

    // The feel radios keep the offset: p = 3 and "くらい" gives "ハ短調".
    Click("RB_SDMajor");
    Press("UD_Dur", false, 2);
    EXPECT_EQ(Text("Edit_Dur"), U("3"));
    Click("RB_DMinor");
    EXPECT_EQ(Text("Label_Dur"), U("ハ短調"));
    EXPECT_TRUE(Get<QRadioButton>("RB_SDMinor")->isChecked());
    EXPECT_FALSE(Get<QWidget>("GB_SelfDur")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("UD_Dur")->isEnabled());
    Click("RB_DMajor");
    EXPECT_EQ(Text("Label_Dur"), U("変ホ長調"));
    EXPECT_TRUE(Get<QRadioButton>("RB_SDMajor")->isChecked());
}

TEST_F(SettingsTest, ModeSwitchLoadsThePresetAndTheEditorShowsIt) {
    Create();
    Click("RB_DMinor");
    EXPECT_EQ(Text("Label_Dur"), U("イ短調"));
    EXPECT_EQ(RowShown(), Row({"0", "30", "4", "30", "30", "3", "3"}));
    Click("RB_DMajor");
    EXPECT_EQ(Text("Label_Dur"), U("ハ長調"));
    EXPECT_EQ(RowShown(), Row({"0", "5", "5", "40", "40", "5", "5"}));
}

TEST_F(SettingsTest, SwitchingToTheCurrentModeChangesNothing) {
    Create();
    // A user edit of row I stays while the mode does not really change.
    Press("UD2", true);
    EXPECT_EQ(Text("Percent2"), U("10"));
    Click("RB_DSelf");
    Click("RB_DMajor");
    EXPECT_EQ(Text("Percent2"), U("10"));
    EXPECT_FALSE(Get<QWidget>("GB_SelfDur")->isEnabled());

    // "じぶんで", "暗", then "くらい": the last finds minor already.
    Click("RB_DSelf");
    Click("RB_SDMinor");
    EXPECT_EQ(RowShown(), Row({"0", "30", "4", "30", "30", "3", "3"}));
    Press("UD2", false);
    Click("RB_DMinor");
    EXPECT_EQ(Text("Percent2"), U("25"));
    EXPECT_EQ(Text("Label_Dur"), U("イ短調"));
    EXPECT_FALSE(Get<QWidget>("GB_SelfDur")->isEnabled());
}

TEST_F(SettingsTest, ClickingTheSelectedFeelKeepsItSelected) {
    Create();
    // The own-key pair inside the group is not one of the feel radios.
    for (const char* name : {"RB_DMajor", "RB_DSelf", "RB_DSelf", "RB_DMinor", "RB_DMinor"}) {
        Get<QRadioButton>(name)->click();
        EXPECT_TRUE(Get<QRadioButton>(name)->isChecked()) << name;
    }
    Get<QRadioButton>("RB_DSelf")->click();
    Get<QRadioButton>("RB_SDMinor")->click();
    Get<QRadioButton>("RB_SDMinor")->click();
    EXPECT_TRUE(Get<QRadioButton>("RB_SDMinor")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("RB_DSelf")->isChecked());
}

TEST_F(SettingsTest, TransposingMovesChordsAndMelodyButModeMovesNoMelodyNote) {
    Create();
    Click("B_MGenerate");
    const QByteArray before = Save("before.mid");
    Click("RB_DSelf");
    Press("UD_Dur", false);
    const QByteArray down = Save("down.mid");
    Click("RB_SDMinor");
    const QByteArray minor = Save("minor.mid");

    const std::vector<int> melodyBefore = Notes(NotesOn(before, 4));
    const std::vector<int> melodyDown = Notes(NotesOn(down, 4));
    ASSERT_FALSE(melodyBefore.empty());
    ASSERT_EQ(melodyBefore.size(), melodyDown.size());
    for (size_t i = 0; i < melodyBefore.size(); ++i) {
        EXPECT_EQ(melodyDown[i], melodyBefore[i] - 1);
    }
    EXPECT_EQ(Notes(NotesOn(minor, 4)), melodyDown);

    // Measure 1 holds chord I: its bass (voice 0) was 48 and is now 47;
    // node I's tones 59, 63, 66 sound in voices 3, 2, 1.
    const auto firstBass = NotesOn(down, 0).at(0);
    EXPECT_EQ(firstBass.tick, 0);
    EXPECT_EQ(firstBass.data1, 47);
    EXPECT_EQ(NotesOn(before, 0).at(0).data1, 48);
    std::vector<int> tonesAtZero;
    for (int channel : {3, 2, 1}) {
        for (const MidiEvent& e : NotesOn(down, channel)) {
            if (e.tick == 0) {
                tonesAtZero.push_back(e.data1);
            }
        }
    }
    // Fixed voicing lowers the fifth of chord I by an octave.
    EXPECT_EQ(tonesAtZero, (std::vector<int>{59, 63, 66 - 12}));
}

TEST_F(SettingsTest, UpperLimitOfTheKeyLeavesTheMelodyAlone) {
    Create();
    Click("RB_DSelf");
    Press("UD_Dur", true, 5);
    Click("B_MGenerate");
    const QByteArray atFive = Save("five.mid");
    Press("UD_Dur", true);
    EXPECT_EQ(Text("Label_Dur"), U("ヘ長調"));
    EXPECT_EQ(Notes(NotesOn(Save("still.mid"), 4)), Notes(NotesOn(atFive, 4)));
}

TEST_F(SettingsTest, TempoPresetsAndOwnTempo) {
    Create();
    Click("RB_TFast");
    EXPECT_EQ(Text("Edit_Tempo"), U("180"));
    EXPECT_FALSE(Get<QWidget>("UD_Tempo")->isEnabled());
    Click("RB_TSelf");
    EXPECT_TRUE(Get<QWidget>("GB_SelfTempo")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("Edit_Tempo")->isEnabled());
    EXPECT_EQ(Text("Edit_Tempo"), U("180"));
    Press("UD_Tempo", true);
    EXPECT_EQ(Text("Edit_Tempo"), U("185"));
    // The written tempo is 60,000,000 / 185 = 324324 = 04 F2 E4.
    const QByteArray file = Save();
    EXPECT_EQ(file.mid(23, 6), QByteArray::fromHex("FF5103 04F2E4"));
    Press("UD_Tempo", true, 20);
    EXPECT_EQ(Text("Edit_Tempo"), U("240"));
    Click("RB_TSlow");
    EXPECT_EQ(Text("Edit_Tempo"), U("60"));
    EXPECT_FALSE(Get<QWidget>("GB_SelfTempo")->isEnabled());
    Press("UD_Tempo", false);  // disabled: nothing moves
    EXPECT_EQ(Text("Edit_Tempo"), U("60"));
    Click("RB_TMedium");
    EXPECT_EQ(Text("Edit_Tempo"), U("120"));
}

TEST_F(SettingsTest, FirstChordSettings) {
    Create();
    Click("RB_CRandom");
    EXPECT_FALSE(Get<QWidget>("CB_CSelf")->isEnabled());
    for (int i = 0; i < 60; ++i) {
        Click("B_CGenerate");
        const int pick = Get<QComboBox>("CB_CSelf")->currentIndex();
        ASSERT_GE(pick, 0);
        ASSERT_LE(pick, 5);
        EXPECT_EQ(Get<QComboBox>("CB_One1")->currentIndex(), pick);
        EXPECT_EQ(Get<QComboBox>("CB_One2")->currentIndex(), pick);
    }
    const QString pick = Text("CB_CSelf");
    Click("RB_CSelf");
    EXPECT_TRUE(Get<QWidget>("CB_CSelf")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("GB_SelfChord")->isEnabled());
    EXPECT_EQ(Text("CB_CSelf"), pick);
    Pick("CB_CSelf", 6);
    Click("B_CGenerate");
    EXPECT_EQ(Text("CB_One1"), U("Ⅶ"));
    EXPECT_EQ(Text("CB_One2"), U("Ⅶ"));
    // From VII only I or III follows.
    const QString second = Text("CB_Two1");
    EXPECT_TRUE(second == U("Ⅰ") || second == U("Ⅲ")) << second.toStdString();
    Click("RB_COne");
    EXPECT_EQ(Text("CB_CSelf"), U("Ⅰ"));
    EXPECT_FALSE(Get<QWidget>("CB_CSelf")->isEnabled());
    Click("B_CGenerate");
    EXPECT_EQ(Text("CB_One1"), U("Ⅰ"));
}

TEST_F(SettingsTest, StyleIsAppliedOnlyWhenARadioBecomesSelected) {
    Create();
    // Re-clicking the style selected from start-up runs nothing: the uniform
    // fallback draws whole notes, so some measure holds a single onset.
    Click("RB_MFour");
    bool singleOnset = false;
    for (int i = 0; i < 40 && !singleOnset; ++i) {
        Click("B_MGenerate");
        for (int count : OnsetsPerMeasure()) {
            singleOnset = singleOnset || count == 1;
        }
    }
    EXPECT_TRUE(singleOnset);

    // "8分音符多め" then "4分音符多め": half notes at most, quarters most often.
    Click("RB_MEight");
    Click("RB_MFour");
    int onsets = 0;
    for (int i = 0; i < 40; ++i) {
        Click("B_MGenerate");
        for (int count : OnsetsPerMeasure()) {
            EXPECT_GE(count, 2);
            onsets += count;
        }
    }
    // Quarter style: about 4.8 onsets per measure; eighth style about 5.7.
    const double quarters = onsets / 160.0;
    EXPECT_GT(quarters, 4.0);
    EXPECT_LT(quarters, 5.4);

    Click("RB_MEight");
    onsets = 0;
    for (int i = 0; i < 40; ++i) {
        Click("B_MGenerate");
        for (int count : OnsetsPerMeasure()) {
            onsets += count;
        }
    }
    EXPECT_GT(onsets / 160.0, quarters + 0.4);
}

}  // namespace
}  // namespace tontoko::test
