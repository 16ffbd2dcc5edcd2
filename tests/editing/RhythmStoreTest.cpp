// The rhythm file's reader and writer meet special files, odd line ends and
// failing writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "../support/TempDir.h"
#include "editing/RhythmStore.h"
#include "tests/support/ChildProcess.h"

namespace tontoko {
namespace {

const std::string kBeats = "1000100010001000";
const std::string kEighths = "1010101010101010";

TEST(RhythmStoreFile, ReadsEitherLineEndAndALastLineWithoutOne) {
    RhythmStore store;
    store.LoadText(kBeats + "\r\n" + kEighths + "\n" + kBeats + "\r\n\r\n" + kEighths);
    ASSERT_EQ(store.Count(), 4);
    EXPECT_EQ(store.Entry(0), kBeats);
    EXPECT_EQ(store.Entry(1), kEighths);
    EXPECT_EQ(store.Entry(3), kEighths);

    // Lines that are no pattern are skipped; a long line is not cut into one.
    store.LoadText(std::string(1 << 20, '1') + "\n" + kBeats + "x\n0000000000000000\n" + kEighths);
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Entry(0), kEighths);
}

TEST(RhythmStoreFile, FifoOrDeviceInTheFilesPlaceReadsAsNoFile) {
    TempDir dir;
    const std::string fifo = dir.File(RhythmStore::kFileName);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const ChildResult result = RunInChild(
        [&](int) {
            RhythmStore store;
            store.LoadText(kBeats);
            store.Load(fifo);
            const bool fifoEmpty = store.Count() == 0;
            store.LoadText(kBeats);
            store.Load("/dev/zero");
            return fifoEmpty && store.Count() == 0 ? 0 : 1;
        },
        std::chrono::seconds(5));
    ASSERT_TRUE(result.finished) << "the rhythm file's reader waited on a FIFO or a device";
    EXPECT_EQ(result.exitCode, 0);
}

TEST(RhythmStoreFile, AFailedSaveLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.File(RhythmStore::kFileName);
    RhythmStore store;
    ASSERT_TRUE(store.Add(kBeats));
    ASSERT_TRUE(store.Save(path));
    ASSERT_TRUE(store.Add(kEighths));
    EXPECT_FALSE(store.Save(dir.File("missing/RwRhythm.dat")));
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(store.Save(dir.File("folder")));

    RhythmStore reread;
    reread.Load(path);
    ASSERT_EQ(reread.Count(), 1);
    EXPECT_EQ(reread.Entry(0), kBeats);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
        << "only the rhythm file and the folder";
}

}  // namespace
}  // namespace tontoko
