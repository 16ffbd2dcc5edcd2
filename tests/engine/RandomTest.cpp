#include <gtest/gtest.h>

#include "engine/Random.h"

using tontoko::Random;

// Values worked out by hand from x' = x * 22695477 + 1 (mod 2^32), (x' >> 16) & 0x7FFF.
TEST(Random, SeedDiscardsOneDrawThenFollowsTheSequence) {
    Random random;
    random.Seed(0);
    EXPECT_EQ(random.Next(), 346);
    EXPECT_EQ(random.Next(), 130);
    EXPECT_EQ(random.Next(), 10982);

    random.Seed(12345);
    const int expected[] = {24996, 10921, 23577, 19316, 10386, 21959};
    for (int value : expected) {
        EXPECT_EQ(random.Next(), value);
    }
}

TEST(Random, DrawsStayInFifteenBitsAndReseedingRepeats) {
    Random a;
    Random b;
    a.Seed(4294967295u);
    b.Seed(4294967295u);
    for (int i = 0; i < 10000; ++i) {
        const int v = a.Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        ASSERT_EQ(v, b.Next());
    }
}
