// Where tontoko-compose writes: standard output, FIFOs and devices, folders and
// links in the way, one file named twice, a vanished working directory, a file
// size limit, failing audio, and signals in the middle of a batch.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "ComposeRun.h"

namespace {

using namespace compose_run;
namespace fs = std::filesystem;

bool HaveSoundFont() {
    return fs::exists("/usr/share/sounds/sf2/FluidR3_GM.sf2") ||
           fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2");
}

// The song a seed gives, written to a plain file.
std::string SongOfSeed(const TempDir& dir, const std::string& seed) {
    const std::string path = dir.File("reference-" + seed + ".mid");
    const RunResult run = RunComposer(dir, {"--data", kData, "--seed", seed, "-o", path});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadText(path);
}

TEST(ComposeOutput, DashWritesTheSongToStandardOutputAndThePrintoutToStandardError) {
    TempDir dir;
    const std::string expected = SongOfSeed(dir, "31");
    ASSERT_GT(expected.size(), 70u);
    const RunResult run = RunComposer(dir, {"--data", kData, "--seed", "31", "-o", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);
    EXPECT_NE(run.err.find("1小節目"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir.File("-")));
    EXPECT_FALSE(fs::exists(dir.File("song.mid")));

    const RunResult batch = RunComposer(dir, {"--data", kData, "--count", "2", "-o", "-"});
    EXPECT_EQ(batch.status, 2);
    EXPECT_NE(batch.err.find("-o -"), std::string::npos) << batch.err;
    EXPECT_TRUE(batch.out.empty());
}

TEST(ComposeOutput, AFifoWithAReaderIsWrittenIntoAndStaysAFifo) {
    TempDir dir;
    const std::string expected = SongOfSeed(dir, "32");
    const std::string fifo = dir.File("pipe.mid");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // The reader holds a write end of its own, so it sees the end of the
    // data only once the composer has finished, and never waits for ever.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const int keepOpen = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(keepOpen, 0);
    ::fcntl(reader, F_SETFL, 0);
    std::string received;
    std::thread drain([&] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(reader, buffer, sizeof buffer)) > 0) {
            received.append(buffer, static_cast<size_t>(n));
        }
    });
    const RunResult run = RunComposer(dir, {"--data", kData, "--seed", "32", "-o", fifo});
    ::close(keepOpen);
    drain.join();
    ::close(reader);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(received, expected);
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO was replaced";
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(ComposeOutput, ACharacterDeviceIsWrittenIntoNotReplaced) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "making a device node needs root";
    }
    TempDir dir;
    const std::string null = dir.File("null");
    ASSERT_EQ(::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    const RunResult run = RunComposer(dir, {"--data", kData, "--seed", "33", "-o", null});
    ASSERT_EQ(run.status, 0) << run.err;
    struct stat info {};
    ASSERT_EQ(::lstat(null.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device node was replaced by a file";
    EXPECT_EQ(::major(info.st_rdev), 1u);
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(ComposeOutput, FoldersAndLinksToFoldersAreRefusedLinksToFilesFollowed) {
    TempDir dir;
    fs::create_directory(dir.File("folder"));
    fs::create_directory_symlink(dir.File("folder"), dir.File("to-folder"));
    for (const char* name : {"folder", "to-folder"}) {
        const RunResult run = RunComposer(dir, {"--data", kData, "-o", dir.File(name)});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_NE(run.err.find("folder"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_directory(dir.File("folder")));
    EXPECT_TRUE(fs::is_symlink(dir.File("to-folder")));
    EXPECT_TRUE(fs::is_empty(dir.File("folder")));

    // Through a link to a file, the file is replaced and the link stays.
    const std::string expected = SongOfSeed(dir, "34");
    { std::ofstream(dir.File("real.mid")) << "old"; }
    fs::create_symlink(dir.File("real.mid"), dir.File("link.mid"));
    const RunResult run =
        RunComposer(dir, {"--data", kData, "--seed", "34", "-o", dir.File("link.mid")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(dir.File("link.mid")));
    EXPECT_EQ(ReadText(dir.File("real.mid")), expected);
}

TEST(ComposeOutput, TheWavFileMayNotBeTheMidiFileByAnyName) {
    TempDir dir;
    { std::ofstream(dir.File("song.mid")) << "old"; }
    fs::create_symlink(dir.File("song.mid"), dir.File("link.wav"));
    fs::create_hard_link(dir.File("song.mid"), dir.File("hard.wav"));
    fs::create_directory(dir.File("sub"));
    const std::vector<std::vector<std::string>> cases{
        {"-o", dir.File("song.mid"), "--wav", dir.File("song.mid")},
        {"-o", dir.File("song.mid"), "--wav", dir.File("sub/../song.mid")},
        {"-o", dir.File("song.mid"), "--wav", dir.File("link.wav")},
        {"-o", dir.File("song.mid"), "--wav", dir.File("hard.wav")},
        {"-o", dir.File("new.mid"), "--wav", dir.File("sub/../new.mid")},
        {"-o", dir.File("t.mid"), "--count", "3", "--wav", dir.File("t-002.mid")},
        {"-o", "-", "--wav", "-"},
    };
    for (std::vector<std::string> args : cases) {
        args.insert(args.begin(), {"--data", kData});
        const RunResult run = RunComposer(dir, args);
        EXPECT_EQ(run.status, 2) << args[3] << " " << args.back();
        EXPECT_NE(run.err.find("same file"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(ReadText(dir.File("song.mid")), "old");
    EXPECT_FALSE(fs::exists(dir.File("new.mid")));
    EXPECT_FALSE(fs::exists(dir.File("t-001.mid")));
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(ComposeOutput, AFailingWavReplacesNothing) {
    TempDir dir;
    { std::ofstream(dir.File("song.mid")) << "old"; }
    // A folder that does not exist: refused before any work.
    RunResult run = RunComposer(
        dir, {"--data", kData, "-o", dir.File("song.mid"), "--wav", dir.File("none/song.wav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("song.wav"), std::string::npos) << run.err;
    EXPECT_EQ(ReadText(dir.File("song.mid")), "old");
    if (!HaveSoundFont()) {
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    }
    // Rendering fails after the songs were composed: a SoundFont that is no
    // SoundFont, and then a file size limit the MIDI file fits but the audio
    // does not.
    { std::ofstream(dir.File("bad.sf2")) << "not a SoundFont"; }
    RunOptions badFont;
    badFont.cwd = dir.Path();
    badFont.environment = {"TONTOKO_SOUNDFONT=" + dir.File("bad.sf2")};
    run = RunComposer({"--data", kData, "--count", "2", "-o", dir.File("song.mid"), "--wav",
                       dir.File("song.wav")},
                      badFont);
    EXPECT_EQ(run.status, 1) << run.err;
    RunOptions limited;
    limited.cwd = dir.Path();
    limited.fileSizeLimit = 64 * 1024;
    run = RunComposer({"--data", kData, "-o", dir.File("song.mid"), "--wav", dir.File("song.wav")},
                      limited);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.signal, 0) << "killed by the file size signal";
    EXPECT_EQ(ReadText(dir.File("song.mid")), "old");
    EXPECT_FALSE(fs::exists(dir.File("song.wav")));
    EXPECT_FALSE(fs::exists(dir.File("song-001.mid")));
    EXPECT_TRUE(Temporaries(dir.Path()).empty()) << Temporaries(dir.Path())[0];
}

TEST(ComposeOutput, AFileSizeLimitDuringAWriteIsReportedAndLeavesNothing) {
    TempDir dir;
    { std::ofstream(dir.File("song.mid")) << "old"; }
    RunOptions limited;
    limited.cwd = dir.Path();
    limited.fileSizeLimit = 100;  // bytes: less than a song
    const RunResult run =
        RunComposer({"--data", kData, "--count", "3", "-o", dir.File("song.mid")}, limited);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.signal, 0) << "killed by the file size signal";
    EXPECT_NE(run.err.find(strerror(EFBIG)), std::string::npos) << run.err;
    EXPECT_EQ(ReadText(dir.File("song.mid")), "old");
    EXPECT_FALSE(fs::exists(dir.File("song-001.mid")));
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(ComposeOutput, AVanishedWorkingDirectoryIsAClearError) {
    TempDir parent;
    RunOptions gone;
    gone.cwd = parent.Path() / "gone";
    gone.removeCwd = true;
    fs::create_directory(gone.cwd);
    RunResult run = RunComposer({"--seed", "1"}, gone);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.signal, 0) << "aborted";
    EXPECT_NE(run.err.find("working directory"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--data"), std::string::npos) << run.err;

    // With --data the patterns are found, but the relative output has no folder.
    fs::create_directory(gone.cwd);
    run = RunComposer({"--data", kData, "--seed", "1"}, gone);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.signal, 0);
    EXPECT_NE(run.err.find("song.mid"), std::string::npos) << run.err;
}

// A batch that a signal stops: no temporary is left, whatever the moment.
TEST(ComposeOutput, SignalsDuringABatchLeaveNoTemporary) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGXFSZ}) {
        TempDir dir;
        RunOptions options;
        options.cwd = dir.Path();
        options.signal = signal;
        options.when = [&] { return !Temporaries(dir.Path()).empty(); };
        const RunResult run =
            RunComposer({"--data", kData, "--count", "3000", "-o", dir.File("s.mid")}, options);
        ASSERT_FALSE(run.timedOut);
        EXPECT_TRUE(Temporaries(dir.Path()).empty()) << strsignal(signal);
        if (signal == SIGXFSZ) {
            // Ignored: the batch completes.
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_TRUE(fs::exists(dir.File("s-3000.mid")));
        } else {
            EXPECT_EQ(run.signal, signal) << "exit status " << run.status;
        }
    }
}

}  // namespace
