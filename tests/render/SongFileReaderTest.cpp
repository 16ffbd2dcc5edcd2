// Reading song files: every kind of file that is not a song this writer made
// gives its reason, joined songs are listed one by one, older files with
// melody note 0 open with that onset pending, and readings that sound the
// same are told apart by the current values.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/Song.h"
#include "render/ApplySongContents.h"
#include "render/ComposeParts.h"
#include "render/SStandardMidi.h"
#include "render/SongFileReader.h"
#include "tests/render/SongFileTestSongs.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace tontoko {
namespace {

using Bytes = std::vector<uint8_t>;

void FixLength(Bytes& bytes) {
    const uint32_t length = static_cast<uint32_t>(bytes.size() - 22);
    for (int i = 0; i < 4; ++i) {
        bytes[18 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    }
}

// The chain dialog's join: the first song without its end of track, then the
// second from its first program change.
Bytes Join(const Bytes& first, const Bytes& second) {
    Bytes joined(first.begin(), first.end() - 3);
    joined.insert(joined.end(), second.begin() + 43, second.end());
    FixLength(joined);
    return joined;
}

// A song written from contents by a fresh writer.
Bytes Written(const SongFileContents& contents, const PatternLibrary& library) {
    return RewriteSongFile(contents, library);
}

SongFileContents SimpleSong(int parts = 1) {
    SongFileContents song;
    song.parts.resize(static_cast<size_t>(parts));
    for (SongPart& part : song.parts) {
        for (int s = 0; s < kSongSteps; s += 4) {
            part.marks[s] = 1;
            part.pitches[s] = static_cast<uint8_t>(72 + (s / 4) % 5);
        }
    }
    return song;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(SongFileReader, BytesThatAreNoSongOfTheWriterGiveTheirReason) {
    const PatternLibrary library = testing::TestPatterns();
    const Bytes song = Written(SimpleSong(), library);
    const SongFileContents current;
    ASSERT_TRUE(ReadSongFile(song, library, current).Ok());

    struct Case {
        const char* what;
        Bytes bytes;
        SongFileProblem problem;
    };
    std::vector<Case> cases;
    auto changed = [&](const char* what, SongFileProblem problem, auto change) {
        Bytes bytes = song;
        change(bytes);
        FixLength(bytes);
        cases.push_back({what, bytes, problem});
    };
    cases.push_back({"empty", {}, SongFileProblem::NotMidi});
    cases.push_back({"text", {'h', 'e', 'l', 'l', 'o', '\n'}, SongFileProblem::NotMidi});
    cases.push_back({"a WAV file",
                     {'R', 'I', 'F', 'F', 0x24, 0, 0, 0, 'W', 'A', 'V', 'E'},
                     SongFileProblem::NotMidi});
    changed("format 1", SongFileProblem::OtherLayout, [](Bytes& b) { b[9] = 1; });
    changed("480 ticks per quarter note", SongFileProblem::OtherLayout,
            [](Bytes& b) { b[12] = 0x01, b[13] = 0xE0; });
    changed("a control change among the notes", SongFileProblem::OtherLayout, [](Bytes& b) {
        b.insert(b.begin() + 72, {0x00, 0xB0, 0x07, 0x64});
    });
    changed("a tempo no setting writes", SongFileProblem::OtherLayout,
            [](Bytes& b) { b[28] ^= 1; });
    changed("chord voices on two instruments", SongFileProblem::OtherLayout,
            [](Bytes& b) { b[50] = 5; });
    changed("a drum-set program of no drum set", SongFileProblem::OtherLayout,
            [](Bytes& b) { b[67] = 7; });
    changed("a lead-in of five beats", SongFileProblem::OtherLayout,
            [](Bytes& b) { b[68] = 0x83, b.insert(b.begin() + 69, 0x60); });
    changed("a delta time of two bytes for 0", SongFileProblem::OtherLayout, [](Bytes& b) {
        ASSERT_EQ(b[72], 0x00);
        b[72] = 0x80;
        b.insert(b.begin() + 73, 0x00);
    });
    changed("a note between two steps", SongFileProblem::OtherLayout, [](Bytes& b) {
        ASSERT_EQ(b[72], 0x00);  // the first note-on after the bass at step 0
        b[72] = 0x01;
        b[b.size() - 4 - 40] -= 1;  // the bass's final delta, 1 tick shorter
    });
    changed("a bass note louder than the others", SongFileProblem::OtherLayout, [](Bytes& b) {
        ASSERT_EQ(b[69], 0x90);
        b[71] = 111;
    });
    changed("more drum notes at a step than drum voices", SongFileProblem::OtherLayout,
            [](Bytes& b) {
                // After the last drum note before the final note-offs.
                size_t at = b.size() - 4 - 40;
                while (b[at] != 0x99 || b[at + 2] == 0) {
                    --at;
                }
                for (int pair = 0; pair < 5; ++pair) {
                    b.insert(b.begin() + std::ptrdiff_t(at + 3),
                             {0, 0x99, b[at + 1], 0, 0, 0x99, b[at + 1], 0});
                }
            });
    changed("bytes after the end of track", SongFileProblem::OtherLayout,
            [](Bytes& b) { b.push_back(0); });
    // Nine parts: longer than the longest song.
    {
        Song scratch(1);
        SongVoices voices;
        for (int p = 0; p < 9; ++p) {
            voices.Append(scratch.rhythms, scratch.melodies, kSongSteps);
        }
        std::array<uint8_t, kVoiceCount> last{};
        Bytes nine;
        SStandardMidi().Compose(nine, voices, last, 120, {});
        cases.push_back({"nine parts", nine, SongFileProblem::OtherLayout});
    }
    // Every cut of a song is a truncated file.
    for (size_t size = 1; size < song.size(); ++size) {
        cases.push_back({"cut", Bytes(song.begin(), song.begin() + std::ptrdiff_t(size)),
                         SongFileProblem::Truncated});
    }
    cases.push_back(
        {"larger than 1 MB", Bytes(kMaxSongFileBytes + 1, 0), SongFileProblem::TooLarge});

    for (const Case& c : cases) {
        const SongFileReading reading = ReadSongFile(c.bytes, library, current);
        EXPECT_EQ(reading.problem, c.problem)
            << c.what << " (" << c.bytes.size() << " bytes): " << reading.detail;
        EXPECT_FALSE(reading.detail.empty()) << c.what;
    }
}

TEST(SongFileReader, FilesThatAreNoRegularFileAreRefusedWithoutWaiting) {
    const PatternLibrary library = testing::TestPatterns();
    TempDir dir;
    const Bytes song = Written(SimpleSong(2), library);
    WriteFile(dir.Path() / "song.mid", song);
    WriteFile(dir.Path() / "large.mid", Bytes(kMaxSongFileBytes + 1, 0x4D));
    ASSERT_EQ(::mkfifo((dir.Path() / "fifo.mid").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.Path() / "folder.mid");
    std::filesystem::create_symlink(dir.Path() / "gone.mid", dir.Path() / "dangling.mid");
    const std::pair<std::string, SongFileProblem> cases[] = {
        {"song.mid", SongFileProblem::None},          {"large.mid", SongFileProblem::TooLarge},
        {"fifo.mid", SongFileProblem::NotRegular},    {"folder.mid", SongFileProblem::NotRegular},
        {"missing.mid", SongFileProblem::Unreadable}, {"dangling.mid", SongFileProblem::Unreadable},
    };
    const ChildResult result = RunInChild(
        [&](int) {
            int wrong = 0;
            for (const auto& [name, problem] : cases) {
                const SongFileReading reading = ReadSongFileAt(dir.Path() / name, library, {});
                wrong += reading.problem != problem || reading.detail.empty() != reading.Ok();
            }
            const SongFileReading device = ReadSongFileAt("/dev/zero", library, {});
            wrong += device.problem != SongFileProblem::NotRegular || device.detail != "a device";
            return wrong;
        },
        std::chrono::seconds(10));
    ASSERT_TRUE(result.finished) << "reading waited on a FIFO or a device";
    EXPECT_EQ(result.exitCode, 0);
    const SongFileReading reading = ReadSongFileAt(dir.Path() / "song.mid", library, {});
    ASSERT_TRUE(reading.Ok());
    EXPECT_EQ(reading.contents.parts.size(), 2u);
    EXPECT_EQ(ReadSongFileAt(dir.Path() / "folder.mid", library, {}).detail, "a folder");
    EXPECT_EQ(ReadSongFileAt(dir.Path() / "fifo.mid", library, {}).detail, "a FIFO");
}

TEST(SongFileReader, JoinedSongsAreListedOneByOne) {
    const PatternLibrary library = testing::TestPatterns();
    const std::vector<testing::WrittenSong> songs = testing::WriteTestSongs(library, 6, 77);
    ASSERT_GE(songs.size(), 3u);
    const SongFileContents current;
    for (size_t i = 0; i + 2 < songs.size(); ++i) {
        const Bytes& a = songs[i].bytes;
        const Bytes& b = songs[i + 1].bytes;
        const Bytes& c = songs[i + 2].bytes;
        for (const std::vector<const Bytes*>& parts :
             {std::vector<const Bytes*>{&a, &b}, std::vector<const Bytes*>{&a, &b, &c},
              std::vector<const Bytes*>{&c, &c}}) {
            Bytes joined = *parts[0];
            for (size_t k = 1; k < parts.size(); ++k) {
                joined = Join(joined, *parts[k]);
            }
            const SongFileReading reading = ReadSongFile(joined, library, current);
            ASSERT_EQ(reading.problem, SongFileProblem::Joined) << reading.detail;
            EXPECT_EQ(reading.detail, std::to_string(parts.size()) + " songs joined");
            EXPECT_EQ(reading.joinedCount, parts.size());
            ASSERT_EQ(reading.joinedSongs.size(), parts.size());
            const SongFileContents first = ReadSongFile(*parts[0], library, current).contents;
            for (size_t k = 0; k < parts.size(); ++k) {
                // Each song as read on its own, at the first song's tempo.
                SongFileContents alone = ReadSongFile(*parts[k], library, current).contents;
                alone.tempo = first.tempo;
                EXPECT_EQ(reading.joinedSongs[k], alone) << "song " << k;
            }
        }
    }
    // Nine songs cannot be the parts of one song: they are only counted.
    Bytes nine = songs[0].bytes;
    for (int k = 1; k < 9; ++k) {
        nine = Join(nine, songs[static_cast<size_t>(k) % songs.size()].bytes);
    }
    const SongFileReading many = ReadSongFile(nine, library, current);
    EXPECT_EQ(many.problem, SongFileProblem::Joined);
    EXPECT_EQ(many.joinedCount, 9u);
    EXPECT_TRUE(many.joinedSongs.empty());
    // A joined file that is cut short is truncated.
    const Bytes joined = Join(songs[0].bytes, songs[1].bytes);
    EXPECT_EQ(ReadSongFile(Bytes(joined.begin(), joined.end() - 30), library, current).problem,
              SongFileProblem::Truncated);
}

TEST(SongFileReader, MelodyNoteZeroOfOlderFilesOpensAsAPendingOnset) {
    const PatternLibrary library = testing::TestPatterns();
    SongFileContents song = SimpleSong(2);
    song.parts[1].pitches[8] = 0;  // a rest, as written now
    const Bytes now = Written(song, library);
    // Before the rest, an onset of pitch 0 wrote a note-on for note 0, which
    // the next onset ended; pitch 128 writes exactly those bytes.
    song.parts[1].pitches[8] = 128;
    const Bytes older = Written(song, library);
    ASSERT_NE(older, now);

    const SongFileReading reading = ReadSongFile(older, library, {});
    ASSERT_TRUE(reading.Ok()) << reading.detail;
    EXPECT_TRUE(reading.olderRests);
    EXPECT_EQ(reading.contents.parts[1].marks[8], 1);
    EXPECT_EQ(reading.contents.parts[1].pitches[8], 0);
    // Written again it is a rest; that file reads back to the same song.
    EXPECT_EQ(RewriteSongFile(reading.contents, library), now);
    const SongFileReading again = ReadSongFile(now, library, {});
    ASSERT_TRUE(again.Ok());
    EXPECT_FALSE(again.olderRests);
    EXPECT_EQ(again.contents, reading.contents);
}

TEST(SongFileReader, TheCurrentValuesChooseBetweenReadingsThatSoundTheSame) {
    PatternLibrary library = testing::TestPatterns();
    // Bass and two chord voices on the first step of each measure only: the
    // second halves reveal no chord, and without the fifth voice C major's I
    // and F major's V sound the same.
    AccPattern bars;
    bars.name = "bars";
    const std::string measureStarts = [] {
        std::string part(kSongSteps, '0');
        for (int m = 0; m < kMeasures; ++m) {
            part[static_cast<size_t>(16 * m)] = '1';
        }
        return part;
    }();
    bars.parts = {measureStarts, std::string(kSongSteps, '0'), measureStarts, measureStarts};
    library.acc.push_back(bars);
    SongFileContents song = SimpleSong();
    song.accPattern = static_cast<int>(library.acc.size()) - 1;
    song.parts[0].degrees = {1, 1, 1, 1, 1, 1, 1, 1};
    song.drumsOn = false;
    song.drumChannels = {9, 9, 9, 9, 9};  // the drum part was on before
    for (auto& velocity : song.velocities) {
        velocity = 0;  // every note at velocity 0: any fade fits
    }
    song.fade = FadeMode::FadeIn;
    const Bytes bytes = Written(song, library);

    SongFileContents inF = song;
    inF.transposition = 5;
    inF.parts[0].degrees = {5, 2, 5, 3, 5, 4, 5, 6};
    inF.fade = FadeMode::FadeOut;
    inF.drumsOn = true;
    inF.drumPattern = 6;  // no drum notes, and drums on
    const SongFileReading f = ReadSongFile(bytes, library, inF);
    ASSERT_TRUE(f.Ok()) << f.detail;
    EXPECT_EQ(f.contents.transposition, 5);
    EXPECT_EQ(f.contents.parts[0].degrees,
              (std::array<uint8_t, kChordSlots>{5, 2, 5, 3, 5, 4, 5, 6}));
    EXPECT_EQ(f.contents.fade, FadeMode::FadeOut);
    EXPECT_TRUE(f.contents.drumsOn);
    EXPECT_EQ(f.contents.drumPattern, 6);

    SongFileContents inD = song;
    inD.transposition = 2;  // D major gives no reading: the lowest key, C major, does
    inD.parts.clear();
    inD.fade = FadeMode::Normal;
    inD.drumsOn = true;
    inD.drumPattern = 0;  // has drum notes: the lowest pattern without any
    const SongFileReading d = ReadSongFile(bytes, library, inD);
    ASSERT_TRUE(d.Ok()) << d.detail;
    EXPECT_EQ(d.contents.mode, Mode::Major);
    EXPECT_EQ(d.contents.transposition, 0);
    EXPECT_EQ(d.contents.parts[0].degrees,
              (std::array<uint8_t, kChordSlots>{1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(d.contents.fade, FadeMode::Normal);
    EXPECT_TRUE(d.contents.drumsOn);
    EXPECT_EQ(d.contents.drumPattern, 6);
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(d.contents.velocities[g], std::optional<uint8_t>(0));
    }
    EXPECT_FALSE(d.contents.velocities[3].has_value());  // no drum note
    const SongFileReading off = ReadSongFile(bytes, library, song);
    ASSERT_TRUE(off.Ok());
    EXPECT_FALSE(off.contents.drumsOn);
    for (const SongFileReading* reading : {&f, &d, &off}) {
        EXPECT_EQ(RewriteSongFile(reading->contents, library), bytes);
    }

    // The tempo values 0 to 3 all write the slowest tempo.
    SongFileContents slow = song;
    slow.tempo = 2;
    const Bytes slowBytes = Written(slow, library);
    EXPECT_EQ(ReadSongFile(slowBytes, library, slow).contents.tempo, 2);
    EXPECT_EQ(ReadSongFile(slowBytes, library, song).contents.tempo, 0);
}

}  // namespace
}  // namespace tontoko
