// tontoko-compose --form: songs of parts, new letters generated afresh and
// repeated letters repeated exactly, finished and with motifs part by part,
// printed part by part, valid for another MIDI reader; --open of songs of
// parts and of files the chain dialog joined.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ComposeRun.h"
#include "engine/SongPart.h"
#include "render/PatternLibrary.h"
#include "render/SongFileReader.h"
#include "tests/support/TempDir.h"

namespace tontoko {
namespace {

using compose_run::kData;
using compose_run::ReadText;
using compose_run::RunResult;

RunResult Compose(const TempDir& cwd, std::vector<std::string> args) {
    args.insert(args.begin(), {"--data", kData});
    return compose_run::RunComposer(cwd, std::move(args));
}

SongFileContents Read(const std::filesystem::path& path) {
    PatternLibrary library;
    LoadPatterns(library, kData);
    const SongFileReading reading = ReadSongFileAt(path, library, {});
    EXPECT_TRUE(reading.Ok()) << path << ": " << reading.detail;
    return reading.contents;
}

bool SameMusic(const SongPart& a, const SongPart& b) {
    return a.degrees == b.degrees && a.marks == b.marks && a.pitches == b.pitches;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(ComposeForm, NewLettersAreNewPartsAndRepeatedLettersRepeatThem) {
    TempDir dir;
    for (const char* seed : {"1", "77", "2026"}) {
        const RunResult run = Compose(dir, {"--seed", seed, "--form", "AABA", "-o", "aaba.mid"});
        ASSERT_EQ(run.status, 0) << run.err;
        const SongFileContents song = Read(dir.File("aaba.mid"));
        ASSERT_EQ(song.parts.size(), 4u);
        EXPECT_TRUE(SameMusic(song.parts[0], song.parts[1])) << seed;
        EXPECT_TRUE(SameMusic(song.parts[0], song.parts[3])) << seed;
        EXPECT_FALSE(SameMusic(song.parts[0], song.parts[2])) << seed;
        // Printed part by part, measures numbered through the song.
        EXPECT_TRUE(Contains(run.out, "パート1（1〜4小節目）\n")) << run.out;
        EXPECT_TRUE(Contains(run.out, "パート2（5〜8小節目）　パート1とおなじ\n"));
        EXPECT_TRUE(Contains(run.out, "パート3（9〜12小節目）\n"));
        EXPECT_TRUE(Contains(run.out, "パート4（13〜16小節目）　パート1とおなじ\n"));
        EXPECT_TRUE(Contains(run.out, "  16小節目  和音 "));
        EXPECT_FALSE(Contains(run.out, "17小節目"));

        // The same seed and options give the same bytes; the letters' case
        // does not matter.
        ASSERT_EQ(Compose(dir, {"--seed", seed, "--form", "aaba", "-o", "again.mid"}).status, 0);
        EXPECT_EQ(ReadText(dir.File("again.mid")), ReadText(dir.File("aaba.mid")));
        // One letter is the song of one part that composing always made.
        ASSERT_EQ(Compose(dir, {"--seed", seed, "--form", "A", "-o", "a.mid"}).status, 0);
        ASSERT_EQ(Compose(dir, {"--seed", seed, "-o", "plain.mid"}).status, 0);
        EXPECT_EQ(ReadText(dir.File("a.mid")), ReadText(dir.File("plain.mid")));
    }

    // Eight letters, each new; a run of songs gives each song the form.
    RunResult run = Compose(dir, {"--seed", "5", "--form", "ABCDEFGH", "-o", "long.mid"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SongFileContents eight = Read(dir.File("long.mid"));
    ASSERT_EQ(eight.parts.size(), 8u);
    for (size_t p = 1; p < 8; ++p) {
        EXPECT_FALSE(SameMusic(eight.parts[p - 1], eight.parts[p])) << p;
    }
    EXPECT_TRUE(Contains(run.out, "32小節目"));
    EXPECT_FALSE(Contains(run.out, "とおなじ"));
    run = Compose(dir, {"--seed", "5", "--form", "ABB", "--count", "2", "-o", "run.mid"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : {"run-001.mid", "run-002.mid"}) {
        const SongFileContents song = Read(dir.File(name));
        ASSERT_EQ(song.parts.size(), 3u) << name;
        EXPECT_TRUE(SameMusic(song.parts[1], song.parts[2])) << name;
        EXPECT_FALSE(SameMusic(song.parts[0], song.parts[1])) << name;
    }
}

TEST(ComposeForm, FinishAndMotifActOnEveryPart) {
    TempDir dir;
    for (const std::string key : {"0", "3", "-5"}) {
        for (const bool minor : {false, true}) {
            const std::string seed = std::to_string(400 + key.size() + 7 * minor);
            std::vector<std::string> args{"--seed",  seed,     "--key",    key,
                                          "--form",  "ABAC",   "--finish", "--motif",
                                          "--style", "eighth", "-o",       "f.mid"};
            if (minor) {
                args.push_back("--minor");
            }
            const RunResult run = Compose(dir, args);
            ASSERT_EQ(run.status, 0) << run.err;
            const SongFileContents song = Read(dir.File("f.mid"));
            ASSERT_EQ(song.parts.size(), 4u);
            const int tonic = ((minor ? 9 : 0) + std::stoi(key) + 12) % 12;
            for (size_t p = 0; p < song.parts.size(); ++p) {
                const SongPart& part = song.parts[p];
                EXPECT_EQ(part.degrees[6], 1) << key << " part " << p;
                EXPECT_EQ(part.degrees[7], 1) << key << " part " << p;
                int last = -1;
                for (int s = 0; s < kSongSteps; ++s) {
                    if (part.marks[s] > 0 && part.pitches[s] != 0) {
                        last = part.pitches[s];
                    }
                }
                ASSERT_GE(last, 0) << "part " << p;
                EXPECT_EQ(last % 12, tonic)
                    << "key " << key << (minor ? " minor" : "") << ", part " << p;
                // The motif: measure 3 starts its notes where measure 1 does.
                for (int s = 0; s < kStepsPerMeasure; ++s) {
                    EXPECT_EQ(part.marks[s] > 0, part.marks[2 * kStepsPerMeasure + s] > 0)
                        << "part " << p << " step " << s;
                }
            }
            for (const char* measure : {"4小節目  和音 Ⅰ Ⅰ", "8小節目  和音 Ⅰ Ⅰ",
                                        "12小節目  和音 Ⅰ Ⅰ", "16小節目  和音 Ⅰ Ⅰ"}) {
                EXPECT_TRUE(Contains(run.out, measure)) << measure << '\n' << run.out;
            }
        }
    }
}

TEST(ComposeForm, FormsThatAreNotOneToEightLettersAreRefused) {
    TempDir dir;
    for (const char* form : {"", "ABCDEFGHI", "AB1A", "A-B", "A'", "A B", "ÄB"}) {
        const RunResult run = Compose(dir, {"--form", form});
        EXPECT_EQ(run.status, 2) << form;
        EXPECT_TRUE(Contains(run.err, "--form")) << run.err;
        EXPECT_TRUE(Contains(run.err, "1 to 8 letters A-Z")) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("song.mid"))) << form;
    }
    ASSERT_EQ(Compose(dir, {"--seed", "3", "-o", "a.mid"}).status, 0);
    const RunResult open = Compose(dir, {"--open", dir.File("a.mid"), "--form", "AB"});
    EXPECT_EQ(open.status, 2);
    EXPECT_TRUE(Contains(open.err, "--form")) << open.err;

    const RunResult help = Compose(dir, {"--help"});
    EXPECT_TRUE(Contains(help.out, "--form LETTERS")) << help.out;
    EXPECT_TRUE(Contains(help.out, "AABA"));
}

TEST(ComposeForm, OpenPrintsAndWritesEveryPart) {
    TempDir dir;
    ASSERT_EQ(
        Compose(dir, {"--seed", "8", "--form", "ABCB", "--fade", "out", "-o", "four.mid"}).status,
        0);
    const RunResult run = Compose(dir, {"--open", dir.File("four.mid"), "-o", "again.mid"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(dir.File("again.mid")), ReadText(dir.File("four.mid")));
    for (int measure = 1; measure <= 16; ++measure) {
        EXPECT_TRUE(Contains(run.out, "  " + std::to_string(measure) + "小節目  和音 "))
            << measure << '\n'
            << run.out;
    }
    EXPECT_TRUE(Contains(run.out, "パート4（13〜16小節目）　パート2とおなじ\n")) << run.out;
    EXPECT_FALSE(Contains(run.out, "17小節目"));
}

// The chain dialog's join of whole files.
std::string Join(const std::vector<std::string>& songs) {
    std::string joined = songs.front();
    for (size_t k = 1; k < songs.size(); ++k) {
        joined.resize(joined.size() - 3);
        joined += songs[k].substr(43);
    }
    const uint32_t length = uint32_t(joined.size() - 22);
    for (int i = 0; i < 4; ++i) {
        joined[18 + i] = char(length >> (24 - 8 * i));
    }
    return joined;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ComposeForm, JoinedFilesOpenAsPartsAndTheirDifferencesAreWarnedOf) {
    TempDir dir;
    ASSERT_EQ(Compose(dir, {"--seed", "1", "-o", "a.mid"}).status, 0);
    ASSERT_EQ(Compose(dir, {"--seed", "2", "--tempo", "60", "--melody-program", "41", "--no-drums",
                            "-o", "b.mid"})
                  .status,
              0);
    ASSERT_EQ(Compose(dir, {"--seed", "3", "--form", "AB", "-o", "c.mid"}).status, 0);
    const std::string a = ReadText(dir.File("a.mid"));
    const std::string b = ReadText(dir.File("b.mid"));
    const std::string c = ReadText(dir.File("c.mid"));

    WriteText(dir.File("ab.mid"), Join({a, b, c}));
    RunResult run = Compose(dir, {"--open", dir.File("ab.mid"), "-o", "out.mid"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "tontoko-compose: warning: " + dir.File("ab.mid") +
                                      ": 3 joined songs opened as one song of 16 measures"))
        << run.err;
    EXPECT_TRUE(Contains(run.err, "  melody program: 1 (song 2: 41)\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "  drum part: on (song 2: off)\n")) << run.err;
    EXPECT_FALSE(Contains(run.err, "tempo")) << "the file has one tempo";
    EXPECT_TRUE(Contains(run.out, "(3 joined songs), tempo 120")) << run.out;
    EXPECT_TRUE(Contains(run.out, "16小節目"));
    EXPECT_EQ(Read(dir.File("out.mid")).parts.size(), 4u);

    // Equal settings open without a warning.
    WriteText(dir.File("aa.mid"), Join({a, a}));
    run = Compose(dir, {"--open", dir.File("aa.mid")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    // Nine songs, or 36 measures, are more than a song holds.
    WriteText(dir.File("nine.mid"), Join(std::vector<std::string>(9, a)));
    run = Compose(dir, {"--open", dir.File("nine.mid"), "-o", "no.mid"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "9 songs joined one after another; at most 8 songs")) << run.err;
    WriteText(dir.File("long.mid"), Join({c, c, c, c, a}));
    run = Compose(dir, {"--open", dir.File("long.mid"), "-o", "no.mid"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err,
                         "5 songs joined one after another, 36 measures together; at "
                         "most 32 measures"))
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("no.mid")));
}

// mido's reading of a file: its type, track count and length in ticks, then
// every note start as "tick channel velocity".
std::string ReadWithMido(const std::filesystem::path& midi, const TempDir& dir) {
    WriteText(dir.File("mido_dump.py"),
              "import sys, mido\n"
              "f = mido.MidiFile(sys.argv[1])\n"
              "print(f.type, len(f.tracks), sum(m.time for m in f.tracks[0]))\n"
              "t = 0\n"
              "for m in f.tracks[0]:\n"
              "    t += m.time\n"
              "    if m.type == 'note_on' and m.velocity > 0:\n"
              "        print(t, m.channel, m.velocity)\n");
    const std::string command =
        "/usr/bin/python3 " + dir.File("mido_dump.py") + " " + midi.string() + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    EXPECT_EQ(pipe ? ::pclose(pipe) : -1, 0) << out;
    return out;
}

TEST(ComposeForm, SongsOfPartsAreValidForMidoWithTheFadeAcrossTheWholeSong) {
    TempDir dir;
    // Velocity by channel: bass, three chord voices, melody, drums.
    const int volume[16] = {85, 100, 100, 100, 120, 0, 0, 0, 0, 70};
    for (const char* fade : {"normal", "in", "out"}) {
        for (const std::string form : {"AABA", "ABCDEFGH", "AB"}) {
            SCOPED_TRACE(std::string(fade) + " " + form);
            const int interval = int(form.size()) % 5;
            ASSERT_EQ(
                Compose(dir, {"--seed", "31", "--form", form, "--fade", fade, "--interval",
                              std::to_string(interval), "--melody-volume", "120", "--acc-volume",
                              "100", "--bass-volume", "85", "--drum-volume", "70", "-o", "m.mid"})
                    .status,
                0);
            std::istringstream dump(ReadWithMido(dir.File("m.mid"), dir));
            int type = -1, tracks = -1;
            long ticks = -1;
            dump >> type >> tracks >> ticks;
            EXPECT_EQ(type, 0);
            EXPECT_EQ(tracks, 1);
            const long lead = 96L * interval;
            EXPECT_EQ(ticks, lead + 1536L * long(form.size()));
            const long steps = 64L * long(form.size());
            long tick = 0;
            int channel = 0, velocity = 0, notes = 0;
            while (dump >> tick >> channel >> velocity) {
                ++notes;
                ASSERT_TRUE(tick >= lead && (tick - lead) % 24 == 0) << tick;
                const long s = (tick - lead) / 24;
                const long v = volume[channel];
                const long expected = std::string(fade) == "in"    ? v * (s + 1) / steps
                                      : std::string(fade) == "out" ? v * (steps - 1 - s) / steps
                                                                   : v;
                ASSERT_EQ(velocity, expected) << "tick " << tick << " channel " << channel;
            }
            EXPECT_GT(notes, 100);
        }
    }
}

}  // namespace
}  // namespace tontoko
