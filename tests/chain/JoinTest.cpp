#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../support/TempDir.h"
#include "SmfReader.h"
#include "SongFiles.h"
#include "chain/Join.h"

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

    // The smallest file of the layout is accepted.
    std::vector<uint8_t> smallest(song.begin(), song.begin() + 44);
    smallest.insert(smallest.end(), {0x00, 0xFF, 0x2F, 0x00});
    EXPECT_TRUE(IsJoinableSong(smallest));
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
