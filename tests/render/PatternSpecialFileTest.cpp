// The pattern files meet FIFOs, devices and hostile sizes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "render/PatternLibrary.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace tontoko {
namespace {

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string AccBlock() {
    const std::string part(64, '1');
    return "5\r\nname\r\n" + part + "\r\n" + part + "\r\n" + part + "\r\n" + part + "\r\n";
}

std::string AccFile() {
    return AccBlock() + "0\r\n";
}

TEST(PatternLoading, FifoAndDeviceInPlaceOfPatternFilesAreReportedNotWaitedFor) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.Path() / kDrumPatternFile).c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.Path() / kAccPatternFile);
    const ChildResult result = RunInChild(
        [&](int) {
            PatternLibrary library;
            const PatternLoadResult loaded = LoadPatterns(library, dir.Path());
            // Reported like missing files: the window shows "File Open Error!".
            return !loaded.drumFileOpened && !loaded.accFileOpened ? 0 : 1;
        },
        std::chrono::seconds(5));
    ASSERT_TRUE(result.finished) << "loading the patterns hung";
    EXPECT_EQ(result.exitCode, 0);

    // The same folder with real files loads as usual.
    std::filesystem::remove(dir.Path() / kDrumPatternFile);
    std::filesystem::remove(dir.Path() / kAccPatternFile);
    WriteText(dir.Path() / kDrumPatternFile, "0\r\n");
    WriteText(dir.Path() / kAccPatternFile, AccFile());
    PatternLibrary library;
    const PatternLoadResult loaded = LoadPatterns(library, dir.Path());
    EXPECT_TRUE(loaded.drumFileOpened && loaded.accFileOpened);
    EXPECT_EQ(library.acc.size(), 1u);
}

TEST(PatternLoading, AHugeSparseFileIsReportedWithoutReadingIt) {
    TempDir dir;
    WriteText(dir.Path() / kDrumPatternFile, "0\r\n");
    WriteText(dir.Path() / kAccPatternFile, AccFile());
    ASSERT_EQ(::truncate((dir.Path() / kAccPatternFile).c_str(), off_t{1} << 40), 0);
    const ChildResult result = RunInChild(
        [&](int) {
            PatternLibrary library;
            const PatternLoadResult loaded = LoadPatterns(library, dir.Path());
            return loaded.drumFileOpened && !loaded.accFileOpened ? 0 : 1;
        },
        std::chrono::seconds(5));
    ASSERT_TRUE(result.finished) << "a terabyte of holes was read";
    EXPECT_TRUE(result.exited) << "ended by signal " << result.signal;
    EXPECT_EQ(result.exitCode, 0);
}

// Peak memory of loading, in bytes above what the child held before.
long PeakMemoryOfLoading(const std::filesystem::path& dir, bool* finished) {
    const ChildResult result = RunInChild(
        [&](int fd) {
            rusage before{};
            ::getrusage(RUSAGE_SELF, &before);
            PatternLibrary library;
            const PatternLoadResult loaded = LoadPatterns(library, dir);
            rusage after{};
            ::getrusage(RUSAGE_SELF, &after);
            Report(fd, std::to_string((after.ru_maxrss - before.ru_maxrss) * 1024L));
            return loaded.accFileOpened && library.acc.size() == 1 ? 0 : 1;
        },
        std::chrono::seconds(120));
    *finished = result.finished && result.exitCode == 0;
    return result.report.empty() ? -1 : std::stol(result.report);
}

TEST(PatternLoading, MemoryStaysWithinAFewTimesTheFileSize) {
    // A good pattern, then a count that claims 2147483647 lines and 64 MB of
    // empty lines: the huge block is read through and dropped, and the memory
    // used is bounded by the file, not by its count.
    TempDir dir;
    constexpr long kSize = 64L * 1024 * 1024;
    {
        std::ofstream out(dir.Path() / kAccPatternFile, std::ios::binary);
        out << AccBlock() << "2147483647\n";
        const std::string lines(1 << 20, '\n');
        for (long written = 0; written < kSize; written += static_cast<long>(lines.size())) {
            out << lines;
        }
    }
    WriteText(dir.Path() / kDrumPatternFile, "0\r\n");
    bool finished = false;
    const long peak = PeakMemoryOfLoading(dir.Path(), &finished);
    ASSERT_TRUE(finished) << "loading failed, lost the good pattern or took too long";
    RecordProperty("peak_bytes", std::to_string(peak));
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 3 * kSize) << "peak memory " << peak << " bytes for a " << kSize
                               << "-byte file";
}

}  // namespace
}  // namespace tontoko
