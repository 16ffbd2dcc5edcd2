// Songs of several parts of four measures: the group "そのた", the part shown,
// generation and editing on that part, adding and removing parts with undo.
#include <QGroupBox>
#include <QPushButton>
#include <QUndoStack>

#include "MainFixture.h"
#include "editing/RhythmCfg.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

constexpr int kPartTicks = kSongSteps * kTicksPerStep;

// The melody's notes of one part (0..) of a saved file, ticks from the part's
// start, with their pitches.
std::vector<std::pair<int, int>> PartMelody(const QByteArray& bytes, int part) {
    std::vector<std::pair<int, int>> notes;
    for (const MidiEvent& e : NotesOn(bytes, kMelodyVoice)) {
        if (e.tick / kPartTicks == part) {
            notes.emplace_back(e.tick % kPartTicks, e.data1);
        }
    }
    return notes;
}

class MainPartsTest : public MainWindowTest {
  protected:
    QUndoStack* Stack() { return window->findChild<QUndoStack*>(QStringLiteral("UndoStack")); }
    QStringList Titles() {
        QStringList titles;
        for (const char* name : {"GB_One", "GB_Two", "GB_Three", "GB_Four"}) {
            titles << Get<QGroupBox>(name)->title();
        }
        return titles;
    }
};

TEST_F(MainPartsTest, TheGroupShowsTheLengthAndThePositionAndNoLongerPromises) {
    Create();
    EXPECT_EQ(Text("Label_MLength"), U("4小節です."));
    EXPECT_EQ(Get<QWidget>("Label_MLength")->toolTip(),
              U("曲の長さです．「4小節ふやす」で長くできます．"));
    EXPECT_EQ(Text("Label_MPos"), U("1小節目の先頭です."));
    EXPECT_EQ(Get<QWidget>("UD_MPos")->toolTip(),
              U("表示する4小節をえらびます．演奏はここから始まります．"));
    EXPECT_EQ(Get<QPushButton>("B_PartAdd")->text(), U("4小節ふやす"));
    EXPECT_EQ(Get<QPushButton>("B_PartDelete")->text(), U("この4小節をけす"));
    EXPECT_TRUE(Get<QWidget>("B_PartAdd")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("B_PartDelete")->isEnabled());
    EXPECT_EQ(Titles(), (QStringList{U("1小節目"), U("2小節目"), U("3小節目"), U("4小節目")}));
    // Nothing changes for a song of one part: the bytes are the golden ones
    // (checked elsewhere); pressing the position does nothing.
    Press("UD_MPos", true);
    EXPECT_EQ(Text("Label_MPos"), U("1小節目の先頭です."));
    EXPECT_EQ(Stack()->count(), 0);
}

TEST_F(MainPartsTest, AddingAPartCopiesThePartShownAfterItAndShowsTheCopy) {
    Create();
    Click("RB_MEight");
    Click("B_MGenerate");
    Click("Fix_Rhythm2");
    PressCell(3, 0, Qt::RightButton);
    const QString cell = Name(3, 0);
    const QByteArray one = Save("one.mid");

    Click("B_PartAdd");
    EXPECT_EQ(Text("Label_MLength"), U("8小節です."));
    EXPECT_EQ(Text("Label_MPos"), U("5小節目の先頭です."));
    EXPECT_EQ(Get<UpDown>("UD_MPos")->Position(), 1);
    EXPECT_EQ(Titles(), (QStringList{U("5小節目"), U("6小節目"), U("7小節目"), U("8小節目")}));
    EXPECT_EQ(Text("Edit_Measure"), U("5小節目の"));
    EXPECT_TRUE(Get<QWidget>("B_PartDelete")->isEnabled());
    EXPECT_TRUE(Get<QCheckBox>("Fix_Rhythm2")->isChecked());
    EXPECT_EQ(Name(3, 0), cell);
    EXPECT_EQ(Stack()->undoText(), U("4小節ふやす"));

    const QByteArray two = Save("two.mid");
    ASSERT_FALSE(PartMelody(one, 0).empty());
    EXPECT_EQ(PartMelody(two, 0), PartMelody(one, 0));
    EXPECT_EQ(PartMelody(two, 1), PartMelody(one, 0));
    EXPECT_TRUE(PartMelody(two, 2).empty());
}

TEST_F(MainPartsTest, GeneratingAndEditingActOnThePartShownOnly) {
    Create();
    Click("RB_MEight");
    Click("B_MGenerate");
    Click("B_PartAdd");
    const auto first = PartMelody(Save("before.mid"), 0);
    for (int i = 0; i < 5; ++i) {
        Click("B_CGenerate");
        Click("B_MGenerate");
    }
    PressCell(2, 3);
    Click("Fix_Rhythm4");
    const QByteArray after = Save("after.mid");
    EXPECT_EQ(PartMelody(after, 0), first);
    EXPECT_NE(PartMelody(after, 1), first);
    // The step names the measure by its number in the song.
    Click("Fix_Rhythm1");
    EXPECT_EQ(Stack()->undoText(), U("5小節目のリズムを固定する"));

    // Back at the first part, its boxes are its own.
    Press("UD_MPos", false);
    EXPECT_EQ(Text("Label_MPos"), U("1小節目の先頭です."));
    EXPECT_FALSE(Get<QCheckBox>("Fix_Rhythm1")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("Fix_Rhythm4")->isChecked());
    Click("B_MGenerate");
    EXPECT_EQ(PartMelody(Save("last.mid"), 1), PartMelody(after, 1));
}

TEST_F(MainPartsTest, ThePositionIsAViewAndUndoShowsThePartAStepConcerns) {
    Create();
    Click("B_PartAdd");
    Click("B_PartAdd");
    EXPECT_EQ(Text("Label_MPos"), U("9小節目の先頭です."));
    const int steps = Stack()->count();
    Press("UD_MPos", false, 2);
    EXPECT_EQ(Text("Label_MPos"), U("1小節目の先頭です."));
    EXPECT_EQ(Stack()->count(), steps);

    // Undo of the second copy shows the part it was copied from.
    Trigger("MI_Undo");
    EXPECT_EQ(Text("Label_MLength"), U("8小節です."));
    EXPECT_EQ(Text("Label_MPos"), U("5小節目の先頭です."));
    Trigger("MI_Redo");
    EXPECT_EQ(Text("Label_MLength"), U("12小節です."));
    EXPECT_EQ(Text("Label_MPos"), U("9小節目の先頭です."));

    // Undo of a removal shows the part removed.
    Press("UD_MPos", false);
    Click("B_PartDelete");
    EXPECT_EQ(Text("Label_MLength"), U("8小節です."));
    EXPECT_EQ(Stack()->undoText(), U("この4小節をけす"));
    Press("UD_MPos", false);
    Trigger("MI_Undo");
    EXPECT_EQ(Text("Label_MLength"), U("12小節です."));
    EXPECT_EQ(Text("Label_MPos"), U("5小節目の先頭です."));
}

TEST_F(MainPartsTest, ASongHasOneToEightPartsAndARemovedPartLeavesTheSong) {
    Create();
    Click("B_MGenerate");
    const auto first = PartMelody(Save("first.mid"), 0);
    Click("B_PartAdd");
    Click("B_CGenerate");
    Click("B_MGenerate");
    const auto second = PartMelody(Save("second.mid"), 1);
    Click("B_PartAdd");
    // Parts 1, 2, 2: the middle one goes, the song is parts 1 and 2.
    Press("UD_MPos", false);
    Click("B_PartDelete");
    EXPECT_EQ(Text("Label_MPos"), U("5小節目の先頭です."));
    const QByteArray two = Save("two.mid");
    EXPECT_EQ(PartMelody(two, 0), first);
    EXPECT_EQ(PartMelody(two, 1), second);
    EXPECT_TRUE(PartMelody(two, 2).empty());

    for (int i = 0; i < 10; ++i) {
        Click("B_PartAdd");
    }
    EXPECT_EQ(Text("Label_MLength"), U("32小節です."));
    EXPECT_FALSE(Get<QWidget>("B_PartAdd")->isEnabled());
    EXPECT_EQ(Get<UpDown>("UD_MPos")->Position(), 7);
    for (int i = 0; i < 10; ++i) {
        Click("B_PartDelete");
    }
    EXPECT_EQ(Text("Label_MLength"), U("4小節です."));
    EXPECT_EQ(Text("Label_MPos"), U("1小節目の先頭です."));
    EXPECT_FALSE(Get<QWidget>("B_PartDelete")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("B_PartAdd")->isEnabled());
}

TEST_F(MainPartsTest, EachPartKeepsItsCellsAndTheRhythmDialogOffersItsMeasures) {
    Create();
    Click("B_PartAdd");
    PressCell(2, 1);
    PressCell(2, 1, Qt::RightButton);
    const QString name = Name(2, 1);
    const QString octave = Octave(2, 1);
    ASSERT_FALSE(name.isEmpty());
    Press("UD_MPos", false);
    EXPECT_TRUE(Name(2, 1).isEmpty());
    Press("UD_MPos", true);
    EXPECT_EQ(Name(2, 1), name);
    EXPECT_EQ(Octave(2, 1), octave);

    auto* dialog = window->findChild<TSRhythmCfg*>();
    ASSERT_NE(dialog, nullptr);
    dialog->FormShow();
    auto* apply = dialog->findChild<UpDown*>(QStringLiteral("UD_Apply"));
    ASSERT_NE(apply, nullptr);
    EXPECT_EQ(apply->Position(), 5);
    apply->SetPosition(9);
    EXPECT_EQ(apply->Position(), 8);
    window->ApplyRhythm(3, "1000100010001000");
    EXPECT_EQ(Stack()->undoText(), U("7小節目のリズムの適用"));
    EXPECT_EQ(Name(3, 0), U("*"));
    Press("UD_MPos", false);
    EXPECT_TRUE(Name(3, 0).isEmpty());
}

}  // namespace
}  // namespace tontoko::test
