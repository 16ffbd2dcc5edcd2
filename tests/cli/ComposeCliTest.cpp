// tontoko-compose run as a program: its option errors, reproducible files,
// file naming for several songs, missing pattern files and the printed song.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "ComposeRun.h"
#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "tests/support/TempDir.h"

namespace {

using compose_run::kData;
using compose_run::ReadText;
using compose_run::RunResult;

RunResult Compose(const TempDir& cwd, std::vector<std::string> args) {
    return compose_run::RunComposer(cwd, std::move(args));
}

}  // namespace

TEST(ComposeCli, BadValuesExitWithStatusTwoNamingTheOptionAndItsRange) {
    struct Case {
        std::vector<std::string> args;
        std::string option;
        std::string range;
    };
    const std::vector<Case> cases{
        {{"--tempo", "123"}, "--tempo", "40..240, a multiple of 5"},
        {{"--tempo", "245"}, "--tempo", "40..240"},
        {{"--key", "-7"}, "--key", "-6..5"},
        {{"--key", "C"}, "--key", "-6..5"},
        {{"--seed", "4294967296"}, "--seed", "0..4294967295"},
        {{"--first-chord", "VIII"}, "--first-chord", "I, II, III, IV, V, VI, VII, random"},
        {{"--style", "waltz"}, "--style", "quarter, eighth, none"},
        {{"--melody-program", "0"}, "--melody-program", "1..128"},
        {{"--bass-program", "1.5"}, "--bass-program", "1..128"},
        {{"--drum-set", "10"}, "--drum-set", "1..9"},
        {{"--melody-volume", "121"}, "--melody-volume", "0..120, a multiple of 5"},
        {{"--fade", "sideways"}, "--fade", "normal, in, out"},
        {{"--interval", "5"}, "--interval", "0..4"},
        {{"--count", "10001"}, "--count", "1..10000"},
        {{"--acc-pattern", "0"}, "--acc-pattern", "1.."},
    };
    TempDir dir;
    for (const Case& c : cases) {
        std::vector<std::string> args{"--data", kData};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult run = Compose(dir, args);
        EXPECT_EQ(run.status, 2) << c.args[0] << " " << c.args[1];
        EXPECT_NE(run.err.find(c.option), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.range), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("song.mid"))) << c.args[0];
    }

    // Pattern positions are checked against the lists actually loaded.
    tontoko::PatternLibrary library;
    tontoko::LoadPatterns(library, kData);
    const std::string beyond = std::to_string(library.acc.size() + 1);
    const RunResult run = Compose(dir, {"--data", kData, "--acc-pattern", beyond});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--acc-pattern"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("1.." + std::to_string(library.acc.size())), std::string::npos)
        << run.err;
}

TEST(ComposeCli, SameSeedGivesTheSameBytesAsTheWindowWouldWrite) {
    TempDir dir;
    const std::vector<std::string> settings{"--data",  kData,
                                            "--seed",  "4242",
                                            "--minor", "--key",
                                            "3",       "--tempo",
                                            "180",     "--style",
                                            "eighth",  "--first-chord",
                                            "VI",      "--acc-pattern",
                                            "4",       "--drum-pattern",
                                            "2",       "--melody-program",
                                            "41",      "--drum-set",
                                            "5",       "--melody-volume",
                                            "115",     "--fade",
                                            "out",     "--interval",
                                            "2"};
    auto with = [&](std::string output) {
        std::vector<std::string> args = settings;
        args.push_back("-o");
        args.push_back(dir.File(output));
        return args;
    };
    ASSERT_EQ(Compose(dir, with("a.mid")).status, 0);
    ASSERT_EQ(Compose(dir, with("b.mid")).status, 0);
    const std::string a = ReadText(dir.File("a.mid"));
    ASSERT_GT(a.size(), 70u);
    EXPECT_EQ(a, ReadText(dir.File("b.mid")));

    // The same song built step by step as the window builds it.
    tontoko::PatternLibrary library;
    tontoko::LoadPatterns(library, kData);
    tontoko::Song song(4242);
    tontoko::SwitchToMinor(song);
    for (int p = 0; p < 3; ++p) {
        tontoko::Transpose(song, p, p + 1);
    }
    tontoko::ApplyMelodyStyle(song, tontoko::MelodyStyle::MoreEighths);
    ASSERT_TRUE(tontoko::GenerateProgression(song, tontoko::FirstChord::Self, 5).generated);
    tontoko::GenerateMelody(song);
    song.melodies[tontoko::kMelodyVoice].SetVelocity(115);
    tontoko::RenderSong(song, library, tontoko::RenderChoice{true, 3, 1});
    tontoko::SStandardMidi writer;
    writer.SetInterval(2);
    tontoko::SoundSettings sounds;
    sounds.melodyProgram = 40;
    sounds.drumSetProgram = 25;
    sounds.fade = tontoko::FadeMode::FadeOut;
    std::vector<uint8_t> expected;
    writer.Compose(expected, song.rhythms, song.melodies, tontoko::kSongSteps, 180, sounds);
    EXPECT_EQ(a, std::string(expected.begin(), expected.end()));
    // Tempo 180, melody program 40, TR-808 (25), interval 2 beats (81 40).
    EXPECT_EQ(a.substr(23, 6), std::string("\xFF\x51\x03\x05\x16\x15", 6));
    EXPECT_EQ(uint8_t(a[56]), 40);
    EXPECT_EQ(uint8_t(a[67]), 25);
    EXPECT_EQ(a.substr(68, 2), std::string("\x81\x40", 2));

    const RunResult other =
        Compose(dir, {"--data", kData, "--seed", "4243", "-o", dir.File("c.mid")});
    ASSERT_EQ(other.status, 0);
    EXPECT_NE(ReadText(dir.File("c.mid")), ReadText(dir.File("a.mid")));
}

TEST(ComposeCli, SeveralSongsAreNumberedFromOneRandomSource) {
    TempDir dir;
    const RunResult run = Compose(
        dir, {"--data", kData, "--seed", "7", "--count", "3", "-o", dir.File("out/tune.mid")});
    // The folder does not exist: nothing can be written.
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("tune-001.mid"), std::string::npos) << run.err;

    std::filesystem::create_directory(dir.File("out"));
    ASSERT_EQ(Compose(dir, {"--data", kData, "--seed", "7", "--count", "3", "-o",
                            dir.File("out/tune.mid")})
                  .status,
              0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/tune.mid")));
    const std::string first = ReadText(dir.File("out/tune-001.mid"));
    const std::string second = ReadText(dir.File("out/tune-002.mid"));
    const std::string third = ReadText(dir.File("out/tune-003.mid"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/tune-004.mid")));
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    // The first of a series is the song a single run with that seed writes.
    ASSERT_EQ(Compose(dir, {"--data", kData, "--seed", "7", "-o", dir.File("single.mid")}).status,
              0);
    EXPECT_EQ(first, ReadText(dir.File("single.mid")));
}

TEST(ComposeCli, MissingPatternFilesAreNamed) {
    TempDir dir;
    RunResult run = Compose(dir, {"--seed", "1"});  // the working directory holds no patterns
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("DrumPattern.dat"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("song.mid")));

    std::filesystem::copy_file(kData + "/DrumPattern.dat", dir.File("DrumPattern.dat"));
    run = Compose(dir, {"--seed", "1"});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("AccPattern.dat"), std::string::npos) << run.err;

    std::filesystem::copy_file(kData + "/AccPattern.dat", dir.File("AccPattern.dat"));
    run = Compose(dir, {"--seed", "1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("song.mid")));
}

TEST(ComposeCli, PrintsChordsAndNotesForEachMeasure) {
    TempDir dir;
    RunResult run = Compose(dir, {"--data", kData, "--seed", "99", "--first-chord", "V"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1小節目  和音 Ⅴ Ⅴ"), std::string::npos) << run.out;
    for (const char* measure : {"2小節目", "3小節目", "4小節目"}) {
        EXPECT_NE(run.out.find(measure), std::string::npos);
    }
    EXPECT_NE(run.out.find("ハ長調"), std::string::npos);
    // The first note of a generated melody starts on the first beat.
    const std::size_t names = run.out.find("音名");
    ASSERT_NE(names, std::string::npos);
    const std::string firstCell = run.out.substr(names + std::string("音名").size(), 12);
    EXPECT_EQ(firstCell.find('-'), std::string::npos) << firstCell;

    run = Compose(dir, {"--data", kData, "--seed", "99", "--minor", "--key", "-6"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("嬰ニ短調"), std::string::npos) << run.out;
}

TEST(ComposeCli, WavIsRenderedFromTheLastSong) {
    if (!std::filesystem::exists("/usr/share/sounds/sf2/FluidR3_GM.sf2") &&
        !std::filesystem::exists("/usr/share/sounds/sf2/TimGM6mb.sf2")) {
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    }
    TempDir dir;
    const RunResult run = Compose(
        dir, {"--data", kData, "--seed", "5", "--count", "2", "--wav", dir.File("song.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string wav = ReadText(dir.File("song.wav"));
    ASSERT_GT(wav.size(), 44u * 1000);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_NE(run.out.find("song.wav"), std::string::npos) << run.out;

    const RunResult bad = Compose(dir, {"--data", kData, "--wav", dir.File("none/song.wav")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_FALSE(bad.err.empty());
}

namespace {

// The cells of one printed measure's name row ("-" where no note starts).
std::vector<std::string> NameCells(const std::string& printout, int measure) {
    const std::size_t at = printout.find(std::to_string(measure) + "小節目");
    const std::size_t names = printout.find("音名", at);
    const std::size_t end = printout.find('\n', names);
    std::istringstream row(printout.substr(names, end - names));
    std::vector<std::string> cells;
    std::string cell;
    row >> cell;  // "音名"
    while (row >> cell) {
        cells.push_back(cell);
    }
    return cells;
}

TEST(ComposeCli, MotifRepeatsTheFirstMeasuresRhythmInTheThird) {
    TempDir dir;
    for (const char* seed : {"3", "11", "2026"}) {
        const RunResult run =
            Compose(dir, {"--data", kData, "--seed", seed, "--style", "eighth", "--motif"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> first = NameCells(run.out, 1);
        const std::vector<std::string> third = NameCells(run.out, 3);
        ASSERT_EQ(first.size(), 8u) << run.out;
        ASSERT_EQ(third.size(), 8u);
        for (std::size_t c = 0; c < 8; ++c) {
            EXPECT_EQ(first[c] == "-", third[c] == "-") << seed << " cell " << c << '\n' << run.out;
        }
    }
    const RunResult help = Compose(dir, {"--help"});
    EXPECT_NE(help.out.find("--motif"), std::string::npos);
}

}  // namespace

namespace {

TEST(ComposeCli, OpenReadsASavedSongAndWritesItAgain) {
    TempDir dir;
    ASSERT_EQ(Compose(dir, {"--data", kData, "--seed", "21", "--count", "3", "--minor", "--key",
                            "-2", "--finish", "--fade", "in", "-o", dir.File("run.mid")})
                  .status,
              0);
    for (const char* name : {"run-001.mid", "run-002.mid", "run-003.mid"}) {
        const RunResult run =
            Compose(dir, {"--data", kData, "--open", dir.File(name), "-o", dir.File("again.mid")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadText(dir.File("again.mid")), ReadText(dir.File(name))) << name;
        // Printed as the window shows it, in the song's key.
        EXPECT_NE(run.out.find("ト短調"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("4小節目  和音 Ⅰ Ⅰ"), std::string::npos) << run.out;
    }
    // Without -o nothing is written; the printout names the file.
    const RunResult printed = Compose(dir, {"--data", kData, "--open", dir.File("run-001.mid")});
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_NE(printed.out.find("run-001.mid"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("song.mid")));
}

TEST(ComposeCli, OpenRefusesComposingOptionsAndNamesFilesItCannotRead) {
    TempDir dir;
    ASSERT_EQ(Compose(dir, {"--data", kData, "--seed", "4", "-o", dir.File("a.mid")}).status, 0);
    for (std::vector<std::string> extra : {std::vector<std::string>{"--seed", "3"},
                                           {"--key", "2"},
                                           {"--minor"},
                                           {"--finish"},
                                           {"--count", "2"},
                                           {"--random-sounds"},
                                           {"--motif"},
                                           {"--no-drums"}}) {
        std::vector<std::string> args{"--data", kData, "--open", dir.File("a.mid")};
        args.insert(args.end(), extra.begin(), extra.end());
        const RunResult run = Compose(dir, args);
        EXPECT_EQ(run.status, 2) << extra[0];
        EXPECT_NE(run.err.find(extra[0]), std::string::npos) << run.err;
    }
    std::ofstream(dir.File("text.mid")) << "not a song";
    const std::pair<std::string, std::string> bad[] = {
        {dir.File("text.mid"), "not a Standard MIDI File"},
        {dir.File("missing.mid"), "No such file"},
        {dir.Path().string(), "a folder"},
    };
    for (const auto& [path, reason] : bad) {
        const RunResult run =
            Compose(dir, {"--data", kData, "--open", path, "-o", dir.File("out.mid")});
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.err.rfind("tontoko-compose: cannot open " + path + ": ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.mid"))) << "nothing written";
    }
}

}  // namespace
