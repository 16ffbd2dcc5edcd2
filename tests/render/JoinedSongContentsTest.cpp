// The songs of a joined file as one song of parts: the parts in order, the
// first song's settings, every setting that differs listed once with each
// song that differs, and no song longer than eight parts.
#include <gtest/gtest.h>

#include <vector>

#include "render/JoinedSongContents.h"

namespace tontoko {
namespace {

// A song of `parts` parts whose melody tells the song and the part apart.
SongFileContents Song(int parts, uint8_t tag) {
    SongFileContents song;
    song.parts.resize(static_cast<size_t>(parts));
    for (size_t p = 0; p < song.parts.size(); ++p) {
        song.parts[p].marks[0] = 1;
        song.parts[p].pitches[0] = static_cast<uint8_t>(tag + p);
        song.parts[p].degrees[0] = static_cast<uint8_t>(1 + (tag + p) % 7);
    }
    song.velocities = {uint8_t{110}, uint8_t{110}, uint8_t{110}, uint8_t{110}};
    return song;
}

TEST(JoinedSongContents, PartsFollowEachOtherAndTheFirstSongsSettingsAreTaken) {
    SongFileContents first = Song(1, 60);
    first.transposition = 3;
    first.melodyProgram = 40;
    first.fade = FadeMode::FadeIn;
    first.interval = 2;
    first.carriedNotes[kMelodyVoice] = 77;
    first.velocities[static_cast<size_t>(VolumeGroup::Bass)] = std::nullopt;
    SongFileContents second = Song(2, 70);
    second.transposition = 3;
    second.melodyProgram = 40;
    second.fade = FadeMode::FadeIn;
    second.interval = 2;
    second.carriedNotes[kMelodyVoice] = 12;
    second.velocities[static_cast<size_t>(VolumeGroup::Bass)] = uint8_t{90};
    SongFileContents current;
    current.parts.resize(2);
    current.parts[1].fixed[2] = {true, true};

    const std::vector<SongFileContents> songs{first, second, Song(1, 80)};
    const JoinedSong joined = JoinedSongContents(songs, current);
    ASSERT_FALSE(joined.tooLong);
    EXPECT_EQ(joined.measures, 16);
    EXPECT_EQ(joined.firstParts, (std::vector<int>{0, 1, 3}));
    ASSERT_EQ(joined.contents.parts.size(), 4u);
    const uint8_t melodies[] = {60, 70, 71, 80};
    for (size_t p = 0; p < 4; ++p) {
        EXPECT_EQ(joined.contents.parts[p].pitches[0], melodies[p]) << p;
    }
    // The fixed boxes are the current part's of the same number.
    EXPECT_EQ(joined.contents.parts[1].fixed, current.parts[1].fixed);
    EXPECT_EQ(joined.contents.parts[3].fixed, SongPart{}.fixed);

    // Everything else is the first song's, as the first song would open.
    SongFileContents expected = first;
    expected.parts = joined.contents.parts;
    // The first song plays no bass: the bass plays as the first song that has one.
    expected.velocities[static_cast<size_t>(VolumeGroup::Bass)] = uint8_t{90};
    EXPECT_EQ(joined.contents, expected);

    // The third song differs from the first in what a default song has, and
    // its bass from the second song's, which was taken.
    const std::vector<JoinedDifference> differences{
        {JoinedSetting::Key, 3, {{3, 0}}},
        {JoinedSetting::MelodyProgram, 40, {{3, 0}}},
        {JoinedSetting::Fade, 1, {{3, 0}}},
        {JoinedSetting::Interval, 2, {{3, 0}}},
        {JoinedSetting::BassVelocity, 90, {{3, 110}}},
    };
    EXPECT_EQ(joined.differences, differences);
}

TEST(JoinedSongContents, EverySettingThatDiffersIsListedWithTheSongsThatDiffer) {
    const SongFileContents a = Song(1, 60);
    // Equal songs: nothing to list.
    EXPECT_TRUE(JoinedSongContents(std::vector<SongFileContents>{a, a, a}, {}).differences.empty());

    SongFileContents b = a;
    b.mode = Mode::Minor;
    b.transposition = -3;  // 嬰へ短調: index 12 + 9
    b.accProgram = 5;
    b.bassProgram = 33;
    b.drumSet = 4;
    b.accPattern = 2;
    b.drumPattern = 1;
    b.velocities[static_cast<size_t>(VolumeGroup::Melody)] = uint8_t{60};
    b.velocities[static_cast<size_t>(VolumeGroup::Drums)] = std::nullopt;
    SongFileContents c = a;
    c.drumsOn = false;
    c.drumPattern = 7;  // with the drums off the pattern is no difference
    c.accPatternFound = false;
    c.velocities[static_cast<size_t>(VolumeGroup::Accompaniment)] = uint8_t{30};
    SongFileContents d = b;
    d.chordsFound = false;  // its key is not the file's: no difference
    d.transposition = 5;
    d.fade = FadeMode::FadeOut;

    const JoinedSong joined = JoinedSongContents(std::vector<SongFileContents>{a, b, c, d, a}, {});
    const std::vector<JoinedDifference> expected{
        {JoinedSetting::Key, 0, {{2, 21}}},
        {JoinedSetting::AccProgram, 0, {{2, 5}, {4, 5}}},
        {JoinedSetting::BassProgram, 0, {{2, 33}, {4, 33}}},
        {JoinedSetting::DrumSet, 0, {{2, 4}, {4, 4}}},
        {JoinedSetting::AccPattern, 0, {{2, 2}, {3, -1}, {4, 2}}},
        {JoinedSetting::DrumsOn, 1, {{3, 0}}},
        {JoinedSetting::DrumPattern, 0, {{2, 1}, {4, 1}}},
        {JoinedSetting::Fade, 0, {{4, 2}}},
        {JoinedSetting::MelodyVelocity, 110, {{2, 60}, {4, 60}}},
        {JoinedSetting::AccVelocity, 110, {{3, 30}}},
    };
    EXPECT_EQ(joined.differences, expected);
    EXPECT_EQ(joined.contents.parts.size(), 5u);
    EXPECT_EQ(joined.contents.accProgram, 0);
    EXPECT_TRUE(joined.contents.drumsOn);
}

TEST(JoinedSongContents, MoreThanEightPartsAreTooLong) {
    const std::vector<SongFileContents> eight(8, Song(1, 60));
    EXPECT_FALSE(JoinedSongContents(eight, {}).tooLong);
    EXPECT_EQ(JoinedSongContents(eight, {}).contents.parts.size(), 8u);

    // Songs of several parts count every part.
    const std::vector<SongFileContents> three{Song(3, 60), Song(4, 60), Song(2, 60)};
    const JoinedSong joined = JoinedSongContents(three, {});
    EXPECT_TRUE(joined.tooLong);
    EXPECT_EQ(joined.measures, 36);
    EXPECT_TRUE(joined.differences.empty());
}

}  // namespace
}  // namespace tontoko
