#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../support/FakeSeams.h"
#include "../support/TempDir.h"
#include "app/Platform.h"
#include "app/main.h"
#include "sound/MidiPlayer.h"
#include "widgets/DocumentOpener.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko::test {

class FakeFileDialogs : public FileDialogs {
  public:
    std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest& request) override {
        requests.push_back(request);
        return next;
    }
    std::optional<QString> OpenFileName(QWidget*, const FileDialogRequest& request) override {
        requests.push_back(request);
        return next;
    }
    std::optional<QString> next;
    std::vector<FileDialogRequest> requests;
};

// Records every call; on Play it keeps the bytes of the file it was given.
class FakePlayer : public MidiPlayer {
  public:
    void SetFileName(const std::string& name) override {
        calls.push_back("SetFileName " + name);
        fileName = name;
    }
    void Open() override {
        calls.push_back("Open");
        if (!failOpen.empty()) {
            throw PlayerError(failOpen, failOpenKind);
        }
    }
    void Play() override {
        calls.push_back("Play");
        QFile file(QString::fromStdString(fileName));
        played.push_back(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    void Stop() override { calls.push_back("Stop"); }
    void Close() override { calls.push_back("Close"); }
    void SetNotify(std::function<void()> onNotify) override { notify = std::move(onNotify); }
    int CurrentTick() const override { return tick; }
    void SetRange(const PlayRange& range) override { ranges.push_back(range); }
    void SetLoop(bool on) override { loops.push_back(on); }
    void Preload() override { ++preloads; }
    bool Sound(const std::vector<LiveEvent>& events, bool waitForLoad) override {
        sounds.push_back(events);
        waits.push_back(waitForLoad);
        if (waitForLoad && !failSound.empty()) {
            throw PlayerError(failSound, failSoundKind);
        }
        return true;
    }

    int Count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls) {
            n += c == call ? 1 : 0;
        }
        return n;
    }

    std::vector<std::string> calls;
    std::string fileName;
    int tick = -1;                  // what CurrentTick reports
    std::vector<PlayRange> ranges;  // every range and loop setting given
    std::vector<bool> loops;
    std::string failOpen;
    PlayerFailure failOpenKind = PlayerFailure::Other;
    std::vector<QByteArray> played;
    std::function<void()> notify;
    int preloads = 0;
    std::vector<std::vector<LiveEvent>> sounds;  // every short sound asked for
    std::vector<bool> waits;
    std::string failSound;  // thrown by a Sound that waits for the load
    PlayerFailure failSoundKind = PlayerFailure::Other;
};

// One channel message of a written file.
struct MidiEvent {
    int tick;
    int status;
    int data1;
    int data2;
};

// The channel messages of a file written by the MIDI writer, with absolute
// ticks.
inline std::vector<MidiEvent> ParseEvents(const QByteArray& bytes) {
    std::vector<MidiEvent> events;
    auto at = [&](int i) { return int(uint8_t(bytes.at(i))); };
    int i = 22;
    int tick = 0;
    while (i < bytes.size()) {
        int delta = 0;
        int b = 0;
        do {
            b = at(i++);
            delta = (delta << 7) | (b & 0x7F);
        } while (b & 0x80);
        tick += delta;
        const int status = at(i++);
        if (status == 0xFF) {
            const int type = at(i++);
            const int length = at(i++);
            i += length;
            if (type == 0x2F) {
                break;
            }
        } else if (status == 0xF0) {
            i += at(i) + 1;
        } else if ((status & 0xF0) == 0xC0) {
            events.push_back({tick, status, at(i), 0});
            i += 1;
        } else {
            events.push_back({tick, status, at(i), at(i + 1)});
            i += 2;
        }
    }
    return events;
}

// Note-ons with a velocity above 0 on one channel.
inline std::vector<MidiEvent> NotesOn(const QByteArray& bytes, int channel) {
    std::vector<MidiEvent> notes;
    for (const MidiEvent& e : ParseEvents(bytes)) {
        if (e.status == 0x90 + channel && e.data2 > 0) {
            notes.push_back(e);
        }
    }
    return notes;
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A main window over recording fakes, in a fresh working folder that holds the
// pattern files.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {}

    void CopyData(bool drums = true, bool acc = true) {
        const std::filesystem::path data = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";
        if (drums) {
            std::filesystem::copy_file(data / "DrumPattern.dat", dir.Path() / "DrumPattern.dat");
        }
        if (acc) {
            std::filesystem::copy_file(data / "AccPattern.dat", dir.Path() / "AccPattern.dat");
        }
    }

    // The manual, index.html, into the working folder.
    void CopyManual() {
        std::filesystem::copy_file(
            std::filesystem::path(TONTOKO_SOURCE_DIR) / "data" / "index.html",
            dir.Path() / "index.html");
    }

    // The recording fakes and a fixed clock.
    Platform Fakes() {
        Platform platform;
        platform.messages = &messages;
        platform.fileDialogs = &dialogs;
        platform.opener = &opener;
        platform.player = &player;
        platform.clock = [] { return 20260101u; };
        return platform;
    }

    TSMain& Create(bool drums = true, bool acc = true) {
        CopyData(drums, acc);
        window = std::make_unique<TSMain>(Fakes());
        // Mouse clicks reach only a shown window.
        window->show();
        return *window;
    }

    template <class T>
    T* Get(const char* name) {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QString Text(const char* name) {
        if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name))) {
            return edit->text();
        }
        if (auto* label = window->findChild<QLabel*>(QString::fromLatin1(name))) {
            return label->text();
        }
        if (auto* list = window->findChild<QComboBox*>(QString::fromLatin1(name))) {
            return list->currentText();
        }
        ADD_FAILURE() << "no text control " << name;
        return {};
    }

    void Click(const char* name) {
        auto* button = Get<QAbstractButton>(name);
        ASSERT_NE(button, nullptr);
        // Radios and check boxes react only over their indicator and text.
        const bool indicator =
            qobject_cast<QRadioButton*>(button) || qobject_cast<QCheckBox*>(button);
        const QPoint at = indicator ? QPoint(8, button->height() / 2) : button->rect().center();
        QTest::mouseClick(button, Qt::LeftButton, {}, at);
    }

    void Trigger(const char* name) { Get<QAction>(name)->trigger(); }

    void Press(const char* upDown, bool up, int times = 1) {
        for (int i = 0; i < times; ++i) {
            Get<UpDown>(upDown)->Press(up);
        }
    }

    // What a user's pick from a drop-down list does: select, then activated.
    void Pick(const char* name, int index) {
        auto* list = Get<QComboBox>(name);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    StringGrid* Grid(const char* kind, int measure) {
        const QString name = QString::fromLatin1(kind) + QString::number(measure);
        auto* grid = window->findChild<StringGrid*>(name);
        EXPECT_NE(grid, nullptr) << name.toStdString();
        return grid;
    }

    void PressCell(int measure, int column, Qt::MouseButton button = Qt::LeftButton) {
        StringGrid* grid = Grid("Melody", measure);
        QTest::mousePress(grid->viewport(), button, {}, grid->CellCenter(column));
    }

    QString Name(int measure, int column) { return Grid("Melody", measure)->Cell(column); }
    QString Octave(int measure, int column) { return Grid("Octave", measure)->Cell(column); }

    // Saves through the fake dialog and returns the bytes written.
    QByteArray Save(const std::string& fileName = "song.mid") {
        dialogs.next = QString::fromStdString(dir.File(fileName));
        Trigger("MI_Save");
        return ReadAll(QString::fromStdString(dir.File(fileName)));
    }

    TempDir dir{true};
    RecordingMessages messages;
    FakeFileDialogs dialogs;
    RecordingOpener opener;
    FakePlayer player;
    std::unique_ptr<TSMain> window;
};

}  // namespace tontoko::test
