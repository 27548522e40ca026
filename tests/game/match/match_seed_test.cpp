// The seeds taken from the engine's clock: the match set-up seed follows the
// same rule as the main menu's level seeds, and stays a non-negative int
// however long the program has run.

#include "game/match/match_seed.h"

#include "support/engine/recording_engine.h"

#include <gtest/gtest.h>

namespace {

TEST(ClockSeeds, TheSetUpSeedIsTheClockInMillisecondsModuloTwoToThe31) {
    vo_test::RecordingEngine engine;
    vo_test::EngineOverride use(engine);
    vo::ClearMatchSeedOverride();
    struct Case {
        float seconds;
        int seed;
    };
    // 3,000,000 s (about five weeks) is 3e9 ms, beyond the largest int.
    const Case cases[] = {{0.0f, 0}, {1.5f, 1500}, {2147483.5f, 2147483500}, {3000000.0f, 852516352}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.seconds);
        engine.clock = c.seconds;
        EXPECT_EQ(vo::ClockSeed(), c.seed);
        EXPECT_EQ(vo::MatchSetUpSeed(), c.seed);
    }

    vo::SetMatchSeedOverride(12345);
    EXPECT_EQ(vo::MatchSetUpSeed(), 12345);
    vo::ClearMatchSeedOverride();
    EXPECT_EQ(vo::MatchSetUpSeed(), 852516352);
}

}  // namespace
