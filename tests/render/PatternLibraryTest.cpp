#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "files/Encoding.h"
#include "render/PatternLibrary.h"
#include "tests/support/TempDir.h"

namespace tontoko {
namespace {

std::string Part(char fill, size_t length = 64) {
    return std::string(length, fill);
}

std::string Steps(std::initializer_list<int> onsets) {
    std::string part(64, '0');
    for (int s : onsets) {
        part[static_cast<size_t>(s)] = '1';
    }
    return part;
}

std::vector<AccPattern> ReadAcc(const std::string& text) {
    return ReadAccPatterns(text);
}

std::vector<DrumPattern> ReadDrums(const std::string& text) {
    return ReadDrumPatterns(text);
}

std::string AccBlock(const std::string& name, const std::string& eol = "\r\n") {
    return "5" + eol + name + eol + Part('1') + eol + Part('0') + eol + Steps({0, 8}) + eol +
           Steps({4}) + eol;
}

TEST(PatternReader, ReadsAccompanimentBlocksWithEitherLineEnd) {
    for (const std::string eol : {"\r\n", "\n"}) {
        const auto patterns = ReadAcc(AccBlock("first", eol) + AccBlock("  second ", eol) + "0" +
                                      eol + AccBlock("after the end", eol));
        ASSERT_EQ(patterns.size(), 2u);
        EXPECT_EQ(patterns[0].name, "first");
        EXPECT_EQ(patterns[1].name, "  second ") << "names are kept exactly, without line ends";
        EXPECT_EQ(patterns[0].parts[0], Part('1'));
        EXPECT_EQ(patterns[0].parts[1], Part('0'));
        EXPECT_EQ(patterns[0].parts[2], Steps({0, 8}));
        EXPECT_EQ(patterns[1].parts[3], Steps({4}));
    }
    EXPECT_TRUE(ReadAcc("0\r\n" + AccBlock("x")).empty());
    EXPECT_TRUE(ReadAcc("").empty());
}

TEST(PatternReader, CountLinesAndTokensAreReadLeniently) {
    // Count with white space, sign and trailing words; part tokens after white
    // space with comments after them.
    const std::string text = "  +5 lines follow\nname\n\t" + Part('1') + " comment\n   " +
                             Steps({1}) + "\n" + Steps({2}) + "\n" + Steps({3}) + "\n0\n";
    const auto patterns = ReadAcc(text);
    ASSERT_EQ(patterns.size(), 1u);
    EXPECT_EQ(patterns[0].parts[0], Part('1'));
    EXPECT_EQ(patterns[0].parts[1], Steps({1}));

    // Short tokens leave the remaining steps without onsets; long ones keep
    // their first 64 characters and do not disturb the next part.
    const std::string shortAndLong =
        "5\nn\n" + Part('1', 60) + "\n" + Part('1', 100) + "\n" + Part('1', 64) + "x\n\n0\n";
    const auto edge = ReadAcc(shortAndLong);
    ASSERT_EQ(edge.size(), 1u);
    EXPECT_EQ(edge[0].parts[0], Part('1', 60) + "0000");
    EXPECT_EQ(edge[0].parts[1], Part('1'));
    EXPECT_EQ(edge[0].parts[2], Part('1'));
    EXPECT_EQ(edge[0].parts[3], Part('0')) << "an empty part line has no onsets";
}

TEST(PatternReader, LinesLongerThan253CharactersAreSplit) {
    // The name line runs 253 characters and then one part: the rest becomes
    // the first part line.
    const std::string longName(253, 'N');
    const std::string text = "5\r\n" + longName + Steps({0}) + "\r\n" + Steps({1}) + "\r\n" +
                             Steps({2}) + "\r\n" + Steps({3}) + "\r\n0\r\n";
    const auto patterns = ReadAcc(text);
    ASSERT_EQ(patterns.size(), 1u);
    EXPECT_EQ(patterns[0].name, longName);
    EXPECT_EQ(patterns[0].parts[0], Steps({0}));
    EXPECT_EQ(patterns[0].parts[3], Steps({3}));

    // Exactly 253 characters and its line end make one line, with CR LF or LF.
    for (const std::string eol : {"\r\n", "\n"}) {
        const auto exact = ReadAcc("5" + eol + longName + eol + Steps({0}) + eol + Steps({1}) +
                                   eol + Steps({2}) + eol + Steps({3}) + eol + "0" + eol);
        ASSERT_EQ(exact.size(), 1u);
        EXPECT_EQ(exact[0].name, longName);
        EXPECT_EQ(exact[0].parts[3], Steps({3}));
    }
}

TEST(PatternReader, LoneCarriageReturnsStayInTheLineAndTheLastLineNeedsNoEnd) {
    const auto patterns = ReadAcc("5\nna\rme\n" + Steps({0}) + "\n" + Steps({1}) + "\r\n" +
                                  Steps({2}) + "\n" + Steps({3}));
    ASSERT_EQ(patterns.size(), 1u);
    EXPECT_EQ(patterns[0].name, "na\rme");
    EXPECT_EQ(patterns[0].parts[1], Steps({1}));
    EXPECT_EQ(patterns[0].parts[3], Steps({3}));
}

TEST(PatternReader, ReadsDrumNotesAndTheirLowEightBits) {
    std::string every4(64, '0');
    for (int s = 0; s < 64; s += 4) {
        every4[static_cast<size_t>(s)] = '1';
    }
    const std::string text = "6 and some words\r\nドラム\r\n36 " + every4 + "\r\n  38\t" +
                             Steps({4, 12}) + "\r\n300 " + Steps({0}) + "\r\n-1 " + Steps({}) +
                             "\r\n+42 " + Part('1', 10) + "\r\n0\r\n";
    const auto patterns = ReadDrums(text);
    ASSERT_EQ(patterns.size(), 1u);
    EXPECT_EQ(patterns[0].name, "ドラム");
    EXPECT_EQ(patterns[0].notes, (std::array<uint8_t, 5>{36, 38, 44, 255, 42}));
    EXPECT_EQ(patterns[0].parts[0], every4);
    EXPECT_EQ(patterns[0].parts[1], Steps({4, 12}));
    EXPECT_EQ(patterns[0].parts[4], Part('1', 10) + Part('0', 54));
}

TEST(PatternReader, MalformedFilesKeepEveryWellFormedPattern) {
    // A block with three part lines is skipped whole; the next keeps its parts.
    const std::string shortBlock =
        "4\r\nshort\r\n" + Steps({9}) + "\r\n" + Steps({9}) + "\r\n" + Steps({9}) + "\r\n";
    auto patterns = ReadAcc(AccBlock("a") + shortBlock + AccBlock("b") + "0\r\n");
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(patterns[1].name, "b");
    EXPECT_EQ(patterns[1].parts[0], Part('1'));
    EXPECT_EQ(patterns[1].parts[3], Steps({4}));

    // Without the end line, reading stops at the end of the file; a block cut
    // off by the end is dropped.
    patterns = ReadAcc(AccBlock("a") + AccBlock("b"));
    EXPECT_EQ(patterns.size(), 2u);
    patterns = ReadAcc(AccBlock("a") + "5\r\ncut\r\n" + Part('1'));
    ASSERT_EQ(patterns.size(), 1u);
    EXPECT_EQ(patterns[0].name, "a");
    EXPECT_TRUE(ReadAcc("99999999999999999999\r\nname\r\n").empty());
    EXPECT_TRUE(ReadAcc("-3\r\n").empty());

    // At most ten patterns are kept.
    std::string many;
    for (int i = 0; i < 12; ++i) {
        std::string name = "p";  // appended: GCC 12 warns falsely (-Wrestrict) about "p" + ...
        name += std::to_string(i);
        many += AccBlock(name);
    }
    patterns = ReadAcc(many + "0\r\n");
    ASSERT_EQ(patterns.size(), 10u);
    EXPECT_EQ(patterns[9].name, "p9");

    // Drum blocks need exactly five parts.
    std::string drumBlock = "6\nok\n";
    for (int j = 0; j < 5; ++j) {
        drumBlock += std::to_string(35 + j) + " " + Steps({j}) + "\n";
    }
    const std::string drumShort = "5\nfour\n36 " + Part('1') + "\n36 " + Part('1') + "\n36 " +
                                  Part('1') + "\n36 " + Part('1') + "\n";
    const auto drums = ReadDrums(drumShort + drumBlock + "0\n");
    ASSERT_EQ(drums.size(), 1u);
    EXPECT_EQ(drums[0].name, "ok");
    EXPECT_EQ(drums[0].notes[4], 39);
    EXPECT_EQ(drums[0].parts[4], Steps({4}));
}

TEST(PatternLoading, DecodesNamesAndReportsMissingFiles) {
    TempDir dir;
    PatternLibrary library;
    library.acc.resize(3);
    PatternLoadResult result = LoadPatterns(library, dir.Path());
    EXPECT_FALSE(result.drumFileOpened);
    EXPECT_FALSE(result.accFileOpened);
    EXPECT_TRUE(library.acc.empty());
    EXPECT_TRUE(library.drums.empty());

    {
        std::ofstream(dir.Path() / kAccPatternFile, std::ios::binary)
            << Utf8ToCp932(AccBlock("ワルツ風～") + "0\r\n");
    }
    std::filesystem::create_directory(dir.Path() / kDrumPatternFile);
    result = LoadPatterns(library, dir.Path());
    EXPECT_FALSE(result.drumFileOpened) << "a folder is not a pattern file";
    EXPECT_TRUE(result.accFileOpened);
    ASSERT_EQ(library.acc.size(), 1u);
    EXPECT_EQ(library.acc[0].name, "ワルツ風～");

    std::filesystem::remove(dir.Path() / kDrumPatternFile);
    { std::ofstream(dir.Path() / kDrumPatternFile, std::ios::binary) << "0\r\n"; }
    result = LoadPatterns(library, dir.Path());
    EXPECT_TRUE(result.drumFileOpened);
    EXPECT_TRUE(library.drums.empty());
}

TEST(PatternLoading, ShippedDataFilesHoldMusicalPatterns) {
    const std::filesystem::path data = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";
    for (const char* name : {kAccPatternFile, kDrumPatternFile}) {
        std::ifstream in(data / name, std::ios::binary);
        const std::string raw((std::istreambuf_iterator<char>(in)), {});
        ASSERT_FALSE(raw.empty()) << name;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\n') {
                EXPECT_TRUE(i > 0 && raw[i - 1] == '\r') << name << " line end at " << i;
            }
        }
        EXPECT_TRUE(raw.ends_with("\r\n0\r\n")) << name;
    }

    PatternLibrary library;
    const PatternLoadResult result = LoadPatterns(library, data);
    ASSERT_TRUE(result.accFileOpened && result.drumFileOpened);
    ASSERT_GE(library.acc.size(), 5u);
    ASSERT_GE(library.drums.size(), 5u);

    std::set<std::string> names;
    for (const AccPattern& pattern : library.acc) {
        EXPECT_FALSE(pattern.name.empty());
        EXPECT_EQ(pattern.name.find("\xEF\xBF\xBD"), std::string::npos) << "undecodable name";
        names.insert(pattern.name);
        EXPECT_EQ(pattern.parts[0][0], '1') << pattern.name << ": the bass starts at once";
        for (const std::string& part : pattern.parts) {
            ASSERT_EQ(part.size(), 64u);
            EXPECT_EQ(part.find_first_not_of("01"), std::string::npos) << pattern.name;
            EXPECT_NE(part.find('1'), std::string::npos) << pattern.name;
        }
        // The bass restrikes on every chord change (steps 0 and 8 of a measure).
        for (int s = 0; s < 64; s += 8) {
            EXPECT_EQ(pattern.parts[0][static_cast<size_t>(s)], '1') << pattern.name << " " << s;
        }
    }
    EXPECT_EQ(names.size(), library.acc.size()) << "names are distinct";

    // The fourth pattern is made for the octave jump: its bass strikes on the
    // second beat of every measure and on the fourth of most.
    const std::string& jumpBass = library.acc[3].parts[0];
    int fourthBeats = 0;
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(jumpBass[static_cast<size_t>(16 * m + 4)], '1') << "measure " << m;
        fourthBeats += jumpBass[static_cast<size_t>(16 * m + 12)] == '1';
    }
    EXPECT_GE(fourthBeats, 3);

    for (const DrumPattern& pattern : library.drums) {
        EXPECT_FALSE(pattern.name.empty());
        EXPECT_EQ(pattern.name.find("\xEF\xBF\xBD"), std::string::npos);
        bool kick = false;
        for (int j = 0; j < 5; ++j) {
            EXPECT_GE(pattern.notes[j], 35) << pattern.name;  // General MIDI percussion
            EXPECT_LE(pattern.notes[j], 81) << pattern.name;
            EXPECT_EQ(pattern.parts[j].find_first_not_of("01"), std::string::npos);
            EXPECT_NE(pattern.parts[j].find('1'), std::string::npos) << pattern.name;
            kick |= pattern.notes[j] == 35 || pattern.notes[j] == 36;
        }
        EXPECT_TRUE(kick) << pattern.name;
    }
}

}  // namespace
}  // namespace tontoko
