// The piano roll from the keyboard: Tab reaches it, the arrows move a cursor
// cell, Enter and Space press it as a click does and Delete removes a note;
// each move is told to assistive technology.
#include <QAccessible>
#include <QUndoStack>

#include "PianoRollFixture.h"
#include "app/PianoRollTexts.h"
#include "widgets/AccessibleNames.h"

namespace tontoko::test {
namespace {

class RollKeyboardTest : public PianoRollTest {
  protected:
    void TearDown() override { SetAccessibilityObserver({}); }

    // The view reached with Tab from the roll's first control.
    void FocusViewByTab() {
        QApplication::setActiveWindow(Roll());
        auto* first = Roll()->findChild<QCheckBox*>(QStringLiteral("CB_RollAcc"));
        first->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(first, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("B_RollSave"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(View()->hasFocus());
    }
    void Keys(Qt::Key key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QTest::keyClick(View(), key);
        }
    }
    // The names of the undo steps made so far.
    QStringList Steps() {
        auto* stack = window->findChild<QUndoStack*>(QStringLiteral("UndoStack"));
        QStringList steps;
        for (int i = 0; i < stack->count(); ++i) {
            steps << stack->text(i);
        }
        return steps;
    }
    std::vector<QString> Cells() {
        std::vector<QString> cells;
        for (int m = 1; m <= 4; ++m) {
            for (int c = 0; c < 8; ++c) {
                cells.push_back(Name(m, c) + "/" + Octave(m, c));
            }
        }
        return cells;
    }
    std::string AccessibleName() {
        return QAccessible::queryAccessibleInterface(View())->text(QAccessible::Name).toStdString();
    }
    RollCursor At(int step, int pitch) { return {step, pitch}; }
};

TEST_F(RollKeyboardTest, KeysEditAsClicksDoDownToTheSavedBytes) {
    Create();
    OpenRoll();
    FocusViewByTab();
    ASSERT_EQ(View()->Cursor(), At(0, 72));
    const int before = Steps().size();
    std::vector<int> keySteps;
    auto done = [&](std::vector<int>& steps) { steps.push_back(Steps().size()); };

    Keys(Qt::Key_Return);  // C at step 0
    done(keySteps);
    Keys(Qt::Key_Right, 2);
    Keys(Qt::Key_Up, 4);
    Keys(Qt::Key_Space);  // E at 4
    done(keySteps);
    Keys(Qt::Key_Right, 8);
    Keys(Qt::Key_Down, 10);
    Keys(Qt::Key_Enter);  // the F# row gives F at 20
    done(keySteps);
    Keys(Qt::Key_Left, 8);
    Keys(Qt::Key_Up, 10);
    Keys(Qt::Key_Return);  // on the E itself: selected, nothing changes
    done(keySteps);
    Keys(Qt::Key_Down, 2);
    Keys(Qt::Key_Return);  // the E moves to D
    done(keySteps);
    Keys(Qt::Key_Right, 18);
    Keys(Qt::Key_Return);  // D at 40...
    Keys(Qt::Key_Delete);  // ...removed again: it is selected
    done(keySteps);
    Keys(Qt::Key_Right, 2);
    Keys(Qt::Key_Return);  // D at 44
    Keys(Qt::Key_Right);
    Keys(Qt::Key_Delete);  // the D sounding at 46 goes
    done(keySteps);
    Keys(Qt::Key_Right, 4);
    Keys(Qt::Key_Up);
    Keys(Qt::Key_Return);  // the D# row at 54
    Keys(Qt::Key_Up, 2);
    Keys(Qt::Key_Return);  // that note up to F
    done(keySteps);
    EXPECT_EQ(View()->Cursor(), At(54, 77));

    const QStringList keyed = Steps().mid(before);
    const auto keyCells = Cells();
    Save();
    const QByteArray keyBytes = Save();
    ASSERT_EQ(NotesOn(keyBytes, 4).size(), 4u);

    // The same song by clicks, from an empty song again.
    ClearAllMeasures();
    const int cleared = Steps().size();
    std::vector<int> clickSteps;
    auto clicked = [&] { clickSteps.push_back(Steps().size() - cleared + before); };
    RollPress(0, 72);
    clicked();
    RollPress(4, 76);
    clicked();
    RollPress(20, 66);
    clicked();
    RollPress(4, 76);
    clicked();
    RollPress(4, 74);
    clicked();
    RollPress(40, 74);
    RollPress(40, 74, Qt::RightButton);
    clicked();
    RollPress(44, 74);
    RollPress(46, 74, Qt::RightButton);
    clicked();
    RollPress(54, 75);
    RollPress(54, 77);
    clicked();

    // One undo step per key press, as per click, named alike.
    EXPECT_EQ(clickSteps, keySteps);
    EXPECT_EQ(Steps().mid(cleared), keyed);
    EXPECT_EQ(Cells(), keyCells);
    Save();
    EXPECT_EQ(Save(), keyBytes);
}

TEST_F(RollKeyboardTest, TheCursorMovesByCellsAndRowsAndStaysInside) {
    Create();
    OpenRoll();
    FocusViewByTab();
    ASSERT_EQ(Layout().Span().low, 60);
    ASSERT_EQ(Layout().Span().high, 84);
    Keys(Qt::Key_Left);
    EXPECT_EQ(View()->Cursor(), At(0, 72));
    Keys(Qt::Key_Up, 13);
    EXPECT_EQ(View()->Cursor(), At(0, 84));
    Keys(Qt::Key_Down, 30);
    EXPECT_EQ(View()->Cursor(), At(0, 60));
    Keys(Qt::Key_Right);
    EXPECT_EQ(View()->Cursor(), At(2, 60));
    Keys(Qt::Key_Right, 40);
    EXPECT_EQ(View()->Cursor(), At(62, 60));
    // Ctrl with an arrow is no cursor key.
    QTest::keyClick(View(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(View()->Cursor(), At(62, 60));
    EXPECT_TRUE(Steps().isEmpty());

    // A press puts the cursor on the pressed cell; the keys go on from there.
    RollPress(13, 67);
    EXPECT_EQ(View()->Cursor(), At(12, 67));
    Keys(Qt::Key_Right);
    EXPECT_EQ(View()->Cursor(), At(14, 67));

    // A high note widens the rows and the cursor reaches them; when the
    // rows go again, the cursor comes down to the highest left.
    PressCell(1, 0);
    for (int i = 0; i < 18; ++i) {
        PressCell(1, 0, Qt::RightButton);  // up to 90
    }
    ASSERT_EQ(Layout().Span().high, 96);
    Keys(Qt::Key_Up, 40);
    EXPECT_EQ(View()->Cursor(), At(14, 96));
    ClearAllMeasures();
    EXPECT_EQ(Layout().Span().high, 84);
    EXPECT_EQ(View()->Cursor(), At(14, 84));
}

TEST_F(RollKeyboardTest, EachMoveTellsAssistiveTechnologyWhereTheCursorIs) {
    Create();
    OpenRoll();
    std::vector<std::string> said;
    SetAccessibilityObserver([&](QAccessibleEvent& event) {
        if (event.object() == View() && event.type() == QAccessible::NameChanged) {
            said.push_back(AccessibleName());
        }
    });
    FocusViewByTab();
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(View())->text(QAccessible::Description),
        QString::fromUtf8(rolltexts::kEditHint) + '\n' + QString::fromUtf8(rolltexts::kKeyHint));

    Keys(Qt::Key_Left);  // at the edge: no move, nothing said
    EXPECT_TRUE(said.empty());
    Keys(Qt::Key_Right);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "ピアノロール 1小節目 1拍目の裏 ド、オクターブ0");
    Keys(Qt::Key_Right, 11);
    Keys(Qt::Key_Up, 7);
    EXPECT_EQ(said.size(), 19u);
    EXPECT_EQ(said.back(), "ピアノロール 2小節目 3拍目 ソ、オクターブ0");
    Keys(Qt::Key_Down, 8);
    EXPECT_EQ(said.back(), "ピアノロール 2小節目 3拍目 シ、オクターブ-1");

    // What is placed and removed is said as well.
    Keys(Qt::Key_Return);
    EXPECT_EQ(said.back(), "ピアノロール 2小節目 3拍目 シ、オクターブ-1、シの音符");
    Keys(Qt::Key_Right);
    Keys(Qt::Key_Up, 2);
    EXPECT_EQ(said.back(), "ピアノロール 2小節目 3拍目の裏 ド#、オクターブ0、シがのびている");
    Keys(Qt::Key_Delete);
    EXPECT_EQ(said.back(), "ピアノロール 2小節目 3拍目の裏 ド#、オクターブ0");
    // An applied rhythm brings onsets without a pitch.
    Keys(Qt::Key_Left);
    window->ApplyRhythm(2, "1000100010001000");
    EXPECT_EQ(said.back(), "ピアノロール 2小節目 3拍目 ド#、オクターブ0、高さのない音符");
    Keys(Qt::Key_Right);
    EXPECT_EQ(said.back(),
              "ピアノロール 2小節目 3拍目の裏 ド#、オクターブ0、高さのない音符がのびている");
}

TEST_F(RollKeyboardTest, TheCursorIsDrawnOnlyWhileTheViewHasTheFocus) {
    Create();
    OpenRoll();
    FocusViewByTab();
    Keys(Qt::Key_Right, 3);  // step 6, row 72
    const RollRect cell = Layout().SpanRect(6, 8, 72);
    const QPoint frame(cell.x + cell.w / 2, cell.y - 1);
    const QPoint inside(cell.x + cell.w / 2, cell.y + cell.h / 2);
    QImage image = Image();
    EXPECT_EQ(image.pixelColor(frame), rollcolors::kCursor);
    EXPECT_EQ(image.pixelColor(QPoint(cell.x + 1, cell.y + 1)), QColor(Qt::white));
    const QColor tinted = image.pixelColor(inside);

    View()->clearFocus();
    image = Image();
    EXPECT_NE(image.pixelColor(frame), rollcolors::kCursor);
    EXPECT_NE(image.pixelColor(inside), tinted);
    EXPECT_EQ(image.pixelColor(inside), RowColour(6, 72));
    // Nor in the picture that is saved.
    View()->setFocus();
    ASSERT_TRUE(View()->hasFocus());
    EXPECT_NE(View()->Picture().pixelColor(frame), rollcolors::kCursor);
}

TEST_F(RollKeyboardTest, DeleteTakesTheSelectedNoteElseTheNoteAtTheCursor) {
    Create();
    OpenRoll();
    FocusViewByTab();
    Keys(Qt::Key_Delete);  // nothing there: no step
    EXPECT_TRUE(Steps().isEmpty());

    Keys(Qt::Key_Return);  // C at 0
    Keys(Qt::Key_Right, 2);
    Keys(Qt::Key_Return);  // C at 4
    ASSERT_EQ(View()->Song().notes.size(), 2u);
    RollPress(0, 72);
    ASSERT_EQ(View()->Selection(), 0);
    Keys(Qt::Key_Delete);  // the selected note
    ASSERT_EQ(View()->Song().notes.size(), 1u);
    EXPECT_EQ(View()->Song().notes[0].step, 4);

    // A move ends the selection: Delete then takes what sounds at the
    // cursor, here nothing.
    RollPress(4, 72);
    ASSERT_EQ(View()->Selection(), 4);
    Keys(Qt::Key_Left);
    EXPECT_EQ(View()->Selection(), std::nullopt);
    const int steps = Steps().size();
    Keys(Qt::Key_Delete);
    EXPECT_EQ(Steps().size(), steps);
    EXPECT_EQ(View()->Song().notes.size(), 1u);
    // From any row, in the note's tail.
    Keys(Qt::Key_Right, 5);
    Keys(Qt::Key_Down, 3);
    Keys(Qt::Key_Delete);
    EXPECT_TRUE(View()->Song().notes.empty());
    EXPECT_EQ(Steps().size(), steps + 1);
    EXPECT_EQ(Name(1, 2), QString());
}

TEST_F(RollKeyboardTest, TheMelodyGridsStillAnswerOnlyToDelete) {
    Create();
    PressCell(1, 5);
    StringGrid* grid = Grid("Melody", 1);
    const QStringList steps = Steps();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right}) {
        QTest::keyClick(grid, key);
    }
    EXPECT_EQ(Steps(), steps);
    EXPECT_EQ(Name(1, 5), QStringLiteral("ド"));
    QTest::keyClick(grid, Qt::Key_Delete);  // the column last pressed
    EXPECT_EQ(Name(1, 5), QString());
}

}  // namespace
}  // namespace tontoko::test
