#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <deque>
#include <filesystem>

#include "../support/FakeSeams.h"
#include "../support/TempDir.h"
#include "SongFiles.h"
#include "chain/Chain.h"
#include "chain/Join.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

using namespace tontoko;

namespace {

using Shown = test::ShownMessage;
using test::RecordingMessages;

// Answers each dialog with the next queued name; an empty queue cancels.
class ScriptedFileDialogs : public FileDialogs {
  public:
    std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        return Next(saveAnswers);
    }
    std::optional<QString> OpenFileName(QWidget*, const FileDialogRequest& request) override {
        openRequests.push_back(request);
        return Next(openAnswers);
    }
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QString>> openAnswers;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<FileDialogRequest> openRequests;

  private:
    static std::optional<QString> Next(std::deque<std::optional<QString>>& answers) {
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

class ChainDialogTest : public ::testing::Test {
  protected:
    template <typename T>
    T* Control(const char* name) {
        T* control = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Click(const char* button) { Control<QPushButton>(button)->click(); }
    void ChooseFiles(const std::string& first, const std::string& second) {
        files.openAnswers = {Q(first), Q(second)};
        Click("B_Open1");
        Click("B_Open2");
    }

    TempDir dir;
    RecordingMessages messages;
    ScriptedFileDialogs files;
    TSChainDialog dialog{nullptr, messages, files};
};

}  // namespace

TEST_F(ChainDialogTest, ControlsTextsAndDialogRequests) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("演奏データの連結"));
    EXPECT_EQ(Control<QLabel>("Label1")->text(),
              QStringLiteral("連結元と連結先のファイルを指定してください。"));
    EXPECT_EQ(Control<QLabel>("Label2")->text(), QStringLiteral("の後ろに"));
    EXPECT_EQ(Control<QLabel>("Label3")->text(), QStringLiteral("を"));
    EXPECT_EQ(Control<QPushButton>("B_Open1")->text(), QStringLiteral("開く"));
    EXPECT_EQ(Control<QPushButton>("B_Open2")->text(), QStringLiteral("開く"));
    EXPECT_EQ(Control<QPushButton>("B_Chain")->text(), QStringLiteral("連結する"));
    EXPECT_EQ(Control<QPushButton>("B_Close")->text(), QStringLiteral("閉じる"));
    EXPECT_TRUE(Control<QLineEdit>("FileName1")->isReadOnly());
    EXPECT_TRUE(Control<QLineEdit>("FileName1")->text().isEmpty());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);

    files.saveAnswers = {std::nullopt};
    ChooseFiles("x.mid", "y.mid");
    Click("B_Chain");
    ASSERT_EQ(files.openRequests.size(), 2u);
    ASSERT_EQ(files.saveRequests.size(), 1u);
    for (const FileDialogRequest& r : {files.openRequests[0], files.saveRequests[0]}) {
        EXPECT_EQ(r.filter, QStringLiteral("スタンダードMIDIファイル|*.mid"));
        EXPECT_EQ(r.defaultSuffix, QStringLiteral("mid"));
    }
    EXPECT_FALSE(files.saveRequests[0].confirmOverwrite);
}

TEST_F(ChainDialogTest, NamesStayAcrossCancelsAndOpenings) {
    ChooseFiles("/music/a.mid", "/music/b.mid");
    Click("B_Open1");  // cancelled: keeps the name
    EXPECT_EQ(Control<QLineEdit>("FileName1")->text(), QStringLiteral("/music/a.mid"));
    dialog.show();
    Click("B_Close");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.show();
    EXPECT_EQ(Control<QLineEdit>("FileName1")->text(), QStringLiteral("/music/a.mid"));
    EXPECT_EQ(Control<QLineEdit>("FileName2")->text(), QStringLiteral("/music/b.mid"));
    dialog.hide();
}

TEST_F(ChainDialogTest, JoinsIntoTheFirstInputAndReportsCompletion) {
    const std::vector<uint8_t> first = WrittenSong(120, 1);
    const std::vector<uint8_t> second = WrittenSong(60, 2);
    WriteBytes(dir.File("a.mid"), first);
    WriteBytes(dir.File("b.mid"), second);
    ChooseFiles(dir.File("a.mid"), dir.File("b.mid"));
    files.saveAnswers = {Q(dir.File("a.mid"))};
    Click("B_Chain");

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("ファイルの連結が終了しました。"));
    EXPECT_TRUE(messages.shown[0].caption.isEmpty());
    EXPECT_EQ(ReadBytes(dir.File("a.mid")), JoinSongs(first, second));

    // The dialog stays usable: join the result once more, into a new file.
    files.saveAnswers = {Q(dir.File("three.mid"))};
    Click("B_Chain");
    EXPECT_EQ(ReadBytes(dir.File("three.mid")), JoinSongs(JoinSongs(first, second), second));
}

TEST_F(ChainDialogTest, CancelAndEmptyNamesDoNothing) {
    WriteBytes(dir.File("a.mid"), WrittenSong(120, 1));
    files.saveAnswers = {std::nullopt};
    Click("B_Chain");
    EXPECT_TRUE(messages.shown.empty());

    files.openAnswers = {Q(dir.File("a.mid"))};
    Click("B_Open1");
    files.saveAnswers = {Q(dir.File("out.mid"))};
    Click("B_Chain");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("それぞれのファイルを指定してください"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.mid")));
}

TEST_F(ChainDialogTest, ForeignOrTruncatedInputIsNamedAndNothingIsWritten) {
    const std::vector<uint8_t> song = WrittenSong(120, 1);
    WriteBytes(dir.File("good.mid"), song);
    WriteBytes(dir.File("cut.mid"), std::vector<uint8_t>(song.begin(), song.end() - 1));
    WriteBytes(dir.File("notes.txt"), std::vector<uint8_t>(100, 'a'));
    const std::vector<uint8_t> old = WrittenSong(60, 5);
    WriteBytes(dir.File("out.mid"), old);

    ChooseFiles(dir.File("good.mid"), dir.File("cut.mid"));
    files.saveAnswers = {Q(dir.File("out.mid"))};
    Click("B_Chain");
    ChooseFiles(dir.File("notes.txt"), dir.File("good.mid"));
    files.saveAnswers = {Q(dir.File("out.mid"))};
    Click("B_Chain");
    ChooseFiles(dir.File("gone.mid"), dir.File("good.mid"));
    files.saveAnswers = {Q(dir.File("out.mid"))};
    Click("B_Chain");

    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_TRUE(messages.shown[0].text.contains(Q(dir.File("cut.mid"))));
    EXPECT_TRUE(messages.shown[1].text.contains(Q(dir.File("notes.txt"))));
    EXPECT_TRUE(messages.shown[2].text.contains(Q(dir.File("gone.mid"))));
    for (const Shown& m : messages.shown) {
        EXPECT_EQ(m.caption, QStringLiteral("Error"));
        EXPECT_NE(m.text, QStringLiteral("ファイルの連結が終了しました。"));
    }
    EXPECT_TRUE(
        messages.shown[0].text.contains(QStringLiteral("保存した演奏データではありません")));
    EXPECT_EQ(ReadBytes(dir.File("out.mid")), old);
    EXPECT_EQ(ReadBytes(dir.File("cut.mid")).size(), song.size() - 1);
}

TEST_F(ChainDialogTest, WriteFailureIsReported) {
    WriteBytes(dir.File("a.mid"), WrittenSong(120, 1));
    ChooseFiles(dir.File("a.mid"), dir.File("a.mid"));
    files.saveAnswers = {Q(dir.File("missing/out.mid"))};
    Click("B_Chain");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("out.mid")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}
