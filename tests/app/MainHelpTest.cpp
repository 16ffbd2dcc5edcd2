// The help command: the manual of the working folder opened by the desktop, or
// a message that names it when it is missing or nothing can open it.
#include <filesystem>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString ManualPath() {
    return QString::fromStdString((std::filesystem::current_path() / "index.html").string());
}

TEST_F(MainWindowTest, HelpOpensTheManualOfTheWorkingFolder) {
    Create();
    CopyManual();
    Trigger("MI_Help");
    EXPECT_EQ(opener.opened, QStringList{QStringLiteral("index.html")});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, HelpNamesAManualThatIsMissingOrCannotBeOpened) {
    Create();
    Trigger("MI_Help");
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0],
        (ShownMessage{QString::fromUtf8("説明書のファイルが見つかりません．\n") + ManualPath(),
                      QStringLiteral("Error"), MessageButtons::Ok}));

    // A folder of that name is no manual either.
    std::filesystem::create_directory(dir.Path() / "index.html");
    Trigger("MI_Help");
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1], messages.shown[0]);
    std::filesystem::remove(dir.Path() / "index.html");

    // The manual is there, but the desktop has nothing to open it with.
    CopyManual();
    opener.fails = true;
    Trigger("MI_Help");
    EXPECT_EQ(opener.opened, QStringList{QStringLiteral("index.html")});
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].caption, QStringLiteral("Error"));
    EXPECT_EQ(
        messages.shown[2].text,
        QString::fromUtf8("説明書を開けませんでした．HTMLファイルを開くソフト（ウェブブラウザ）が"
                          "必要です．\n") +
            ManualPath());
}

}  // namespace
}  // namespace tontoko::test
