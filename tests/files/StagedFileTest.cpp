// Temporary-and-rename writes: permissions, failures without leftovers, and the
// registry that lets a signal remove the temporaries of a dying process.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "files/AtomicFile.h"
#include "files/StagedFile.h"
#include "files/TempRegistry.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace tontoko {
namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Names(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicWrite, NewFilesGetTheUmasksPermissionsAndReplaceTheOldOnes) {
    TempDir dir;
    const std::string path = dir.File("song.mid");
    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}}) {
        const mode_t previous = ::umask(mask);
        ASSERT_TRUE(WriteFileAtomically(path, "bytes " + std::to_string(mask)));
        ::umask(previous);
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "umask " << std::oct << mask;
        EXPECT_EQ(ReadText(path), "bytes " + std::to_string(mask));
    }
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"song.mid"});
}

TEST(AtomicWrite, FailuresLeaveTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.File("song.mid");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    std::filesystem::create_directory(dir.Path() / "folder");

    int error = 0;
    EXPECT_FALSE(WriteFileAtomically(dir.File("folder"), "x", &error));
    EXPECT_EQ(error, EISDIR);
    EXPECT_FALSE(WriteFileAtomically(dir.File("missing/song.mid"), "x", &error));
    EXPECT_EQ(error, ENOENT);

    // Past the file size limit: the write fails with EFBIG (the signal is
    // ignored in the child, as the composer ignores it).
    const ChildResult result = RunInChild([&](int fd) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit small{100, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &small);
        int childError = 0;
        const bool ok = WriteFileAtomically(path, std::string(1000, 'n'), &childError);
        Report(fd, std::to_string(childError));
        return ok ? 1 : 0;
    });
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << "a write past the size limit reported success";
    EXPECT_EQ(result.report, std::to_string(EFBIG));

    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"folder", "song.mid"}));
}

TEST(StagedFile, StaysBesideItsTargetUntilCommittedAndIsRemovedOtherwise) {
    TempDir dir;
    const std::string target = dir.File("song.mid");
    const int registered = TempRegistry::Count();
    {
        StagedFile staged;
        ASSERT_TRUE(staged.Create(target));
        ASSERT_TRUE(staged.Write("never committed"));
        EXPECT_EQ(TempRegistry::Count(), registered + 1);
        EXPECT_EQ(std::filesystem::path(staged.TempPath()).parent_path(), dir.Path());
        EXPECT_TRUE(staged.TempPath().find("/.song.mid.") != std::string::npos)
            << staged.TempPath();
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_TRUE(Names(dir.Path()).empty()) << "an abandoned temporary stays";
    EXPECT_EQ(TempRegistry::Count(), registered);

    StagedFile first;
    StagedFile second;
    ASSERT_TRUE(first.Create(target));
    ASSERT_TRUE(second.Create(target));
    EXPECT_NE(first.TempPath(), second.TempPath());
    ASSERT_TRUE(first.Write("first") && first.Close());
    ASSERT_TRUE(second.Write("second"));
    StagedFile moved = std::move(second);
    EXPECT_FALSE(second.Pending());
    ASSERT_TRUE(moved.Commit());
    EXPECT_EQ(ReadText(target), "second");
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(ReadText(target), "first");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"song.mid"});
    EXPECT_EQ(TempRegistry::Count(), registered);
}

TEST(TempRegistry, RemoveAllReachesEveryRegisteredPathAcrossChunks) {
    TempDir dir;
    const ChildResult result = RunInChild([&](int) {
        // More than one chunk of slots, with gaps from unregistered paths.
        std::vector<int> handles;
        for (int i = 0; i < 1500; ++i) {
            std::string name = "t";  // appended: GCC 12 warns falsely (-Wrestrict) about "t" + ...
            name += std::to_string(i);
            const std::string path = dir.File(name);
            std::ofstream(path) << i;
            handles.push_back(TempRegistry::Register(path));
        }
        for (int i = 0; i < 1500; i += 3) {
            TempRegistry::Unregister(handles[i]);
        }
        TempRegistry::RemoveAll();
        return 0;
    });
    ASSERT_TRUE(result.finished);
    ASSERT_EQ(result.exitCode, 0);
    const std::vector<std::string> left = Names(dir.Path());
    EXPECT_EQ(left.size(), 500u) << "only the unregistered paths stay";
    for (const std::string& name : left) {
        EXPECT_EQ(std::stoi(name.substr(1)) % 3, 0) << name;
    }
}

TEST(TempRegistry, CleanupSignalsRemoveOpenTemporariesAndEndTheProcess) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
        TempDir dir;
        const ChildResult result = RunInChild([&](int) {
            TempRegistry::InstallSignalCleanup();
            StagedFile done;
            StagedFile open;
            StagedFile closed;
            if (!done.Create(dir.File("done.mid")) || !done.Write("done") || !done.Commit() ||
                !open.Create(dir.File("open.mid")) || !open.Write("part") ||
                !closed.Create(dir.File("closed.mid")) || !closed.Close()) {
                return 2;
            }
            ::raise(signal);
            return 3;  // not reached: the signal ends the process
        });
        ASSERT_TRUE(result.finished) << strsignal(signal);
        EXPECT_EQ(result.signal, signal) << "the process must still die of " << strsignal(signal);
        EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"done.mid"}) << strsignal(signal);
    }
}

TEST(TempRegistry, HeldSignalsWaitUntilTheGroupOfStepsIsDone) {
    TempDir dir;
    const ChildResult result = RunInChild([&](int) {
        TempRegistry::InstallSignalCleanup();
        StagedFile a;
        StagedFile b;
        if (!a.Create(dir.File("a.mid")) || !b.Create(dir.File("b.mid"))) {
            return 2;
        }
        {
            TempRegistry::Hold hold;
            ::raise(SIGTERM);  // arrives in the middle of the renames
            if (!a.Commit() || !b.Commit()) {
                return 3;
            }
        }
        return 4;  // not reached: the held signal is delivered here
    });
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.signal, SIGTERM);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a.mid", "b.mid"}));
}

TEST(TempRegistry, FileSizeSignalIsIgnoredSoTheWriterSeesTheError) {
    TempDir dir;
    const ChildResult result = RunInChild([&](int) {
        TempRegistry::InstallSignalCleanup();
        rlimit small{64, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &small);
        StagedFile file;
        if (!file.Create(dir.File("big.mid"))) {
            return 2;
        }
        const bool wrote = file.Write(std::string(4096, 'b'));
        return !wrote && file.Error() == EFBIG && !file.Pending() ? 0 : 1;
    });
    ASSERT_TRUE(result.finished);
    EXPECT_TRUE(result.exited) << "killed by signal " << result.signal;
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(Names(dir.Path()).empty());
}

}  // namespace
}  // namespace tontoko
