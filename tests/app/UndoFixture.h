#pragma once

// The window driven as a user drives it, one action of each kind that changes
// the song, and what a user can see of the window and of the song it saves.

#include <unistd.h>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QUndoStack>

#include <fstream>
#include <map>
#include <random>

#include "MainFixture.h"
#include "app/PianoRoll.h"
#include "app/PianoRollView.h"
#include "editing/RhythmCfg.h"

namespace tontoko::test {

// One kind of user action. `run` returns false when the action cannot be made
// in the window as it stands (a disabled control).
struct UserAction {
    const char* name;
    std::function<bool(class UndoTest&, std::mt19937&)> run;
};

class UndoTest : public MainWindowTest {
  public:
    // The actions reach the window through these.
    using MainWindowTest::Click;
    using MainWindowTest::Get;
    using MainWindowTest::Grid;
    using MainWindowTest::Pick;
    using MainWindowTest::Press;
    using MainWindowTest::PressCell;
    using MainWindowTest::window;

    // The window with the piano roll open and a few registered rhythms.
    void Open() {
        std::ofstream("RwRhythm.dat", std::ios::binary)
            << "1010101010101010\r\n1000100010001000\r\n1000000010000000\r\n";
        Create();
        Trigger("MI_PianoRoll");
        stack = window->findChild<QUndoStack*>(QStringLiteral("UndoStack"));
        ASSERT_NE(stack, nullptr);
    }

    // Everything the window shows that belongs to the song: every control's
    // state, text and enabled flag, every grid cell, and the piano roll's
    // picture. The clear target is a view of its own.
    QStringList Seen() {
        // The table's row is a view of its own: the table is seen from row Ⅰ.
        Pick("CB_Chord", 0);
        QStringList seen;
        auto skip = [this](const QWidget* w) {
            const QString name = w->objectName();
            return w->window() != window.get() || name.startsWith(QLatin1String("qt_")) ||
                   name == QLatin1String("UD_Measure") || name == QLatin1String("Edit_Measure") ||
                   name == QLatin1String("CB_Chord");
        };
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (skip(w) || w->objectName().isEmpty()) {
                continue;
            }
            QString entry = w->objectName() + (w->isEnabled() ? "+" : "-");
            if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                entry += b->isChecked() ? " on" : " off";
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                entry += " " + QString::number(list->currentIndex());
            } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                // A table row drawing with equal chances leaves standing
                // whatever values the editor showed before: not the song's.
                if (w->isEnabled() || !w->objectName().startsWith(QLatin1String("Percent"))) {
                    entry += " " + edit->text();
                }
            } else if (auto* label = qobject_cast<QLabel*>(w)) {
                entry += " " + label->text();
            } else if (auto* grid = qobject_cast<StringGrid*>(w)) {
                for (int c = 0; c < grid->columnCount(); ++c) {
                    entry += "|" + grid->Cell(c);
                }
            } else if (auto* updown = qobject_cast<UpDown*>(w)) {
                if (w->isEnabled() || !QRegularExpression(QStringLiteral("^UD[1-7]$"))
                                           .match(w->objectName())
                                           .hasMatch()) {
                    entry += " " + QString::number(updown->Position());
                }
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                entry += " " + group->title();
            }
            seen << entry;
        }
        if (auto* roll = window->findChild<TSPianoRoll*>()) {
            const QImage picture = roll->View()->Picture();
            seen << "roll " +
                        QString::number(qHashBits(picture.constBits(), picture.sizeInBytes()));
        }
        return seen;
    }

    // The entries two views of the window differ in, for a failure message.
    static std::string Difference(const QStringList& seen, const QStringList& expected) {
        std::string text;
        for (int i = 0; i < std::max(seen.size(), expected.size()); ++i) {
            const QString a = i < seen.size() ? seen[i] : QString();
            const QString b = i < expected.size() ? expected[i] : QString();
            if (a != b) {
                text += "\n  seen:     " + a.toStdString() + "\n  expected: " + b.toStdString();
            }
        }
        return text;
    }

    // The bytes Save writes, apart from the note-offs the writer carries over
    // from its previous write: a note-off for a note that is not sounding
    // names whatever the voice played last time, so its key is left out.
    QByteArray Saved() {
        const QString path = QString::fromStdString(SaveFolder() + "/song.mid");
        dialogs.next = path;
        Trigger("MI_Save");
        QByteArray bytes = ReadAll(path);
        std::map<std::pair<int, int>, int> sounding;
        int i = 22;
        while (i < bytes.size()) {
            while (i < bytes.size() && (uint8_t(bytes[i]) & 0x80)) {
                ++i;  // delta time
            }
            ++i;
            if (i + 2 >= bytes.size() || (uint8_t(bytes[i]) & 0xF0) != 0x90) {
                // Everything before the notes, and the end of the track.
                const int status = i < bytes.size() ? uint8_t(bytes[i]) : 0;
                if (status == 0xFF) {
                    if (i + 2 >= bytes.size() || uint8_t(bytes[i + 1]) == 0x2F) {
                        break;
                    }
                    i += 3 + uint8_t(bytes[i + 2]);
                    continue;
                }
                i += status == 0xF0 ? 2 + uint8_t(bytes[i + 1]) : (status & 0xF0) == 0xC0 ? 2 : 3;
                continue;
            }
            const std::pair<int, int> note{uint8_t(bytes[i]) & 0x0F, uint8_t(bytes[i + 1])};
            if (bytes[i + 2] != 0) {
                ++sounding[note];
            } else if (sounding[note] > 0) {
                --sounding[note];
            } else {
                bytes[i + 1] = 0;
            }
            i += 3;
        }
        return bytes;
    }

    // Saves go to memory where the system has it: each writes and flushes.
    std::string SaveFolder() {
        if (saveFolder_.empty()) {
            std::error_code ec;
            const std::filesystem::path shm = "/dev/shm";
            saveFolder_ = std::filesystem::is_directory(shm, ec)
                              ? (shm / ("tontoko-undo-" + std::to_string(::getpid()))).string()
                              : dir.File("saves");
            std::filesystem::create_directories(saveFolder_, ec);
        }
        return saveFolder_;
    }
    void TearDown() override {
        std::error_code ec;
        if (!saveFolder_.empty()) {
            std::filesystem::remove_all(saveFolder_, ec);
        }
        MainWindowTest::TearDown();
    }

    int Steps() const { return stack->index(); }

    void UndoTimes(int n) {
        for (int i = 0; i < n; ++i) {
            Trigger("MI_Undo");
        }
    }
    void RedoTimes(int n) {
        for (int i = 0; i < n; ++i) {
            Trigger("MI_Redo");
        }
    }

    bool ClickIfEnabled(const char* name) {
        auto* button = Get<QAbstractButton>(name);
        if (!button->isEnabled()) {
            return false;
        }
        button->click();
        return true;
    }
    bool PressIfEnabled(const char* name, bool up) {
        auto* upDown = Get<UpDown>(name);
        if (!upDown->isEnabled()) {
            return false;
        }
        upDown->Press(up);
        return true;
    }
    bool PickIfEnabled(const char* name, int index) {
        auto* list = Get<QComboBox>(name);
        if (!list->isEnabled() || list->count() == 0) {
            return false;
        }
        Pick(name, index % list->count());
        return true;
    }

    // A registered rhythm applied through the rhythm dialog.
    bool ApplyRhythm(int entry, int measure) {
        auto* dialog = window->findChild<TSRhythmCfg*>();
        dialog->show();
        auto* call = dialog->findChild<UpDown*>(QStringLiteral("UD_Call"));
        auto* apply = dialog->findChild<UpDown*>(QStringLiteral("UD_Apply"));
        while (call->Position() > 0) {
            call->Press(false);
        }
        for (int i = 0; i < entry; ++i) {
            call->Press(true);
        }
        // Down to the first measure offered: that of the part shown.
        for (int before = -1; apply->Position() != before;) {
            before = apply->Position();
            apply->Press(false);
        }
        for (int i = 1; i < measure; ++i) {
            apply->Press(true);
        }
        dialog->findChild<QPushButton*>(QStringLiteral("B_Apply"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        return true;
    }

    // A press in the piano roll at a step (0..63) of the part shown and at a
    // height of its rows (0..1 from the bottom), and a drag to another
    // height. A press elsewhere would only show another part: a view, not a
    // step.
    bool RollPress(int step, double height, Qt::MouseButton button, double dragTo = -1) {
        PianoRollView* view = window->findChild<TSPianoRoll*>()->View();
        const PianoRollLayout& layout = view->Layout();
        const RollRect grid = layout.Grid();
        auto yAt = [&](double h) { return grid.Bottom() - 1 - int(h * (grid.h - 2)); };
        const int songStep = view->Song().shownPart * kSongSteps + step;
        const RollRect cell = layout.CellRect(songStep, layout.PitchAt(yAt(height)));
        if (cell.w <= 0 || layout.StepAt(cell.x + cell.w / 2) != songStep) {
            return false;
        }
        const QPoint at(cell.x + cell.w / 2, yAt(height));
        QTest::mousePress(view, button, {}, at);
        if (dragTo >= 0 && button == Qt::LeftButton) {
            const QPointF to(at.x(), yAt(dragTo));
            QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(view, &move);
        }
        QTest::mouseRelease(view, button, {}, at);
        return true;
    }

    static const std::vector<UserAction>& Actions();

    QUndoStack* stack = nullptr;

  private:
    std::string saveFolder_;
};

}  // namespace tontoko::test
