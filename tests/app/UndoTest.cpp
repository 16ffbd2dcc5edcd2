// Undo and redo: each kind of change is one step that undo takes back exactly,
// the edit menu and its buttons, and closing with changes never saved.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QToolBar>

#include "UndoFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Change {
    const char* name;
    std::function<void(UndoTest&)> make;
    // What comes before it and is not part of it (a view, or another step).
    std::function<void(UndoTest&)> prepare = {};
};

TEST_F(UndoTest, EachKindOfChangeIsOneStepThatUndoTakesBackExactly) {
    Open();
    Click("RB_MEight");
    Click("B_CGenerate");
    Click("B_MGenerate");
    const std::vector<Change> changes = {
        {"chords", [](UndoTest& t) { t.Click("B_CGenerate"); }},
        {"melody", [](UndoTest& t) { t.Click("B_MGenerate"); }},
        {"a press", [](UndoTest& t) { t.PressCell(1, 1, Qt::RightButton); }},
        {"a new note", [](UndoTest& t) { t.PressCell(2, 0); }},
        {"delete", [](UndoTest& t) { QTest::keyClick(t.Grid("Melody", 2), Qt::Key_Delete); }},
        {"a chord", [](UndoTest& t) { t.Pick("CB_Two2", 5); }},
        {"fix a rhythm", [](UndoTest& t) { t.Click("Fix_Rhythm2"); }},
        {"fix a melody", [](UndoTest& t) { t.Click("Fix_Melody2"); }},
        {"unfix the rhythm", [](UndoTest& t) { t.Click("Fix_Rhythm2"); }},
        {"clear a measure", [](UndoTest& t) { t.Click("B_Clear"); }},
        {"clear all",
         [](UndoTest& t) {
             t.Press("UD_Measure", true, 4);
             t.Click("B_Clear");
         }},
        {"apply a rhythm", [](UndoTest& t) { t.ApplyRhythm(1, 3); }},
        {"dark", [](UndoTest& t) { t.Click("RB_DMinor"); }},
        {"own key", [](UndoTest& t) { t.Click("RB_DSelf"); }},
        {"key up", [](UndoTest& t) { t.Press("UD_Dur", true); }},
        {"bright own key", [](UndoTest& t) { t.Click("RB_SDMajor"); }},
        {"fast", [](UndoTest& t) { t.Click("RB_TFast"); }},
        {"own tempo", [](UndoTest& t) { t.Click("RB_TSelf"); }},
        {"tempo down", [](UndoTest& t) { t.Press("UD_Tempo", false); }},
        {"random first chord", [](UndoTest& t) { t.Click("RB_CRandom"); }},
        {"own first chord", [](UndoTest& t) { t.Click("RB_CSelf"); }},
        {"first chord Ⅳ", [](UndoTest& t) { t.Pick("CB_CSelf", 3); }},
        {"quarters", [](UndoTest& t) { t.Click("RB_MFour"); }},
        {"finish", [](UndoTest& t) { t.Click("CB_Finish"); }},
        {"melody instrument", [](UndoTest& t) { t.Pick("CB_Melody", 40); }},
        {"accompaniment instrument", [](UndoTest& t) { t.Pick("CB_Acc", 5); }},
        {"bass instrument", [](UndoTest& t) { t.Pick("CB_Base", 33); }},
        {"drum set", [](UndoTest& t) { t.Pick("CB_DrumSet", 4); }},
        {"random sounds", [](UndoTest& t) { t.Click("B_Random"); }},
        {"melody volume", [](UndoTest& t) { t.Press("UD_VMelody", false); }},
        {"accompaniment volume", [](UndoTest& t) { t.Press("UD_VAcc", false); }},
        {"bass volume", [](UndoTest& t) { t.Press("UD_VBase", false); }},
        {"drum volume", [](UndoTest& t) { t.Press("UD_VDrum", false); }},
        {"accompaniment pattern", [](UndoTest& t) { t.Pick("CB_AccPattern", 3); }},
        {"drum pattern", [](UndoTest& t) { t.Pick("CB_DrumPattern", 1); }},
        {"drums off", [](UndoTest& t) { t.Click("CB_Drum"); }},
        {"fade in", [](UndoTest& t) { t.Click("RB_FadeIn"); }},
        {"fade out", [](UndoTest& t) { t.Click("RB_FadeOut"); }},
        {"interval", [](UndoTest& t) { t.Press("UD_Interval", true); }},
        {"a percentage", [](UndoTest& t) { t.Press("UD2", true); }},
        {"equal row", [](UndoTest& t) { t.Click("CBEqual"); },
         [](UndoTest& t) { t.Pick("CB_Chord", 3); }},
        {"roll note", [](UndoTest& t) { t.RollPress(20, 0.5, Qt::LeftButton); }},
        {"roll drag", [](UndoTest& t) { t.RollPress(20, 0.5, Qt::LeftButton, 0.9); }},
        {"roll delete",
         [](UndoTest& t) {
             QTest::keyClick(t.window->findChild<TSPianoRoll*>()->View(), Qt::Key_Delete);
         },
         [](UndoTest& t) { t.RollPress(20, 0.2, Qt::LeftButton); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        if (change.prepare) {
            change.prepare(*this);
        }
        const QStringList before = Seen();
        const QByteArray bytesBefore = Saved();
        const int steps = Steps();
        change.make(*this);
        ASSERT_EQ(Steps(), steps + 1) << "one change, one step";
        const QStringList after = Seen();
        const QByteArray bytesAfter = Saved();
        EXPECT_TRUE(after != before || bytesAfter != bytesBefore) << "the step changed nothing";

        Trigger("MI_Undo");
        EXPECT_TRUE(Seen() == before) << Difference(Seen(), before);
        EXPECT_EQ(Saved(), bytesBefore);
        Trigger("MI_Redo");
        EXPECT_TRUE(Seen() == after) << Difference(Seen(), after);
        EXPECT_EQ(Saved(), bytesAfter);
    }
}

TEST_F(UndoTest, TheEditMenuNamesTheStepsAndItsItemsFollowTheStack) {
    Open();
    // "編集" right after "ファイル", with its two items and shortcuts.
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions()) {
        menus << menu->menu()->objectName();
    }
    ASSERT_GE(menus.size(), 2);
    EXPECT_EQ(menus[1], QStringLiteral("MM_Edit"));
    EXPECT_EQ(Get<QMenu>("MM_Edit")->title(), U("編集(&E)"));
    QStringList items;
    for (QAction* item : Get<QMenu>("MM_Edit")->actions()) {
        items << item->objectName();
    }
    EXPECT_EQ(items, QStringList({"MI_Undo", "MI_Redo"}));
    EXPECT_EQ(Get<QAction>("MI_Undo")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(Get<QAction>("MI_Redo")->shortcuts(),
              QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Y")),
                                   QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));

    // Nothing to take back at start.
    for (const char* name : {"MI_Undo", "MI_Redo", "TB_Undo", "TB_Redo"}) {
        EXPECT_FALSE(Get<QAction>(name)->isEnabled()) << name;
    }
    EXPECT_EQ(Get<QAction>("MI_Undo")->text(), U("元に戻す(&U)"));

    Click("B_MGenerate");
    EXPECT_EQ(Get<QAction>("MI_Undo")->text(), U("元に戻す(&U) メロディ生成"));
    EXPECT_TRUE(Get<QAction>("TB_Undo")->isEnabled());
    EXPECT_FALSE(Get<QAction>("TB_Redo")->isEnabled());
    Pick("CB_Two1", 1);
    EXPECT_EQ(Get<QAction>("MI_Undo")->text(), U("元に戻す(&U) 2小節目の和音"));
    Click("RB_TSlow");
    Trigger("TB_Undo");
    EXPECT_EQ(Get<QAction>("MI_Redo")->text(), U("やり直し(&R) テンポ"));
    EXPECT_TRUE(Get<QAction>("TB_Redo")->isEnabled());
    EXPECT_TRUE(Get<QRadioButton>("RB_TMedium")->isChecked());

    // The keyboard reaches the items, also from a grid.
    QApplication::setActiveWindow(window.get());
    StringGrid* grid = Grid("Melody", 1);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(Get<QRadioButton>("RB_TSlow")->isChecked());
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Get<QRadioButton>("RB_TMedium")->isChecked());
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Get<QRadioButton>("RB_TSlow")->isChecked());

    // A change after an undo leaves nothing to redo.
    Trigger("MI_Undo");
    Trigger("MI_Undo");
    Click("RB_TFast");
    EXPECT_FALSE(Get<QAction>("MI_Redo")->isEnabled());
    EXPECT_EQ(Get<QAction>("MI_Undo")->text(), U("元に戻す(&U) テンポ"));
}

TEST_F(UndoTest, GeneratingAgainAfterAnUndoMakesANewSong) {
    Open();
    Click("B_MGenerate");
    const QByteArray first = Saved();
    Trigger("MI_Undo");
    Click("B_MGenerate");
    EXPECT_NE(Saved(), first) << "the random source went on";
}

TEST_F(UndoTest, ADragInTheRollIsOneStep) {
    Open();
    const int steps = Steps();
    ASSERT_TRUE(RollPress(8, 0.3, Qt::LeftButton, 0.8));
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_EQ(Get<QAction>("MI_Undo")->text(), U("元に戻す(&U) ピアノロール"));
    Trigger("MI_Undo");
    EXPECT_EQ(Name(1, 4), QString());
}

TEST_F(UndoTest, AThousandStepsAreKept) {
    Open();
    for (int i = 0; i < 1001; ++i) {
        PressCell(1 + i % 4, i % 8, i % 2 ? Qt::LeftButton : Qt::RightButton);
    }
    EXPECT_EQ(stack->count(), 1000);
}

TEST_F(UndoTest, ClosingWithUnsavedChangesAsksFirst) {
    Open();
    // Nothing changed: the window closes as it always did.
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(messages.shown.empty());

    window->show();
    Click("B_MGenerate");
    const ShownMessage question{U("保存していない変更があります。保存しますか？"),
                                QStringLiteral("Warning"), MessageButtons::SaveDiscardCancel};
    messages.saveAnswer = MessageAnswer::Cancel;
    EXPECT_FALSE(window->close());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], question);
    EXPECT_TRUE(window->isVisible());

    // 保存 with the save dialog cancelled: nothing saved, the window stays.
    messages.saveAnswer = MessageAnswer::Save;
    dialogs.next.reset();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());

    // 保存 with a name: saved, then closed.
    dialogs.next = QString::fromStdString(dir.File("kept.mid"));
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(ReadAll(QString::fromStdString(dir.File("kept.mid"))).isEmpty());

    // Saved and unchanged since: no question.
    window->show();
    messages.shown.clear();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(messages.shown.empty());

    // 保存しない closes without saving; undoing back to the saved song is
    // nothing to lose.
    window->show();
    Press("UD_VAcc", false);
    Trigger("MI_Undo");
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(messages.shown.empty());
    window->show();
    Press("UD_VAcc", false);
    messages.saveAnswer = MessageAnswer::Discard;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(UndoTest, ExitAsksItsOwnQuestionThenAboutUnsavedChanges) {
    Open();
    Click("B_CGenerate");
    messages.answer = MessageAnswer::No;
    Trigger("MI_Exit");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, U("終了"));
    EXPECT_TRUE(window->isVisible());

    messages.answer = MessageAnswer::Yes;
    messages.saveAnswer = MessageAnswer::Cancel;
    Trigger("MI_Exit");
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].buttons, MessageButtons::SaveDiscardCancel);
    EXPECT_TRUE(window->isVisible());

    messages.saveAnswer = MessageAnswer::Discard;
    Trigger("MI_Exit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(messages.shown.size(), 5u) << "asked once more each, never twice";
}

// Counts the paint events each named widget receives.
class PaintCounter : public QObject {
  public:
    std::map<QString, int> painted;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && !object->objectName().isEmpty()) {
            ++painted[object->objectName()];
        }
        return false;
    }
};

TEST_F(UndoTest, AStepRepaintsWhatItChangedAndLeavesTheRestOfThePageAlone) {
    Open();
    Click("B_CGenerate");
    Click("B_MGenerate");
    PressCell(2, 3, Qt::RightButton);
    PressCell(3, 5, Qt::RightButton);
    QTest::qWait(300);

    // Undo changes one melody cell, and makes redo possible.
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    Trigger("MI_Undo");
    QTest::qWait(300);
    qApp->removeEventFilter(&counter);

    EXPECT_GT(counter.painted[QStringLiteral("PianoRollView")], 0);
    for (const char* untouched : {"GB_Settei", "GB_Tempo", "GB_Etc", "Melody1", "Melody4"}) {
        EXPECT_EQ(counter.painted[QString::fromLatin1(untouched)], 0) << untouched;
    }
}

}  // namespace
}  // namespace tontoko::test
