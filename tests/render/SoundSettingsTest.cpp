#include <gtest/gtest.h>

#include <set>
#include <string>

#include "files/Encoding.h"
#include "render/SoundSettings.h"

namespace tontoko {
namespace {

TEST(SoundSettings, InstrumentListHas128NumberedGeneralMidiEntries) {
    const auto& names = InstrumentNames();
    ASSERT_EQ(names.size(), 128u);
    EXPECT_EQ(names[0], "001　アコースティックグランドピアノ");
    EXPECT_EQ(names[15], "016　Dulcimer");
    EXPECT_EQ(names[76], "077　Blown Bottle");
    EXPECT_EQ(names[81], "082 Lead(sawtooth)");
    EXPECT_EQ(names[127], "128　ガンショット");

    std::set<std::string> distinct;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string number = std::to_string(i + 1);
        number.insert(0, 3 - number.size(), '0');
        const std::string& entry = names[i];
        EXPECT_EQ(entry.substr(0, 3), number);
        const std::string separator = i == 81 ? " " : "\u3000";
        EXPECT_EQ(entry.substr(3, separator.size()), separator) << entry;
        EXPECT_GT(entry.size(), 3 + separator.size()) << entry;
        // Every entry can be shown in the Shift-JIS lists.
        EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(entry)), entry);
        distinct.insert(entry.substr(3));
    }
    EXPECT_EQ(distinct.size(), 128u);
    // A few General MIDI landmarks in program order.
    EXPECT_NE(names[40].find("バイオリン"), std::string::npos);
    EXPECT_NE(names[56].find("トランペット"), std::string::npos);
    EXPECT_NE(names[73].find("フルート"), std::string::npos);
}

TEST(SoundSettings, DrumSetsAndTheirPrograms) {
    const auto& sets = DrumSets();
    const std::pair<std::string, int> expected[] = {
        {"001 STANDARD", 0},    {"002 ROOM", 8},       {"003 POWER", 16},
        {"004 ELECTRONIC", 24}, {"005 TR-808", 25},    {"006 JAZZ", 32},
        {"007 BRUSH", 40},      {"008 ORCHESTRA", 48}, {"009 SFX", 56},
    };
    ASSERT_EQ(sets.size(), 9u);
    for (size_t i = 0; i < sets.size(); ++i) {
        EXPECT_EQ(sets[i].name, expected[i].first);
        EXPECT_EQ(sets[i].program, expected[i].second);
    }
}

}  // namespace
}  // namespace tontoko
