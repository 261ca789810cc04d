#include "engine/math/CMTRandom.h"
#include "engine/math/RandomFunctions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using namespace RVGameEngine::Math;

// Expected values come from a separate MT19937 written for the purpose
// (seed 5489, standard initialisation).

TEST(Random, GeneratorFollowsThePublishedSequence)
{
    CMTRandom generator(5489);
    EXPECT_EQ(generator.NextUInt32(), 3499211612u);
    for (int i = 2; i < 10000; ++i)
        generator.NextUInt32();
    EXPECT_EQ(generator.NextUInt32(), 4123659995u);
}

TEST(Random, SeedingSkipsThirtySevenDraws)
{
    // RandomInt over 0..2^31-1 is the drawn word shifted right by one.
    Randomize(5489);
    EXPECT_EQ(RandomInt(0, 0x7FFFFFFF), 1886415446);
    EXPECT_EQ(RandomInt(0, 0x7FFFFFFF), 2060494293);
    EXPECT_EQ(RandomInt(0, 0x7FFFFFFF), 1081607364);

    // The full 32-bit range has 2^32 values; none collapse onto the low bound.
    Randomize(5489);
    EXPECT_EQ(RandomInt(INT32_MIN, INT32_MAX), 1625347245);
    EXPECT_EQ(RandomInt(INT32_MIN, INT32_MAX), 1973504939);
    EXPECT_EQ(RandomInt(INT32_MIN, INT32_MAX), 15731080);
}

TEST(Random, EmptyAndSingleRangesDoNotDraw)
{
    Randomize(5489);
    EXPECT_EQ(RandomInt(3, 3), 3);
    EXPECT_EQ(RandomInt(4, 3), INT32_MIN);
    EXPECT_EQ(RandomFloat(2.0f, 1.0f), 1.0f);
    EXPECT_EQ(RandomFloat(1.0f, 1.0f), 1.0f);
    EXPECT_EQ(RandomInt(0, 0x7FFFFFFF), 1886415446);
}

TEST(Random, NegativeRangesRoundDownEvenly)
{
    Randomize(5489);
    const int expected[10] = {4, 5, 0, 2, 3, -5, -2, 4, -3, 5};
    for (int value : expected)
        EXPECT_EQ(RandomInt(-5, 5), value);

    Randomize(5489);
    std::map<int, int> counts;
    for (int i = 0; i < 11000; ++i)
        ++counts[RandomInt(-5, 5)];
    ASSERT_EQ(counts.size(), 11u);
    EXPECT_EQ(counts.begin()->first, -5);
    EXPECT_EQ(counts.rbegin()->first, 5);
    for (const auto& entry : counts) {
        EXPECT_GT(entry.second, 900) << entry.first;
        EXPECT_LT(entry.second, 1100) << entry.first;
    }

    Randomize(1);
    for (int i = 0; i < 2000; ++i) {
        const int value = RandomInt(-7, -3);
        EXPECT_GE(value, -7);
        EXPECT_LE(value, -3);
    }
}

TEST(Random, ValuesStayInRange)
{
    Randomize(42);
    bool seen[10] = {};
    for (int i = 0; i < 1000; ++i) {
        const int value = RandomInt(0, 9);
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 9);
        seen[value] = true;
    }
    for (bool s : seen)
        EXPECT_TRUE(s);

    Randomize(5489);
    EXPECT_FLOAT_EQ(RandomFloat(0.0f, 1.0f), static_cast<float>(3772830893.0 / 4294967296.0));
    for (int i = 0; i < 1000; ++i) {
        const float value = RandomFloat(-2.0f, 3.0f);
        ASSERT_GE(value, -2.0f);
        ASSERT_LE(value, 3.0f);
    }
}

TEST(Random, SeedingAlsoSeedsTheRuntimeGenerator)
{
    Randomize(77);
    const int first = std::rand();
    std::srand(77);
    EXPECT_EQ(std::rand(), first);
}
