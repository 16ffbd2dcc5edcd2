// Melody grids, chord selectors, fix boxes and clearing.
#include <QPushButton>
#include <QTimer>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class MelodyTest : public MainWindowTest {
  protected:
    std::pair<QString, QString> Cell(int m, int c) { return {Name(m, c), Octave(m, c)}; }
    std::pair<QString, QString> Shown(const char* name, const char* octave) {
        return {U(name), U(octave)};
    }
    void DeleteKey(int measure) { QTest::keyClick(Grid("Melody", measure), Qt::Key_Delete); }
};

TEST_F(MelodyTest, PressesCreateAndMoveNotes) {
    Create();
    PressCell(1, 0);
    EXPECT_EQ(Cell(1, 0), Shown("ド", "0"));
    PressCell(1, 0);
    EXPECT_EQ(Cell(1, 0), Shown("シ", "-1"));
    PressCell(1, 0, Qt::RightButton);
    PressCell(1, 0, Qt::RightButton);
    EXPECT_EQ(Cell(1, 0), Shown("ド#", "0"));
    // The middle button rewrites the cells and keeps the pitch (73).
    Grid("Melody", 1)->SetCell(0, QString());
    Grid("Octave", 1)->SetCell(0, QString());
    PressCell(1, 0, Qt::MiddleButton);
    EXPECT_EQ(Cell(1, 0), Shown("ド#", "0"));
    PressCell(1, 0);
    EXPECT_EQ(Cell(1, 0), Shown("ド", "0"));

    // The new note is written as an onset at step 0 with pitch 72.
    const auto melody = NotesOn(Save(), 4);
    ASSERT_EQ(melody.size(), 1u);
    EXPECT_EQ(melody[0].tick, 0);
    EXPECT_EQ(melody[0].data1, 72);
}

TEST_F(MelodyTest, DoubleClickCountsAsTwoPresses) {
    Create();
    StringGrid* grid = Grid("Melody", 3);
    // Through the window system, as a real double click arrives.
    const QPoint at = grid->viewport()->mapTo(window.get(), grid->CellCenter(4));
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Cell(3, 4), Shown("シ", "-1"));
}

TEST_F(MelodyTest, LeavingTheRangeStartsTheNoteAgain) {
    Create();
    PressCell(2, 7);  // 72
    for (int i = 0; i < 35; ++i) {
        PressCell(2, 7);
    }
    EXPECT_EQ(Cell(2, 7), Shown("ド#", "-3"));  // 37
    PressCell(2, 7);
    EXPECT_EQ(Cell(2, 7), Shown("ド", "-3"));  // 36
    PressCell(2, 7);
    EXPECT_EQ(Cell(2, 7), Shown("ド", "0"));  // 72 again
    for (int i = 0; i < 24; ++i) {
        PressCell(2, 7, Qt::RightButton);
    }
    EXPECT_EQ(Cell(2, 7), Shown("ド", "2"));  // 96
    PressCell(2, 7, Qt::RightButton);
    EXPECT_EQ(Cell(2, 7), Shown("ド#", "2"));  // 97
    PressCell(2, 7, Qt::RightButton);
    EXPECT_EQ(Cell(2, 7), Shown("ド", "0"));
}

TEST_F(MelodyTest, DeleteUsesTheColumnOfTheLastPressInAnyGrid) {
    Create();
    PressCell(4, 0);
    PressCell(3, 5);
    PressCell(1, 5);
    PressCell(1, 5);  // 71
    DeleteKey(3);
    EXPECT_EQ(Cell(3, 5), Shown("", ""));
    EXPECT_EQ(Cell(1, 5), Shown("シ", "-1"));
    // Pressing again creates a note, so the pitch went too.
    PressCell(3, 5);
    EXPECT_EQ(Cell(3, 5), Shown("ド", "0"));

    // Delete on an empty cell changes nothing; other keys do nothing.
    PressCell(1, 5);  // 70
    PressCell(4, 0);  // 71
    QTest::keyClick(Grid("Melody", 4), Qt::Key_Backspace);
    EXPECT_EQ(Cell(4, 0), Shown("シ", "-1"));
    DeleteKey(2);
    EXPECT_EQ(Cell(4, 0), Shown("シ", "-1"));
    QTest::keyClick(Grid("Melody", 4), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Cell(4, 0), Shown("", ""));

    const auto melody = NotesOn(Save(), 4);
    ASSERT_EQ(melody.size(), 2u);  // measure 1 column 5 and measure 3 column 5
    EXPECT_EQ(melody[0].tick, 10 * 24);
    EXPECT_EQ(melody[0].data1, 70);
    EXPECT_EQ(melody[1].tick, (32 + 10) * 24);
    EXPECT_EQ(melody[1].data1, 72);
}

TEST_F(MelodyTest, DeleteBeforeAnyPressActsOnColumnZero) {
    Create();
    Click("B_MGenerate");  // every measure starts with an onset
    ASSERT_FALSE(Name(2, 0).isEmpty());
    const QString third = Name(3, 0);
    DeleteKey(2);
    EXPECT_EQ(Cell(2, 0), Shown("", ""));
    EXPECT_EQ(Name(3, 0), third);
}

TEST_F(MelodyTest, ClearOneMeasureOrAll) {
    Create();
    for (int m = 1; m <= 4; ++m) {
        PressCell(m, 2);
        PressCell(m, 2);  // 71
    }
    Click("Fix_Rhythm2");
    Click("Fix_Melody2");
    Press("UD_Measure", true);
    EXPECT_EQ(Text("Edit_Measure"), U("2小節目の"));
    Click("B_Clear");
    EXPECT_EQ(Cell(2, 2), Shown("", ""));
    EXPECT_EQ(Cell(1, 2), Shown("シ", "-1"));
    EXPECT_EQ(Cell(3, 2), Shown("シ", "-1"));
    EXPECT_TRUE(Get<QCheckBox>("Fix_Rhythm2")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("Fix_Melody2")->isChecked());
    PressCell(2, 2);
    EXPECT_EQ(Cell(2, 2), Shown("ド", "0"));  // created anew: the pitch was cleared

    Press("UD_Measure", true, 2);
    EXPECT_EQ(Text("Edit_Measure"), U("4小節目の"));
    Press("UD_Measure", true);
    EXPECT_EQ(Text("Edit_Measure"), U("全小節の"));
    Press("UD_Measure", true);
    EXPECT_EQ(Text("Edit_Measure"), U("全小節の"));
    Click("B_Clear");
    for (int m = 1; m <= 4; ++m) {
        EXPECT_EQ(Cell(m, 2), Shown("", "")) << m;
    }
    EXPECT_TRUE(NotesOn(Save(), 4).empty());
    Press("UD_Measure", false);
    EXPECT_EQ(Text("Edit_Measure"), U("4小節目の"));
}

TEST_F(MelodyTest, FixBoxesAndWhatGenerationKeeps) {
    Create();
    auto* fixRhythm = Get<QCheckBox>("Fix_Rhythm3");
    auto* fixMelody = Get<QCheckBox>("Fix_Melody3");
    Click("Fix_Rhythm3");
    EXPECT_TRUE(fixMelody->isEnabled());
    Click("Fix_Melody3");
    EXPECT_TRUE(fixMelody->isChecked());
    Click("Fix_Rhythm3");
    EXPECT_FALSE(fixRhythm->isChecked());
    EXPECT_FALSE(fixMelody->isChecked());
    EXPECT_FALSE(fixMelody->isEnabled());

    // Measure 1: a single note at column 3, rhythm fixed: generation keeps the
    // onset and finds a new pitch. Measure 2: fixed melody keeps its note.
    PressCell(1, 3);
    Click("Fix_Rhythm1");
    PressCell(2, 6);
    PressCell(2, 6);  // 71
    Click("Fix_Rhythm2");
    Click("Fix_Melody2");
    for (int i = 0; i < 5; ++i) {
        Click("B_MGenerate");
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(Name(1, c).isEmpty(), c != 3) << c;
            EXPECT_EQ(Name(2, c).isEmpty(), c != 6) << c;
        }
        // Not raised a second time by the octave shift.
        EXPECT_EQ(Cell(2, 6), Shown("シ", "-1"));
    }
}

TEST_F(MelodyTest, NamesFollowTheKeyOffset) {
    Create();
    Click("RB_DSelf");
    Press("UD_Dur", true, 2);  // k = 2
    PressCell(1, 0);
    EXPECT_EQ(Cell(1, 0), Shown("ド", "-1"));  // pitch 72 shown relative to D
    Click("Fix_Rhythm1");
    Click("Fix_Melody1");
    Click("B_MGenerate");
    EXPECT_EQ(Cell(1, 0), Shown("ﾗ#", "-1"));  // 72 - 2 = 70
}

TEST_F(MelodyTest, ChordSelectorStoresTheSlotAndLeavesTheGrids) {
    Create();
    PressCell(2, 4);
    Pick("CB_Two2", 5);  // VI in slot 3
    EXPECT_EQ(Cell(2, 4), Shown("ド", "0"));
    // The bass of the second half of measure 2 is VI's bass, 45.
    bool found = false;
    for (const MidiEvent& e : NotesOn(Save(), 0)) {
        if (e.tick >= 24 * 24 && e.tick < 32 * 24) {
            EXPECT_EQ(e.data1, 45);
            found = true;
        } else if (e.tick >= 16 * 24 && e.tick < 24 * 24) {
            EXPECT_EQ(e.data1, 41);  // IV's bass in the first half
        }
    }
    EXPECT_TRUE(found);
    // Generating a progression shows the slots again.
    Click("B_CGenerate");
    EXPECT_EQ(Text("CB_Two1"), Text("CB_Two2"));
}

TEST_F(MelodyTest, PitchWithoutOnsetAndOnsetWithoutPitch) {
    Create();
    RhythmTarget& target = *window;
    PressCell(1, 1);             // step 2: onset, pitch 72
    PressCell(1, 1);             // 71
    target.SetMelodyMark(2, 0);  // the onset goes, the pitch stays
    target.SetMelodyMark(4, 1);  // an onset whose pitch is 0 (= k)
    // A press adjusts the left-over pitch and leaves the onset mark alone.
    PressCell(1, 1);
    EXPECT_EQ(Cell(1, 1), Shown("ﾗ#", "-1"));
    Click("Fix_Rhythm1");
    Click("Fix_Melody1");
    Click("B_MGenerate");
    EXPECT_EQ(Name(1, 1), QString());  // emptied by the refresh
    EXPECT_EQ(Cell(1, 2), Shown("", "-6"));
}

TEST_F(MelodyTest, RhythmTargetWritesMarksCellsAndFixBox) {
    Create();
    RhythmTarget& target = *window;
    for (int i = 0; i < 16; ++i) {
        target.SetMelodyMark(32 + i, i % 2 == 0 ? 1 : 0);
    }
    EXPECT_EQ(target.MelodyMark(34), 1);
    EXPECT_EQ(target.MelodyMark(35), 0);
    target.SetMelodyCell(3, 1, U("*"));
    target.SetOctaveCell(3, 1, QString());
    target.CheckFixRhythm(3);
    EXPECT_EQ(Name(3, 1), U("*"));
    EXPECT_TRUE(Get<QCheckBox>("Fix_Rhythm3")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("Fix_Melody3")->isEnabled());
    // The next generation keeps the applied onsets and gives them pitches.
    Click("B_MGenerate");
    for (int c = 0; c < 8; ++c) {
        EXPECT_FALSE(Name(3, c).isEmpty()) << c;
        EXPECT_NE(Name(3, c), U("*"));
    }
}

}  // namespace
}  // namespace tontoko::test

namespace tontoko::test {
namespace {

// The rhythm dialog, opened from the menu, applies a registered rhythm to
// measure 3 of the window's song.
TEST_F(MainWindowTest, RhythmDialogAppliesToTheWindow) {
    Create();
    Click("B_MGenerate");
    bool applied = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* regist = dialog->findChild<StringGrid*>(QStringLiteral("SG_Regist"));
        if (!regist) {
            ADD_FAILURE() << "SG_Regist";
            dialog->close();
            return;
        }
        for (int c = 0; c < 8; c += 2) {
            emit regist->mousePressed(c, Qt::LeftButton);
        }
        dialog->findChild<QPushButton*>(QStringLiteral("B_Regist"))->click();
        auto* measure = dialog->findChild<UpDown*>(QStringLiteral("UD_Apply"));
        measure->Press(true);
        measure->Press(true);
        dialog->findChild<QPushButton*>(QStringLiteral("B_Apply"))->click();
        applied = true;
        dialog->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    Trigger("MI_Resist");
    ASSERT_TRUE(applied);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(Name(3, c), c % 2 == 0 ? QStringLiteral("*") : QString()) << c;
        EXPECT_TRUE(Octave(3, c).isEmpty());
    }
    EXPECT_TRUE(Get<QCheckBox>("Fix_Rhythm3")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("Fix_Melody3")->isEnabled());
    Click("B_MGenerate");
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(Name(3, c).isEmpty(), c % 2 == 1) << c;
    }
}

}  // namespace
}  // namespace tontoko::test
