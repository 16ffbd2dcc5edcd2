// The working folder: kept where the program's files are, else the user's own
// folder, seeded with the shipped files once and never overwritten.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "../support/TempDir.h"
#include "app/WorkFolder.h"

namespace tontoko {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class WorkFolderTest : public ::testing::Test {
  protected:
    WorkFolderTest() {
        fs::create_directories(installed);
        fs::create_directories(home);
        Write(installed / "AccPattern.dat", "acc");
        Write(installed / "DrumPattern.dat", "drums");
        Write(installed / "index.html", "manual");
    }
    TempDir dir;
    fs::path installed = dir.Path() / "usr" / "share" / "tontoko";
    fs::path home = dir.Path() / "home";
    fs::path user = dir.Path() / "data" / "tontoko";
};

TEST_F(WorkFolderTest, AFolderWithItsOwnPatternFilesIsKept) {
    Write(home / "DrumPattern.dat", "mine");
    const WorkFolderChoice choice = ChooseWorkFolder(home, installed, user);
    EXPECT_TRUE(choice.folder.empty());
    EXPECT_TRUE(choice.error.empty());
    EXPECT_FALSE(fs::exists(user));
}

TEST_F(WorkFolderTest, TheUserFolderIsMadeAndSeededOnceAndNeverOverwritten) {
    WorkFolderChoice choice = ChooseWorkFolder(home, installed, user);
    EXPECT_EQ(choice.folder, user);
    EXPECT_TRUE(choice.error.empty()) << choice.error;
    EXPECT_EQ(Read(user / "AccPattern.dat"), "acc");
    EXPECT_EQ(Read(user / "DrumPattern.dat"), "drums");
    EXPECT_EQ(Read(user / "index.html"), "manual");

    // The user edits a pattern file and removes the manual; a newer program
    // ships other files.
    Write(user / "AccPattern.dat", "edited");
    fs::remove(user / "index.html");
    Write(installed / "AccPattern.dat", "acc 2");
    Write(installed / "index.html", "manual 2");
    choice = ChooseWorkFolder(home, installed, user);
    EXPECT_EQ(choice.folder, user);
    EXPECT_EQ(Read(user / "AccPattern.dat"), "edited");
    EXPECT_EQ(Read(user / "DrumPattern.dat"), "drums");
    EXPECT_EQ(Read(user / "index.html"), "manual 2");
}

TEST_F(WorkFolderTest, AProgramThatIsNotInstalledStaysWhereItWasStarted) {
    EXPECT_TRUE(
        ChooseWorkFolder(home, dir.Path() / "build" / "share" / "tontoko", user).folder.empty());
    EXPECT_FALSE(fs::exists(user));
}

TEST_F(WorkFolderTest, AUserFolderThatCannotBeMadeIsReported) {
    Write(dir.Path() / "data", "a file where the folder should be");
    const WorkFolderChoice choice = ChooseWorkFolder(home, installed, user);
    EXPECT_TRUE(choice.folder.empty());
    EXPECT_NE(choice.error.find(user.string()), std::string::npos) << choice.error;
}

// Sets an environment variable for the span of a test.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(WorkFolder, PlacesFollowTheEnvironmentAndThePrefix) {
    EXPECT_EQ(InstalledDataFolder("/usr/bin"), fs::path("/usr/share/tontoko"));
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv data("XDG_DATA_HOME", "/tmp/xdg");
        EXPECT_EQ(UserWorkFolder(), fs::path("/tmp/xdg/tontoko"));
    }
    ScopedEnv relative("XDG_DATA_HOME", "relative");  // not absolute: ignored
    EXPECT_EQ(UserWorkFolder(), fs::path("/home/someone/.local/share/tontoko"));
}

}  // namespace
}  // namespace tontoko
