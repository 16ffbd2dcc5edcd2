#include <gtest/gtest.h>

#include <string>

#include "files/Encoding.h"

namespace tontoko {
namespace {

TEST(Encoding, ConvertsBetweenCp932AndUtf8) {
    // "ふつう" and "ワルツ風" as Shift-JIS bytes.
    EXPECT_EQ(Cp932ToUtf8("\x82\xD3\x82\xC2\x82\xA4"), "ふつう");
    EXPECT_EQ(Utf8ToCp932("ワルツ風"), "\x83\x8F\x83\x8B\x83\x63\x95\x97");
    // Characters where CP932 differs from plain Shift-JIS, half-width katakana
    // and ASCII survive a round trip.
    for (const std::string text : {"～－①　ｱｲｳ", "8ビート Pattern 1", ""}) {
        EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text);
    }
    EXPECT_EQ(Utf8ToCp932("～"), "\x81\x60");
}

TEST(Encoding, ReplacesWhatCannotBeConverted) {
    // A lone lead byte at the end and an invalid byte in the middle.
    EXPECT_EQ(Cp932ToUtf8("A\x82"), "A\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8("A\xFF"
                          "B"),
              "A\xEF\xBF\xBD"
              "B");
    // No CP932 form, and broken UTF-8: one '?' per character, the rest kept.
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
    EXPECT_EQ(Utf8ToCp932("a\xE3\x81"
                          "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp932("\xFF"), "?");
}

}  // namespace
}  // namespace tontoko
