#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "../support/FakeSeams.h"
#include "../support/TempDir.h"
#include "RhythmSongTarget.h"
#include "editing/RhythmCfg.h"
#include "editing/RhythmTarget.h"
#include "widgets/Messages.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

using namespace tontoko;

namespace {

using Shown = test::ShownMessage;
using test::RecordingMessages;

// The main window as the dialog sees it.
class FakeTarget : public RhythmTarget {
  public:
    FakeTarget() {
        marks.fill(7);
        for (int m = 1; m <= 4; ++m) {
            for (int c = 0; c < 8; ++c) {
                melody[{m, c}] = QStringLiteral("ミ");
                octave[{m, c}] = QStringLiteral("0");
            }
        }
    }
    void SetMelodyMark(int step, uint8_t mark) override { marks.at(step) = mark; }
    uint8_t MelodyMark(int step) const override { return marks.at(step); }
    void SetMelodyCell(int measure, int column, const QString& text) override {
        melody[{measure, column}] = text;
    }
    void SetOctaveCell(int measure, int column, const QString& text) override {
        octave[{measure, column}] = text;
    }
    void CheckFixRhythm(int measure) override { fixed.push_back(measure); }

    std::array<uint8_t, 64> marks{};
    std::map<std::pair<int, int>, QString> melody;
    std::map<std::pair<int, int>, QString> octave;
    std::vector<int> fixed;
};

const QString kMessage = QStringLiteral("Message");
const QString kCaution = QStringLiteral("Caution");
const QString kRegistered = QStringLiteral("リズムを登録しました");

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class RhythmCfgTest : public ::testing::Test {
  protected:
    template <typename T>
    T* Control(const char* name) {
        T* control = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    StringGrid* Grid(const char* name) { return Control<StringGrid>(name); }
    UpDown* Selector(const char* name) { return Control<UpDown>(name); }
    void Click(const char* name) { Control<QPushButton>(name)->click(); }
    void Open() { dialog.show(); }
    void Close() { Click("Button1"); }

    void Press(StringGrid* grid, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(grid->viewport(), button, {}, at);
    }
    // Marks the given columns of the register grid and presses "登録".
    void Register(std::initializer_list<int> columns) {
        for (int c : columns) {
            Press(Grid("SG_Regist"), Grid("SG_Regist")->CellCenter(c));
        }
        Click("B_Regist");
    }
    // The marks a grid shows, "1" for "♪", "0" for an empty cell.
    std::string Shows(const char* grid) {
        std::string out;
        for (int c = 0; c < 8; ++c) {
            const QString cell = Grid(grid)->Cell(c);
            EXPECT_TRUE(cell.isEmpty() || cell == QStringLiteral("♪")) << cell.toStdString();
            out += cell.isEmpty() ? '0' : '1';
        }
        return out;
    }
    QString CountText() {
        EXPECT_EQ(Control<QLabel>("CallEntry")->text(), Control<QLabel>("DeleteEntry")->text());
        return Control<QLabel>("CallEntry")->text();
    }
    bool CallAndDeleteEnabled() {
        const char* names[] = {"SG_Call", "UD_Call",   "E_Apply",   "UD_Apply",
                               "B_Apply", "SG_Delete", "UD_Delete", "B_Delete"};
        int enabled = 0;
        for (const char* name : names) {
            enabled += Control<QWidget>(name)->isEnabled() ? 1 : 0;
        }
        EXPECT_TRUE(enabled == 0 || enabled == 8) << enabled << " of 8 enabled";
        return enabled == 8;
    }

    TempDir dir{true};
    RecordingMessages messages;
    FakeTarget target;
    TSRhythmCfg dialog{nullptr, target, messages};
};

}  // namespace

TEST_F(RhythmCfgTest, FirstOpeningWithoutAFile) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("リズムについての設定"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    auto* tabs = Control<QTabWidget>("PC_Rhythm");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("リズムの登録"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("リズムの呼び出し"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("リズムの削除"));
    EXPECT_EQ(tabs->widget(0)->objectName(), QStringLiteral("RRegist"));
    EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("RCall"));
    EXPECT_EQ(tabs->widget(2)->objectName(), QStringLiteral("TabSheet1"));
    EXPECT_EQ(Control<QLabel>("Label17")->text(),
              QStringLiteral("消したいリズムを選んだあとに、[ 消す ]  ボタンを"));
    EXPECT_EQ(Control<QLineEdit>("E_Apply")->text(), QStringLiteral("1"));

    Open();
    EXPECT_EQ(CountText(), QStringLiteral("現在、0個のエントリがあります。"));
    EXPECT_FALSE(CallAndDeleteEnabled());
    EXPECT_TRUE(Control<QPushButton>("B_Regist")->isEnabled());
    Close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(std::filesystem::is_regular_file("RwRhythm.dat"));
    EXPECT_EQ(std::filesystem::file_size("RwRhythm.dat"), 0u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RhythmCfgTest, RegisteringRefusalsAndTheFile) {
    Open();
    Register({0, 2, 4, 6});
    EXPECT_EQ(messages.shown, (std::vector<Shown>{{kRegistered, kMessage}}));
    EXPECT_EQ(CountText(), QStringLiteral("現在、1個のエントリがあります。"));
    EXPECT_TRUE(CallAndDeleteEnabled());
    EXPECT_EQ(Shows("SG_Call"), "10101010");
    EXPECT_EQ(Shows("SG_Delete"), "10101010");
    EXPECT_EQ(Shows("SG_Regist"), "00000000");

    // No notes; then the same pattern again.
    messages.shown.clear();
    Register({});
    Register({6, 4, 2, 0});
    EXPECT_EQ(
        messages.shown,
        (std::vector<Shown>{{QStringLiteral("「リズムなし」は、登録できません。"), kCaution},
                            {QStringLiteral("すでに同じリズムが登録されています。"), kCaution}}));
    EXPECT_EQ(Shows("SG_Regist"), "00000000");
    EXPECT_EQ(CountText(), QStringLiteral("現在、1個のエントリがあります。"));

    // A second press on a cell takes its mark away again.
    Press(Grid("SG_Regist"), Grid("SG_Regist")->CellCenter(3));
    Press(Grid("SG_Regist"), Grid("SG_Regist")->CellCenter(3), Qt::RightButton);
    EXPECT_EQ(Shows("SG_Regist"), "00000000");
    // A press just right of the last cell toggles column 7.
    const QPoint last = Grid("SG_Regist")->CellCenter(7);
    Press(Grid("SG_Regist"), QPoint(Grid("SG_Regist")->viewport()->width() + 2, last.y()));
    EXPECT_EQ(Shows("SG_Regist"), "00000001");
    Click("B_Regist");
    Close();
    EXPECT_EQ(ReadFile("RwRhythm.dat"), "1000100010001000\r\n0000000000000010\r\n");

    // Read again at the next opening.
    Open();
    EXPECT_EQ(CountText(), QStringLiteral("現在、2個のエントリがあります。"));
    EXPECT_EQ(Shows("SG_Call"), "10101010");
    Selector("UD_Call")->Press(true);
    EXPECT_EQ(Shows("SG_Call"), "00000001");
    Selector("UD_Call")->Press(true);  // no wrap
    EXPECT_EQ(Selector("UD_Call")->Position(), 1);
    Close();
}

TEST_F(RhythmCfgTest, TheEleventhWaitsForADeletion) {
    Open();
    for (int c = 0; c < 8; ++c) {
        Register({c});
    }
    Register({0, 1});
    Register({0, 2});
    ASSERT_EQ(messages.shown.size(), 10u);
    EXPECT_EQ(CountText(), QStringLiteral("現在、10個のエントリがあります。"));
    messages.shown.clear();

    Register({1, 2});
    EXPECT_EQ(
        messages.shown,
        (std::vector<Shown>{{QStringLiteral("これ以上登録できません。\n[ リズムの削除 ] "
                                            "をクリックし、\nリズムパターンの削除をしてください。"),
                             kMessage}}));
    EXPECT_EQ(CountText(), QStringLiteral("現在、10個のエントリがあります。"));

    Click("B_Delete");
    Register({1, 2});
    EXPECT_EQ(messages.shown.back(), (Shown{kRegistered, kMessage}));
    EXPECT_EQ(CountText(), QStringLiteral("現在、10個のエントリがあります。"));
    Close();
    const std::string file = ReadFile("RwRhythm.dat");
    ASSERT_EQ(file.size(), 10u * 18u);
    EXPECT_EQ(file.substr(0, 18), "0010000000000000\r\n");
    EXPECT_EQ(file.substr(9 * 18), "0010100000000000\r\n");
}

TEST_F(RhythmCfgTest, ApplyingEightEighthsToMeasureThree) {
    WriteFile("RwRhythm.dat", "1000100010001000\r\n1010101010101010\r\n");
    Open();
    Selector("UD_Call")->Press(true);
    EXPECT_EQ(Shows("SG_Call"), "11111111");
    Selector("UD_Apply")->Press(true);
    Selector("UD_Apply")->Press(true);
    EXPECT_EQ(Control<QLineEdit>("E_Apply")->text(), QStringLiteral("3"));
    Click("B_Apply");

    for (int step = 0; step < 64; ++step) {
        const bool inMeasure3 = step >= 32 && step < 48;
        EXPECT_EQ(target.marks[step], inMeasure3 ? (step % 2 == 0 ? 1 : 0) : 7) << step;
    }
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ((target.melody[{3, c}]), QStringLiteral("*"));
        EXPECT_TRUE((target.octave[{3, c}]).isEmpty());
        EXPECT_EQ((target.melody[{2, c}]), QStringLiteral("ミ"));
        EXPECT_EQ((target.octave[{4, c}]), QStringLiteral("0"));
    }
    EXPECT_EQ(target.fixed, std::vector<int>{3});
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(dialog.isVisible());

    // The beats pattern on measure 1: marks and empty cells between the stars.
    Selector("UD_Call")->Press(false);
    for (int i = 0; i < 3; ++i) {
        Selector("UD_Apply")->Press(false);
    }
    Click("B_Apply");
    EXPECT_EQ(target.marks[0], 1);
    EXPECT_EQ(target.marks[2], 0);
    EXPECT_EQ((target.melody[{1, 0}]), QStringLiteral("*"));
    EXPECT_TRUE((target.melody[{1, 1}]).isEmpty());
    EXPECT_EQ((target.melody[{1, 2}]), QStringLiteral("*"));
    EXPECT_EQ(target.fixed, (std::vector<int>{3, 1}));
    Close();
}

TEST_F(RhythmCfgTest, DeletingKeepsWhatIsShownAndWhatIsUsedTogether) {
    WriteFile("RwRhythm.dat", "1000000000000000\r\n0010000000000000\r\n0000100000000000\r\n");
    Open();
    Selector("UD_Delete")->Press(true);
    Selector("UD_Delete")->Press(true);
    Selector("UD_Call")->Press(true);
    Selector("UD_Call")->Press(true);
    EXPECT_EQ(Shows("SG_Delete"), "00100000");
    Click("B_Delete");
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{QStringLiteral("削除しました。"), QStringLiteral("Messgae")}}));
    EXPECT_EQ(CountText(), QStringLiteral("現在、2個のエントリがあります。"));
    EXPECT_EQ(Selector("UD_Delete")->Position(), 1);
    EXPECT_EQ(Shows("SG_Delete"), "01000000");
    // The call selector was on the deleted entry too: it moved back with it, and
    // applying uses the entry it shows.
    EXPECT_EQ(Selector("UD_Call")->Position(), 1);
    EXPECT_EQ(Shows("SG_Call"), "01000000");
    Click("B_Apply");
    EXPECT_EQ(target.marks[2], 1);
    EXPECT_EQ(target.marks[0], 0);

    // Deleting the first entry while the call selector shows the second.
    Selector("UD_Delete")->Press(false);
    Click("B_Delete");
    EXPECT_EQ(Selector("UD_Call")->Position(), 0);
    EXPECT_EQ(Shows("SG_Call"), "01000000");
    EXPECT_EQ(Shows("SG_Delete"), "01000000");
    Close();
    EXPECT_EQ(ReadFile("RwRhythm.dat"), "0010000000000000\r\n");

    // The file shrank behind the dialog's back: the selectors follow it.
    Open();
    EXPECT_EQ(Selector("UD_Call")->Maximum(), 0);
    Close();
}

TEST_F(RhythmCfgTest, DeletingTheOnlyEntry) {
    Open();
    Register({1});
    messages.shown.clear();
    Click("B_Delete");
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{QStringLiteral("削除しました。"), QStringLiteral("Messgae")}}));
    EXPECT_EQ(CountText(), QStringLiteral("現在、0個のエントリがあります。"));
    EXPECT_FALSE(CallAndDeleteEnabled());
    EXPECT_EQ(Shows("SG_Call"), "00000000");
    EXPECT_EQ(Shows("SG_Delete"), "00000000");
    // Escape closes the dialog like "閉じる", and the file is written.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(std::filesystem::is_regular_file("RwRhythm.dat"));
    EXPECT_EQ(std::filesystem::file_size("RwRhythm.dat"), 0u);
}

TEST_F(RhythmCfgTest, MalformedAndSurplusLinesAreIgnored) {
    std::string file =
        "0101\r\n"               // too short
        "10101010101010101\r\n"  // too long
        "1010101a10101010\r\n"   // not a pattern character
        "0000000000000000\r\n"   // no notes
        "\r\n"
        "1000000000000001\n";       // LF alone is a line end too
    for (int i = 0; i < 11; ++i) {  // nine fit; two are surplus
        std::string line(16, '0');
        line[i] = '1';
        file += line + "\r\n";
    }
    WriteFile("RwRhythm.dat", file);
    Open();
    EXPECT_EQ(CountText(), QStringLiteral("現在、10個のエントリがあります。"));
    EXPECT_EQ(Selector("UD_Delete")->Maximum(), 9);
    Close();
    std::string expected = "1000000000000001\r\n";
    for (int i = 0; i < 9; ++i) {
        std::string line(16, '0');
        line[i] = '1';
        expected += line + "\r\n";
    }
    EXPECT_EQ(ReadFile("RwRhythm.dat"), expected);
}

TEST_F(RhythmCfgTest, ARegistryThatCannotBeWrittenIsReported) {
    std::filesystem::create_directory("RwRhythm.dat");
    Open();
    Register({0});
    messages.shown.clear();
    Close();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("RwRhythm.dat")));
    EXPECT_TRUE(std::filesystem::is_directory("RwRhythm.dat"));
    // Nothing half written is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(RhythmCfgSong, TheNextMelodyGenerationKeepsAnAppliedRhythm) {
    TempDir dir(true);
    WriteFile("RwRhythm.dat", "1010101010101010\r\n");
    RecordingMessages messages;
    RhythmSongTarget song;
    TSRhythmCfg dialog(nullptr, song, messages);
    dialog.show();
    auto* measure = dialog.findChild<UpDown*>(QStringLiteral("UD_Apply"));
    ASSERT_NE(measure, nullptr);
    measure->Press(true);
    measure->Press(true);
    dialog.findChild<QPushButton*>(QStringLiteral("B_Apply"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();

    for (int round = 0; round < 5; ++round) {
        song.GenerateMelody();
        for (int step = 32; step < 48; ++step) {
            EXPECT_EQ(song.MelodyMark(step), step % 2 == 0 ? 1 : 0) << step;
            if (step % 2 == 0) {
                EXPECT_GT(song.Pitch(step), 0) << step;  // each applied onset gets a note
            }
        }
    }
}
