// The finishing box "きれいに仕上げる" of the melody group, through the buttons.
#include <cstdlib>
#include <filesystem>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString GoldenPath(const char* name) {
    return QString::fromStdString(
        (std::filesystem::path(TONTOKO_SOURCE_DIR) / "tests" / "app" / "golden" / name).string());
}

class FinishTest : public MainWindowTest {
  protected:
    // Compares the bytes with a file kept from before the finishing box had a
    // handler; with TONTOKO_WRITE_GOLDEN set, writes the file instead.
    void ExpectGolden(const QByteArray& bytes, const char* name) {
        ASSERT_FALSE(bytes.isEmpty());
        if (std::getenv("TONTOKO_WRITE_GOLDEN") != nullptr) {
            std::filesystem::create_directories(
                std::filesystem::path(GoldenPath(name).toStdString()).parent_path());
            QFile file(GoldenPath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            GTEST_SKIP() << "golden file written: " << name;
        }
        const QByteArray kept = ReadAll(GoldenPath(name));
        ASSERT_FALSE(kept.isEmpty()) << name;
        EXPECT_EQ(bytes, kept) << name;
    }

    // A session with several settings, two generations and a fixed measure.
    QByteArray SessionWithSettings() {
        Click("RB_DMinor");
        Click("RB_MEight");
        Click("RB_CRandom");
        Click("B_CGenerate");
        Click("B_MGenerate");
        Click("Fix_Rhythm2");
        Click("B_CGenerate");
        Click("B_MGenerate");
        return Save();
    }
};

TEST_F(FinishTest, UntickedWindowWritesTheBytesOfBefore) {
    Create();
    ASSERT_FALSE(Get<QCheckBox>("CB_Finish")->isChecked());
    Click("B_CGenerate");
    Click("B_MGenerate");
    ExpectGolden(Save(), "window-default.mid");
}

TEST_F(FinishTest, UntickedSessionWithSettingsWritesTheBytesOfBefore) {
    Create();
    ExpectGolden(SessionWithSettings(), "window-settings.mid");
}

}  // namespace
}  // namespace tontoko::test
