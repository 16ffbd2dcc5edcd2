#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "../support/FakeSeams.h"
#include "../support/TempDir.h"
#include "app/Version.h"
#include "widgets/DocumentOpener.h"

using namespace tontoko;

using test::RecordingOpener;

TEST(Version, TextsLookAndSize) {
    RecordingOpener opener;
    TSVersion version(nullptr, opener);
    EXPECT_EQ(version.windowTitle(), QStringLiteral("『れっつ、とんとこ！』について"));
    EXPECT_FALSE(version.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(version.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(version.size(), QSize(354, 146));
    EXPECT_EQ(version.minimumSize(), version.maximumSize());

    auto* title = version.findChild<QLabel*>(QStringLiteral("Label3"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("れっつ、とんとこ！　Ver 2.0.2"));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->font().pixelSize(), 16);
    for (const char* name : {"Label1", "Label2", "Label4"}) {
        auto* label = version.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_FALSE(label->text().isEmpty()) << name;
        EXPECT_EQ(label->font().pixelSize(), 12) << name;
    }
    auto* link = version.findChild<QLabel*>(QStringLiteral("Label4"));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(version.findChild<QPushButton*>(QStringLiteral("Button1"))->text(),
              QStringLiteral("とじる"));
}

TEST(Version, LinkOpensWhatItShowsAndTheButtonCloses) {
    RecordingOpener opener;
    TSVersion version(nullptr, opener);
    version.show();
    auto* link = version.findChild<QLabel*>(QStringLiteral("Label4"));
    QTest::mouseClick(link, Qt::LeftButton);
    link->setText(QStringLiteral("https://example.org/tontoko"));
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opener.opened, (QStringList{QStringLiteral("index.html"),
                                          QStringLiteral("https://example.org/tontoko")}));
    EXPECT_TRUE(version.isVisible());

    version.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    EXPECT_FALSE(version.isVisible());
    EXPECT_EQ(version.result(), QDialog::Accepted);
}

TEST(Version, ContactLineNamesTheFolderOfTheInstalledReadme) {
    TempDir prefix;
    const std::filesystem::path bin = prefix.Path() / "bin";
    const std::filesystem::path doc = prefix.Path() / "share" / "doc" / "tontoko";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(doc);
    const QString programFolder = QString::fromStdString(bin.string());
    const QString fallback = QStringLiteral("連絡先: 付属の README をご覧ください");

    // Installed without its documents (dpkg may leave them out).
    EXPECT_EQ(ReadmeLine(programFolder), fallback);
    EXPECT_EQ(ReadmeLine(QString()), fallback);

    for (const char* name : {"README.md.gz", "README.md"}) {
        std::ofstream(doc / name) << "readme";
        EXPECT_EQ(ReadmeLine(programFolder),
                  QStringLiteral("連絡先: %1 の README").arg(QString::fromStdString(doc.string())))
            << name;
        std::filesystem::remove(doc / name);
    }
}
