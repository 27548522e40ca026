#include "engine/core/random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Random, DrawsStayInTheFifteenBitRangeAndCoverIt) {
    vo::SeedRand(12345u);
    int lo = vo::kRandMax, hi = 0;
    long long sum = 0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const int r = vo::Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, vo::kRandMax);
        lo = r < lo ? r : lo;
        hi = r > hi ? r : hi;
        sum += r;
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, vo::kRandMax);
    // The mean of a uniform draw over 0..32767 is 16383.5.
    EXPECT_NEAR(static_cast<double>(sum) / n, 16383.5, 100.0);
}

TEST(Random, SameSeedGivesSameSequenceAndSeedsDiffer) {
    auto draw = [](unsigned seed) {
        vo::SeedRand(seed);
        std::vector<int> v;
        for (int i = 0; i < 16; ++i) v.push_back(vo::Rand());
        return v;
    };
    const std::vector<int> a = draw(7u);
    EXPECT_EQ(a, draw(7u));
    EXPECT_NE(a, draw(8u));
    // Every bit of the seed counts, the highest included.
    EXPECT_NE(draw(0u), draw(0x80000000u));
}

TEST(Random, KnownSequenceForSeedOne) {
    // Pins the generator so that a seeded level or match stays the same
    // between builds and platforms.
    vo::SeedRand(1u);
    const int expected[] = {27735, 616, 9722, 25091, 19362};
    for (int e : expected) EXPECT_EQ(vo::Rand(), e);
}

}  // namespace
