// The regular-file reader meets links, folders, FIFOs and devices.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "files/RegularFile.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace tontoko {
namespace {

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(RegularFileRead, ReadsRegularFilesWholeAndWithinTheirLimit) {
    TempDir dir;
    const std::string text = std::string("5\r\nname\r\n") + std::string(100000, 'x');
    WriteText(dir.Path() / "a", text);
    EXPECT_EQ(ReadRegularFile(dir.Path() / "a"), text);
    WriteText(dir.Path() / "empty", "");
    EXPECT_EQ(ReadRegularFile(dir.Path() / "empty"), std::string());
    std::filesystem::create_symlink(dir.Path() / "a", dir.Path() / "link");
    EXPECT_EQ(ReadRegularFile(dir.Path() / "link"), text) << "a link to a file is followed";

    EXPECT_EQ(ReadRegularFile(dir.Path() / "a", text.size()), text) << "exactly the limit";
    EXPECT_FALSE(ReadRegularFile(dir.Path() / "a", text.size() - 1)) << "one byte over it";
    EXPECT_FALSE(ReadRegularFile(dir.Path() / "missing"));
    EXPECT_FALSE(ReadRegularFile(dir.Path())) << "a folder";
}

TEST(RegularFileRead, FifosAndDevicesAreRefusedWithoutWaiting) {
    TempDir dir;
    const std::filesystem::path fifo = dir.Path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const ChildResult result = RunInChild(
        [&](int) {
            // A FIFO without a writer, then one with a writer holding it open
            // (a read would wait for data), then an endless device.
            const bool noWriter = !ReadRegularFile(fifo);
            const int writer = ::open(fifo.c_str(), O_RDWR);
            const bool withWriter = !ReadRegularFile(fifo);
            ::close(writer);
            const bool device = !ReadRegularFile("/dev/zero");
            return noWriter && withWriter && device ? 0 : 1;
        },
        std::chrono::seconds(5));
    ASSERT_TRUE(result.finished) << "a reader waited on a FIFO or read a device without end";
    EXPECT_EQ(result.exitCode, 0) << "a special file was read as a file";
}

}  // namespace
}  // namespace tontoko
