// The finishing box "きれいに仕上げる" of the melody group, through the buttons.
#include <cstdlib>
#include <filesystem>
#include <set>

#include "MainFixture.h"
#include "engine/Harmony.h"
#include "engine/KeyChange.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

constexpr const char* kSelectors[] = {"CB_One1",   "CB_One2",   "CB_Two1",  "CB_Two2",
                                      "CB_Three1", "CB_Three2", "CB_Four1", "CB_Four2"};

QString GoldenPath(const char* name) {
    return QString::fromStdString(
        (std::filesystem::path(TONTOKO_SOURCE_DIR) / "tests" / "app" / "golden" / name).string());
}

class FinishTest : public MainWindowTest {
  protected:
    // Compares the bytes with a file kept from before the finishing box had a
    // handler; with TONTOKO_WRITE_GOLDEN set, writes the file instead.
    void ExpectGolden(const QByteArray& bytes, const char* name) {
        ASSERT_FALSE(bytes.isEmpty());
        if (std::getenv("TONTOKO_WRITE_GOLDEN") != nullptr) {
            std::filesystem::create_directories(
                std::filesystem::path(GoldenPath(name).toStdString()).parent_path());
            QFile file(GoldenPath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            GTEST_SKIP() << "golden file written: " << name;
        }
        const QByteArray kept = ReadAll(GoldenPath(name));
        ASSERT_FALSE(kept.isEmpty()) << name;
        EXPECT_EQ(bytes, kept) << name;
    }

    // A session with several settings, two generations and a fixed measure.
    QByteArray SessionWithSettings() {
        Click("RB_DMinor");
        Click("RB_MEight");
        Click("RB_CRandom");
        Click("B_CGenerate");
        Click("B_MGenerate");
        Click("Fix_Rhythm2");
        Click("B_CGenerate");
        Click("B_MGenerate");
        return Save();
    }

    int SlotDegree(int slot) { return Get<QComboBox>(kSelectors[slot])->currentIndex() + 1; }

    // The last name shown in the grids of measure 4, or empty.
    QString LastNameOfMeasureFour() {
        for (int c = 7; c >= 0; --c) {
            if (!Name(4, c).isEmpty()) {
                return Name(4, c);
            }
        }
        return {};
    }

    // Checks every melody note of the saved file against the chord the
    // selectors show at its onset; `chords` holds the key's seven chords. On
    // beats 1 and 3 a chord tone; elsewhere a chord tone or a note approached
    // and left by a step.
    void ExpectKeepsToTheRulesOfTheSelectors(const QByteArray& bytes, const Song& chords) {
        const std::vector<MidiEvent> notes = NotesOn(bytes, kMelodyVoice);
        ASSERT_FALSE(notes.empty());
        auto isStep = [](int d) { return std::abs(d) == 1 || std::abs(d) == 2; };
        for (size_t i = 0; i < notes.size(); ++i) {
            const int step = notes[i].tick / kTicksPerStep;
            const int p = notes[i].data1;
            const SChord& chord = chords.nodes[SlotDegree(SlotOfStep(step)) - 1];
            if (IsChordTone(uint8_t(p), chord)) {
                continue;
            }
            EXPECT_NE(step % 8, 0) << "step " << step << " note " << p;
            EXPECT_TRUE(i > 0 && i + 1 < notes.size() && isStep(p - notes[i - 1].data1) &&
                        isStep(notes[i + 1].data1 - p))
                << "step " << step << " note " << p;
        }
    }

    // A second window over the same fakes and clock, in the same folder.
    std::unique_ptr<TSMain> AnotherWindow() {
        auto other = std::make_unique<TSMain>(Fakes());
        other->show();
        return other;
    }
};

TEST_F(FinishTest, TheBoxIsOffAtStartWithItsCaptionAndHint) {
    Create();
    auto* box = Get<QCheckBox>("CB_Finish");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->text(), U("きれいに仕上げる"));
    EXPECT_EQ(box->toolTip(),
              U("最後を Ⅰ の和音と主音で終わらせ、和音に合わない音を、なめらかに動く音になおします．"));
    EXPECT_TRUE(Get<QWidget>("GB_Melody")->isAncestorOf(box));
}

TEST_F(FinishTest, TickedProgressionEndsOnIAndTheSelectorsShowIt) {
    Create();
    Click("CB_Finish");
    ASSERT_TRUE(Get<QCheckBox>("CB_Finish")->isChecked());
    Click("RB_CRandom");
    std::set<int> thirds;
    for (int i = 0; i < 60; ++i) {
        Click("B_CGenerate");
        EXPECT_EQ(Text("CB_Four1"), U("Ⅰ"));
        EXPECT_EQ(Text("CB_Four2"), U("Ⅰ"));
        EXPECT_EQ(SlotDegree(4), SlotDegree(5));
        thirds.insert(SlotDegree(4));
    }
    // V is put in where the walk gave no chord that leads home; IV and VII
    // drawn by the walk stay.
    EXPECT_EQ(thirds, (std::set<int>{4, 5, 7}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FinishTest, TickedMelodyEndsOnTheTonicAndKeepsToTheRules) {
    Create();
    Click("CB_Finish");
    const Song major(1);
    for (int i = 0; i < 20; ++i) {
        Click("B_CGenerate");
        Click("B_MGenerate");
        EXPECT_EQ(LastNameOfMeasureFour(), U("ド"));
        const QByteArray bytes = Save();
        ExpectKeepsToTheRulesOfTheSelectors(bytes, major);
        // The last note sounds to the end of the song.
        const std::vector<MidiEvent> events = ParseEvents(bytes);
        const std::vector<MidiEvent> notes = NotesOn(bytes, kMelodyVoice);
        ASSERT_FALSE(notes.empty());
        const MidiEvent& last = notes.back();
        bool endsAtTheEnd = false;
        for (const MidiEvent& e : events) {
            if (e.status == 0x90 + kMelodyVoice && e.tick > last.tick) {
                EXPECT_EQ(e.data2, 0);
                EXPECT_EQ(e.data1, last.data1);
                endsAtTheEnd = e.tick == kSongSteps * kTicksPerStep;
            }
        }
        EXPECT_TRUE(endsAtTheEnd);
    }

    Click("RB_DMinor");
    Song minor(1);
    SwitchToMinor(minor);
    for (int i = 0; i < 10; ++i) {
        Click("B_CGenerate");
        Click("B_MGenerate");
        EXPECT_EQ(LastNameOfMeasureFour(), U("ラ"));
        ExpectKeepsToTheRulesOfTheSelectors(Save(), minor);
    }
}

TEST_F(FinishTest, MelodyFinishesAgainstAChordSevenChosenByHand) {
    Create();
    Click("CB_Finish");
    Click("B_CGenerate");
    Pick("CB_Four1", 6);
    Pick("CB_Four2", 6);
    const Song major(1);
    for (int i = 0; i < 10; ++i) {
        Click("B_MGenerate");
        EXPECT_EQ(Text("CB_Four1"), U("Ⅶ"));
        EXPECT_EQ(Text("CB_Four2"), U("Ⅶ"));
        ExpectKeepsToTheRulesOfTheSelectors(Save(), major);
        // C would clash with the B of VII: the song ends on a tone of VII.
        const QString last = LastNameOfMeasureFour();
        EXPECT_TRUE(last == U("シ") || last == U("レ") || last == U("ﾌｧ")) << last.toStdString();
    }
}

TEST_F(FinishTest, FixedMeasuresStayThroughTheButton) {
    Create();
    Click("CB_Finish");
    Click("B_CGenerate");
    Click("B_MGenerate");
    Click("Fix_Rhythm2");
    Click("Fix_Melody2");
    Click("Fix_Rhythm3");
    QStringList second;
    std::vector<bool> thirdOnsets;
    for (int c = 0; c < 8; ++c) {
        second << Name(2, c) << Octave(2, c);
        thirdOnsets.push_back(!Name(3, c).isEmpty());
    }
    for (int i = 0; i < 10; ++i) {
        Click("B_MGenerate");
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(Name(2, c), second[2 * c]);
            EXPECT_EQ(Octave(2, c), second[2 * c + 1]);
            EXPECT_EQ(!Name(3, c).isEmpty(), thirdOnsets[c]) << c;
        }
        EXPECT_EQ(LastNameOfMeasureFour(), U("ド"));
    }
}

TEST_F(FinishTest, UntickingRestoresThePlainSongsAndTheDrawsStayInStep) {
    Create();
    // Ticked, then unticked: the draws of the finished songs are the same as
    // those of plain ones, so the songs after them are the plain window's.
    Click("CB_Finish");
    Click("RB_CRandom");
    Click("B_CGenerate");
    Click("B_MGenerate");
    Click("CB_Finish");
    Click("B_CGenerate");
    Click("B_MGenerate");
    Click("B_Random");
    const QByteArray afterFinishing = Save("after.mid");
    const QStringList sounds = {Text("CB_Melody"), Text("CB_Acc"), Text("CB_Base"),
                                Text("CB_DrumSet")};

    window = AnotherWindow();
    Click("RB_CRandom");
    for (int i = 0; i < 2; ++i) {
        Click("B_CGenerate");
        Click("B_MGenerate");
    }
    Click("B_Random");
    EXPECT_EQ(Save("plain.mid"), afterFinishing);
    EXPECT_EQ((QStringList{Text("CB_Melody"), Text("CB_Acc"), Text("CB_Base"), Text("CB_DrumSet")}),
              sounds);
}

TEST_F(FinishTest, BoxTickedAndUntickedBeforeGeneratingChangesNothing) {
    Create();
    Click("CB_Finish");
    Click("CB_Finish");
    ASSERT_FALSE(Get<QCheckBox>("CB_Finish")->isChecked());
    Click("B_CGenerate");
    Click("B_MGenerate");
    ExpectGolden(Save(), "window-default.mid");
}

TEST_F(FinishTest, UntickedWindowWritesTheBytesOfBefore) {
    Create();
    ASSERT_FALSE(Get<QCheckBox>("CB_Finish")->isChecked());
    Click("B_CGenerate");
    Click("B_MGenerate");
    ExpectGolden(Save(), "window-default.mid");
}

TEST_F(FinishTest, UntickedSessionWithSettingsWritesTheBytesOfBefore) {
    Create();
    ExpectGolden(SessionWithSettings(), "window-settings.mid");
}

}  // namespace
}  // namespace tontoko::test
