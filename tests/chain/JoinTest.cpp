#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

#include "../support/TempDir.h"
#include "SmfReader.h"
#include "SongFiles.h"
#include "chain/Join.h"
#include "tests/support/ChildProcess.h"

using namespace tontoko;

namespace {

constexpr uint64_t kSongTicks = 1536;

size_t CountTempoEvents(const std::vector<uint8_t>& bytes) {
    const uint8_t tempo[] = {0xFF, 0x51, 0x03};
    size_t n = 0;
    for (auto it = bytes.begin();
         (it = std::search(it, bytes.end(), std::begin(tempo), std::end(tempo))) != bytes.end();
         ++it) {
        ++n;
    }
    return n;
}

}  // namespace

TEST(Join, WrittenSongsHaveTheJoinableLayout) {
    const std::vector<uint8_t> song = WrittenSong(120, 0);
    EXPECT_TRUE(IsJoinableSong(song));
    const SmfSummary summary = ReadSmf(song);
    ASSERT_TRUE(summary.valid) << summary.problem;
    EXPECT_EQ(summary.endTick, kSongTicks);
    EXPECT_EQ(summary.notesLeftSounding, 0);
}

TEST(Join, FasterFirstSongSetsTheTempoOfBoth) {
    const std::vector<uint8_t> first = WrittenSong(120, 1);
    const std::vector<uint8_t> second = WrittenSong(60, 2);
    const std::vector<uint8_t> joined = JoinSongs(first, second);

    // Size rule and the length field.
    EXPECT_EQ(joined.size(), first.size() - 3 + second.size() - 43);
    EXPECT_EQ(TrackLengthField(joined), joined.size() - 22);

    // One tempo event, the first song's.
    EXPECT_EQ(CountTempoEvents(joined), 1u);
    const std::vector<uint8_t> tempo120 = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    EXPECT_TRUE(std::equal(tempo120.begin(), tempo120.end(), joined.begin() + 23));

    // The first song's bytes up to its end-of-track delta, then the second from
    // its first program change.
    EXPECT_TRUE(std::equal(first.begin() + 22, first.end() - 3, joined.begin() + 22));
    EXPECT_TRUE(std::equal(second.begin() + 43, second.end(),
                           joined.begin() + std::ptrdiff_t(first.size() - 3)));

    const SmfSummary summary = ReadSmf(joined);
    ASSERT_TRUE(summary.valid) << summary.problem;
    EXPECT_EQ(summary.format, 0);
    EXPECT_EQ(summary.tracks, 1);
    EXPECT_EQ(summary.tempos, std::vector<uint32_t>{500000});
    EXPECT_EQ(summary.programs, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(summary.notesLeftSounding, 0);
    EXPECT_EQ(summary.noteOns, ReadSmf(first).noteOns + ReadSmf(second).noteOns);
    EXPECT_EQ(summary.endTick, 2 * kSongTicks);
    EXPECT_TRUE(IsJoinableSong(joined));
}

TEST(Join, ASongWithItselfAndAJoinJoinedAgain) {
    const std::vector<uint8_t> a = WrittenSong(120, 1);
    const std::vector<uint8_t> twice = JoinSongs(a, a);
    SmfSummary summary = ReadSmf(twice);
    ASSERT_TRUE(summary.valid) << summary.problem;
    EXPECT_EQ(summary.endTick, 2 * kSongTicks);
    EXPECT_EQ(summary.noteOns, 2 * ReadSmf(a).noteOns);

    // A join as the first file gives three songs in a row, as the second too.
    const std::vector<uint8_t> c = WrittenSong(180, 3, 2);
    const std::vector<uint8_t> three = JoinSongs(JoinSongs(a, WrittenSong(60, 2)), c);
    summary = ReadSmf(three);
    ASSERT_TRUE(summary.valid) << summary.problem;
    EXPECT_EQ(summary.programs, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(summary.endTick, 3 * kSongTicks + 2 * 96);  // the third song's interval
    EXPECT_EQ(summary.notesLeftSounding, 0);
    EXPECT_EQ(TrackLengthField(three), three.size() - 22);

    const std::vector<uint8_t> behind = JoinSongs(a, JoinSongs(WrittenSong(60, 2), c));
    EXPECT_EQ(ReadSmf(behind).programs, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(behind.size(), three.size());
}

TEST(Join, OnlySongsOfTheWritersLayoutAreJoinable) {
    const std::vector<uint8_t> song = WrittenSong(120, 0);
    std::vector<uint8_t> bytes = song;
    EXPECT_FALSE(IsJoinableSong({}));
    bytes.resize(46);
    EXPECT_FALSE(IsJoinableSong(bytes));  // too short

    bytes = song;
    bytes.pop_back();
    EXPECT_FALSE(IsJoinableSong(bytes));  // truncated: no end of track

    bytes = song;
    bytes[43] = 0xC1;
    EXPECT_FALSE(IsJoinableSong(bytes));  // another layout before offset 43

    bytes = song;
    bytes[11] = 0x02;
    EXPECT_FALSE(IsJoinableSong(bytes));  // two tracks

    std::vector<uint8_t> text(200, 'x');
    EXPECT_FALSE(IsJoinableSong(text));

    // Only the layout's fixed part and the end of track: accepted once the
    // length field is right.
    std::vector<uint8_t> smallest(song.begin(), song.begin() + 72);
    const uint8_t endOfTrack[] = {0x00, 0xFF, 0x2F, 0x00};
    std::copy(std::begin(endOfTrack), std::end(endOfTrack), smallest.begin() + 68);
    EXPECT_FALSE(IsJoinableSong(smallest)) << "the length field still says the old size";
    const uint32_t length = static_cast<uint32_t>(smallest.size() - 22);
    smallest[20] = static_cast<uint8_t>(length >> 8);
    smallest[21] = static_cast<uint8_t>(length);
    EXPECT_TRUE(IsJoinableSong(smallest));
    EXPECT_TRUE(IsJoinableSong(JoinSongs(smallest, song)));
}

// A valid file of another layout that passes a look at a few bytes: C0 at
// offset 43 (inside a text event) and 00 FF 2F 00 at the end.
std::vector<uint8_t> OtherLayoutSong() {
    // A text event of 40 bytes: 17 letters, C0, "あ" seven times and a letter;
    // then a note and the end of track.
    std::string track("\x00\xFF\x01\x28", 4);
    track += std::string(17, 'a');
    track += '\xC0';
    for (int i = 0; i < 7; ++i) {
        track += "\xE3\x81\x82";
    }
    track += 'a';
    track += std::string("\x00\x90\x3C\x40\x60\x90\x3C\x00\x00\xFF\x2F\x00", 12);
    std::string file("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00", 21);
    file += static_cast<char>(track.size());
    file += track;
    return std::vector<uint8_t>(file.begin(), file.end());
}

TEST(JoinFiles, AnotherLayoutIsRefusedAndNothingIsWritten) {
    const std::vector<uint8_t> other = OtherLayoutSong();
    ASSERT_TRUE(ReadSmf(other).valid) << ReadSmf(other).problem;
    ASSERT_EQ(other[43], 0xC0);
    EXPECT_FALSE(IsJoinableSong(other));

    TempDir dir;
    const std::vector<uint8_t> song = WrittenSong(120, 1);
    WriteBytes(dir.File("song.mid"), song);
    WriteBytes(dir.File("other.mid"), other);
    WriteBytes(dir.File("out.mid"), {1, 2, 3});
    EXPECT_EQ(JoinFiles(dir.File("song.mid"), dir.File("other.mid"), dir.File("out.mid")),
              JoinStatus::SecondInvalid);
    EXPECT_EQ(JoinFiles(dir.File("other.mid"), dir.File("song.mid"), dir.File("out.mid")),
              JoinStatus::FirstInvalid);
    EXPECT_EQ(ReadBytes(dir.File("out.mid")), (std::vector<uint8_t>{1, 2, 3}));

    // What the old check let through: the joined bytes are not a valid file.
    std::vector<uint8_t> joined;
    EXPECT_EQ(JoinCheckedSongs(song, other, joined), JoinStatus::SecondInvalid);
    EXPECT_TRUE(joined.empty());
    EXPECT_FALSE(ReadSmf(JoinSongs(song, other)).valid);
}

TEST(JoinFiles, FifoOrDeviceInputsAreRefusedWithoutWaiting) {
    TempDir dir;
    WriteBytes(dir.File("song.mid"), WrittenSong(120, 1));
    ASSERT_EQ(::mkfifo(dir.File("fifo.mid").c_str(), 0600), 0);
    const ChildResult result = RunInChild(
        [&](int) {
            const bool fifo = JoinFiles(dir.File("fifo.mid"), dir.File("song.mid"),
                                        dir.File("r.mid")) == JoinStatus::FirstUnreadable;
            const bool device = JoinFiles(dir.File("song.mid"), "/dev/zero", dir.File("r.mid")) ==
                                JoinStatus::SecondUnreadable;
            return fifo && device ? 0 : 1;
        },
        std::chrono::seconds(5));
    ASSERT_TRUE(result.finished) << "the join waited on a FIFO or read a device without end";
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("r.mid")));
}

// Bad inputs and a result named like an input are covered through the dialog;
// here what only the file level shows: no temporary file is ever left behind.
TEST(JoinFiles, LeavesNoTemporaryFileBehind) {
    TempDir dir;
    const std::string b = dir.File("b.mid");
    const std::vector<uint8_t> song = WrittenSong(60, 2);
    WriteBytes(b, song);
    ASSERT_EQ(JoinFiles(b, b, b), JoinStatus::Done);
    EXPECT_EQ(ReadBytes(b), JoinSongs(song, song));

    // A folder as input or in the result's place.
    std::filesystem::create_directory(dir.File("taken"));
    EXPECT_EQ(JoinFiles(b, dir.File("taken"), dir.File("r.mid")), JoinStatus::SecondUnreadable);
    EXPECT_EQ(JoinFiles(b, b, dir.File("taken")), JoinStatus::WriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);  // b.mid and the folder
}
