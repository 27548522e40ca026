// Timelines against a clock the test sets (a recording engine), and once
// against the back end's real clock.

#include "engine/sfml/sfml_engine.h"
#include "engine/visuals/timeline.h"
#include "support/engine/recording_engine.h"
#include "support/engine/recording_handler.h"

#include <gtest/gtest.h>

namespace {

class Timelines : public ::testing::Test {
protected:
    vo_test::RecordingEngine clock;
    vo_test::EngineOverride use{clock};
};

TEST_F(Timelines, FollowsTheEngineClockFromConstruction) {
    clock.clock = 3.0f;
    vo::Timeline t;
    EXPECT_FLOAT_EQ(t.time(), 3.0f);
    EXPECT_FLOAT_EQ(t.elapsed_time(), 0.0f);
    clock.clock = 3.5f;
    EXPECT_FLOAT_EQ(t.time(), 3.5f);
    EXPECT_FLOAT_EQ(t.elapsed_time(), 0.5f);
    t.reset();
    EXPECT_FLOAT_EQ(t.elapsed_time(), 0.0f);
}

TEST_F(Timelines, FactorScalesAdvanceAndSubtraction) {
    vo::Timeline t(nullptr, 2.0f);
    clock.clock = 1.0f;
    EXPECT_FLOAT_EQ(t.elapsed_time(), 2.0f);
    t.subtract_time(0.25f);  // moves the mark by 2 x 0.25
    EXPECT_FLOAT_EQ(t.elapsed_time(), 1.5f);
    // The time so far counts at the old factor.
    clock.clock = 2.0f;
    t.set_time_factor(0.0f);
    EXPECT_FLOAT_EQ(t.time_factor(), 0.0f);
    clock.clock = 5.0f;
    EXPECT_FLOAT_EQ(t.time(), 4.0f);  // frozen since 2.0
    t.set_time_factor(1.0f);
    clock.clock = 6.0f;
    EXPECT_FLOAT_EQ(t.time(), 5.0f);  // the frozen interval is not caught up
}

TEST_F(Timelines, ChildrenApplyTheirFactorToTheParentsChange) {
    clock.clock = 10.0f;
    vo::Timeline root(nullptr, 2.0f);
    vo::Timeline child(&root, 0.5f);
    vo::Timeline grandchild(&child, 3.0f);
    EXPECT_FLOAT_EQ(child.time(), 10.0f);  // starts at its source's time
    clock.clock = 11.0f;
    EXPECT_FLOAT_EQ(grandchild.elapsed_time(), 3.0f);  // 1 x 2 x 0.5 x 3
    EXPECT_FLOAT_EQ(root.time(), 12.0f);
    EXPECT_FLOAT_EQ(child.time(), 11.0f);

    // A new parent restarts time and mark at its time.
    vo::Timeline other(nullptr, 1.0f);
    other.subtract_time(-100.0f);  // the mark only; time stays
    child.set_parent_timeline(&other);
    EXPECT_FLOAT_EQ(child.time(), 11.0f);
    EXPECT_FLOAT_EQ(child.elapsed_time(), 0.0f);
    clock.clock = 13.0f;
    EXPECT_FLOAT_EQ(child.elapsed_time(), 1.0f);
}

TEST(TimelineOnTheRealClock, AdvancesWithTheBackEndClock) {
    vo::Timeline t(nullptr, 2.0f);
    vo_test::WaitUntil([] { return false; }, 0.05);
    const float elapsed = t.elapsed_time();
    EXPECT_GE(elapsed, 0.095f);
    EXPECT_LT(elapsed, 1.0f);
}

}  // namespace
