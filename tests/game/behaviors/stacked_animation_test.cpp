#include "game/behaviors/stacked_animation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vo::StackedAnimation;

// The explosion's dissolve threshold: 1 at 0, 0.25 at 0.25 s, 0 at 0.5 s,
// -0.25 at 1 s.
StackedAnimation<float> Threshold() {
    StackedAnimation<float> a;
    a.add_key(1.0f, 0.0);
    a.add_key(0.25f, 0.25);
    a.add_key(0.0f, 0.25);
    a.add_key(-0.25f, 0.5);
    return a;
}

TEST(StackedAnimation, InterpolatesBetweenTheKeysAroundItsOwnTime) {
    struct Case {
        double time;
        float value;
    };
    // Times visited forwards, then backwards: the remembered segment is
    // searched from in both directions.
    const Case cases[] = {{0.0, 1.0f},     {0.125, 0.625f}, {0.25, 0.25f}, {0.375, 0.125f}, {0.75, -0.125f},
                          {1.0, -0.25f},   {5.0, -0.25f},   {0.375, 0.125f}, {0.1, 0.7f},   {-1.0, 1.0f}};
    StackedAnimation<float> a = Threshold();
    EXPECT_EQ(a.duration(), 1.0);
    for (const Case& c : cases) {
        SCOPED_TRACE("time " + std::to_string(c.time));
        a.time = c.time;
        float out = 99.0f;
        ASSERT_TRUE(a.evaluate(out, -123.0));  // the second argument is not read
        EXPECT_NEAR(out, c.value, 1e-6f);
    }
}

TEST(StackedAnimation, FewKeysAndKeysAtOneTime) {
    StackedAnimation<float> a;
    float out = 7.0f;
    EXPECT_FALSE(a.evaluate(out, 0.0));
    EXPECT_EQ(out, 7.0f);

    a.add_key(3.0f, 5.0);  // the first key lies at 0 whatever its step
    EXPECT_EQ(a.duration(), 0.0);
    a.time = 2.0;
    ASSERT_TRUE(a.evaluate(out, 0.0));
    EXPECT_EQ(out, 3.0f);

    a.add_key(5.0f, 0.0);  // a jump: no time between the two keys
    a.time = 0.0;
    ASSERT_TRUE(a.evaluate(out, 0.0));
    EXPECT_EQ(out, 5.0f);

    a.reset();
    EXPECT_EQ(a.num_keys(), 0u);
    EXPECT_EQ(a.time, 0.0);
    EXPECT_FALSE(a.evaluate(out, 0.0));
}

}  // namespace
