// The window and tontoko-compose make a song through the same document: with
// the same seed and settings they write the same bytes.
#include "MainFixture.h"
#include "tests/cli/ComposeRun.h"

namespace tontoko::test {
namespace {

TEST_F(MainWindowTest, TheComposerWritesTheWindowsSongForTheSameSeedAndSettings) {
    Create();
    Click("RB_DMinor");
    Click("RB_DSelf");
    Press("UD_Dur", true, 3);
    Click("RB_TFast");
    Click("RB_MEight");
    Click("RB_CSelf");
    Pick("CB_CSelf", 5);
    Click("CB_Finish");
    Click("CB_Motif");
    Pick("CB_AccPattern", 3);
    Pick("CB_DrumPattern", 1);
    Pick("CB_Melody", 40);
    Pick("CB_DrumSet", 4);
    Press("UD_VMelody", false);
    Click("RB_FadeOut");
    Press("UD_Interval", true, 2);
    Click("B_CGenerate");
    Click("B_MGenerate");
    const QByteArray window = Save("window.mid");
    ASSERT_GT(window.size(), 70);

    const std::string output = dir.File("composer.mid");
    compose_run::RunOptions options;
    options.cwd = dir.Path();
    const compose_run::RunResult run = compose_run::RunComposer({"--data",  dir.Path().string(),
                                                                 "--seed",  "20260101",
                                                                 "--minor", "--key",
                                                                 "3",       "--tempo",
                                                                 "180",     "--style",
                                                                 "eighth",  "--first-chord",
                                                                 "VI",      "--finish",
                                                                 "--motif", "--acc-pattern",
                                                                 "4",       "--drum-pattern",
                                                                 "2",       "--melody-program",
                                                                 "41",      "--drum-set",
                                                                 "5",       "--melody-volume",
                                                                 "115",     "--fade",
                                                                 "out",     "--interval",
                                                                 "2",       "-o",
                                                                 output},
                                                                options);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(QByteArray::fromStdString(compose_run::ReadText(output)), window);
}

}  // namespace
}  // namespace tontoko::test
