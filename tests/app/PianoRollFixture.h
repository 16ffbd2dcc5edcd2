#pragma once

// The main window with its piano roll: finding the roll, reading its picture
// and pressing in it.
#include <QImage>
#include <QMouseEvent>

#include "MainFixture.h"
#include "app/PianoRoll.h"
#include "app/PianoRollPainter.h"
#include "app/PianoRollView.h"

namespace tontoko::test {

class PianoRollTest : public MainWindowTest {
  protected:
    TSPianoRoll* Roll() {
        auto* roll = window->findChild<TSPianoRoll*>(QStringLiteral("TSPianoRoll"));
        EXPECT_NE(roll, nullptr);
        return roll;
    }
    PianoRollView* View() {
        auto* view = window->findChild<PianoRollView*>(QStringLiteral("PianoRollView"));
        EXPECT_NE(view, nullptr);
        return view;
    }
    const PianoRollLayout& Layout() { return View()->Layout(); }

    // Opens the roll from the menu, at a known size.
    void OpenRoll() {
        Trigger("MI_PianoRoll");
        ASSERT_TRUE(Roll()->isVisible());
        Roll()->resize(760, 470);
        QCoreApplication::processEvents();
    }

    QImage Image() { return View()->grab().toImage(); }

    static QPoint Centre(const RollRect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }
    static QColor At(const QImage& image, const RollRect& cell) {
        return image.pixelColor(Centre(cell));
    }
    QColor CellColour(const QImage& image, int step, int pitch) {
        return At(image, Layout().CellRect(step, pitch));
    }

    // What an empty cell shows: the chord-tone tint, the scale shading or
    // the plain background.
    QColor RowColour(int step, int pitch) {
        const RollSong& song = View()->Song();
        if (song.IsChordTone(SlotOfStep(step), pitch)) {
            return rollcolors::kChordRow;
        }
        return song.InKey(pitch) ? rollcolors::kScaleRow : rollcolors::kBackground;
    }

    void RollPress(int step, int pitch, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint at = Centre(Layout().CellRect(step, pitch));
        QTest::mousePress(View(), button, {}, at);
        QTest::mouseRelease(View(), button, {}, at);
    }

    // Presses on a note's cell, moves the pointer over the rows given with the
    // button held, and lets go.
    void RollDrag(int step, int fromPitch, std::initializer_list<int> rows) {
        QPoint at = Centre(Layout().CellRect(step, fromPitch));
        QTest::mousePress(View(), Qt::LeftButton, {}, at);
        for (int pitch : rows) {
            at = Centre(Layout().CellRect(step, pitch));
            QMouseEvent move(QEvent::MouseMove, at, View()->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(View(), &move);
        }
        QTest::mouseRelease(View(), Qt::LeftButton, {}, at);
    }

    // Clears all four measures with the clear button.
    void ClearAllMeasures() {
        Press("UD_Measure", true, 4);
        Click("B_Clear");
        Press("UD_Measure", false, 4);
    }
};

}  // namespace tontoko::test
