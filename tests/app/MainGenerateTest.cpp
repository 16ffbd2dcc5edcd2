// The transition-table editor and chord-progression generation.
#include <map>
#include <set>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class GenerateTest : public MainWindowTest {
  protected:
    std::vector<bool> EnabledColumns() {
        std::vector<bool> enabled;
        for (int c = 1; c <= 7; ++c) {
            const bool edit = Get<QWidget>(("Percent" + std::to_string(c)).c_str())->isEnabled();
            const bool upDown = Get<QWidget>(("UD" + std::to_string(c)).c_str())->isEnabled();
            EXPECT_EQ(edit, upDown) << c;
            enabled.push_back(edit && upDown);
        }
        return enabled;
    }
    QStringList Selectors() {
        QStringList texts;
        for (const char* name : {"CB_One1", "CB_One2", "CB_Two1", "CB_Two2", "CB_Three1",
                                 "CB_Three2", "CB_Four1", "CB_Four2"}) {
            texts << Text(name);
        }
        return texts;
    }
};

TEST_F(GenerateTest, EditorEnablesTheSuccessorsOfTheRow) {
    Create();
    Pick("CB_Chord", 1);  // II: III, V, VII
    EXPECT_EQ(EnabledColumns(), (std::vector<bool>{false, false, true, false, true, false, true}));
    EXPECT_EQ(Text("Percent5"), U("80"));
    Pick("CB_Chord", 6);  // VII: I, III
    EXPECT_EQ(EnabledColumns(), (std::vector<bool>{true, false, true, false, false, false, false}));
    EXPECT_EQ(Text("Percent1"), U("80"));
    EXPECT_EQ(Text("Percent3"), U("20"));
}

TEST_F(GenerateTest, EqualFlagDisablesTheRowAndIsKeptPerRow) {
    Create();
    Pick("CB_Chord", 1);
    Click("CBEqual");
    EXPECT_TRUE(Get<QCheckBox>("CBEqual")->isChecked());
    EXPECT_EQ(EnabledColumns(), std::vector<bool>(7, false));
    EXPECT_EQ(Text("Percent5"), U("80"));  // the values stay shown

    Pick("CB_Chord", 0);
    EXPECT_FALSE(Get<QCheckBox>("CBEqual")->isChecked());
    EXPECT_EQ(EnabledColumns(), (std::vector<bool>{false, true, true, true, true, true, true}));
    // Row I's values are shown again, not row II's.
    EXPECT_EQ(Text("Percent5"), U("40"));

    Pick("CB_Chord", 1);
    EXPECT_TRUE(Get<QCheckBox>("CBEqual")->isChecked());
    EXPECT_EQ(EnabledColumns(), std::vector<bool>(7, false));
    EXPECT_EQ(Text("Percent5"), U("40"));  // the last values shown stay

    Click("CBEqual");
    EXPECT_FALSE(Get<QCheckBox>("CBEqual")->isChecked());
    EXPECT_EQ(Text("Percent5"), U("80"));
    EXPECT_EQ(EnabledColumns(), (std::vector<bool>{false, false, true, false, true, false, true}));
}

TEST_F(GenerateTest, BadRowsWarnInRowOrderAndNothingIsGenerated) {
    Create();
    Pick("CB_Chord", 4);  // V: 60, 0, 20, 0, 0, 20, 0
    Press("UD1", false);  // 55
    Pick("CB_Chord", 2);  // III: 0, 0, 0, 80, 0, 20, 0
    Press("UD4", false);  // 75
    EXPECT_EQ(Text("Percent4"), U("75"));
    const QStringList before = Selectors();

    Click("B_CGenerate");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, U("Ⅲの和音から進む，確率の合計を\n100に合わせてください．"));
    EXPECT_EQ(messages.shown[1].text, U("Ⅴの和音から進む，確率の合計を\n100に合わせてください．"));
    for (const ShownMessage& m : messages.shown) {
        EXPECT_EQ(m.caption, U("Warning"));
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(Selectors(), before);

    // Mending row III leaves one warning, for row V.
    Press("UD4", true);
    messages.shown.clear();
    Click("B_CGenerate");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(U("Ⅴ")));

    // A mode switch loads the presets over the edits: generating works again.
    Click("RB_DMinor");
    Click("RB_DMajor");
    messages.shown.clear();
    Click("B_CGenerate");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(GenerateTest, ProgressionHasEqualHalvesAndFollowsTheTable) {
    Create();
    // From III only IV (80 %) or VI (20 %) follow: make III the first chord.
    Click("RB_CSelf");
    Pick("CB_CSelf", 2);
    std::set<QString> seconds;
    for (int i = 0; i < 50; ++i) {
        Click("B_CGenerate");
        const QStringList s = Selectors();
        for (int m = 0; m < 4; ++m) {
            EXPECT_EQ(s[2 * m], s[2 * m + 1]);
        }
        EXPECT_EQ(s[0], U("Ⅲ"));
        seconds.insert(s[2]);
    }
    EXPECT_EQ(seconds, (std::set<QString>{U("Ⅳ"), U("Ⅵ")}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(GenerateTest, EqualRowDrawsOnlySuccessors) {
    Create();
    // Row VII with the equal flag: I or III, whatever the values say.
    Pick("CB_Chord", 6);
    Press("UD1", false, 16);  // 0, the row's values no longer add up...
    Press("UD3", true, 16);   // ...until III holds 100
    Click("CBEqual");
    Click("RB_CSelf");
    Pick("CB_CSelf", 6);
    std::map<QString, int> seen;
    for (int i = 0; i < 300; ++i) {
        Click("B_CGenerate");
        ++seen[Text("CB_Two1")];
    }
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_GT(seen[U("Ⅰ")], 100);
    EXPECT_GT(seen[U("Ⅲ")], 100);
}

TEST_F(GenerateTest, MelodyGenerationEmptiesOctavesAndShowsTheMelody) {
    Create();
    Click("B_MGenerate");
    for (int m = 1; m <= 4; ++m) {
        // Every measure that is not fixed starts with an onset.
        EXPECT_FALSE(Name(m, 0).isEmpty()) << m;
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(Name(m, c).isEmpty(), Octave(m, c).isEmpty()) << m << " " << c;
            if (!Octave(m, c).isEmpty()) {
                const int octave = Octave(m, c).toInt();
                EXPECT_GE(octave, -2);
                EXPECT_LE(octave, 1);
            }
        }
    }
}

}  // namespace
}  // namespace tontoko::test
