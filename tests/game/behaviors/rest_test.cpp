#include "game/behaviors/rest.h"

#include "engine/scene/entity.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/kill_self.h"
#include "game/behaviors/trigger.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vo;

// One update: where the entity stands during it, the step, and whether it
// rests afterwards.
struct Step {
    float x;
    float dt;
    bool resting;
};

struct RestCase {
    std::string name;
    bool transform;
    double fuse;  // < 0: no timed trigger
    bool keep_awake;
    bool rest_without_transform;
    std::vector<Step> steps;
};

// Radius 0.5 and steps of a quarter second: every sum below is exact.
TEST(Rest, RestsOnlyOnceStillForLongerThanItsDurationOrOnceTheFuseIsOut) {
    const RestCase cases[] = {
        {"still: a time equal to the duration is not enough", true, -1, false, false,
         {{0, 0.25f, false}, {0, 0.25f, false}, {0, 0.25f, true}}},
        {"moving exactly the radius does not restart", true, -1, false, false,
         {{0.5f, 0.25f, false}, {0.5f, 0.25f, false}, {0.5f, 0.25f, true},
          // measured from where it last moved, not from the step before
          {1.0f, 0.25f, false}}},
        {"moving beyond the radius restarts", true, -1, false, false,
         {{0, 0.25f, false}, {0, 0.25f, false}, {0.75f, 0.25f, false}, {0.75f, 0.25f, false},
          {0.75f, 0.25f, false}, {0.75f, 0.25f, true}}},
        {"a burning fuse is no rest, however still", true, 1.0, false, false,
         {{0, 0.25f, false}, {0, 0.25f, false}, {0, 0.25f, false}, {0, 0.25f, true}}},
        {"a spent fuse is rest, however fast", true, 0.5, false, false,
         {{0, 0.25f, false}, {5, 0.25f, true}, {10, 0.25f, true}}},
        {"kept awake never rests", true, 0.25, true, false,
         {{0, 0.25f, false}, {0, 0.25f, false}, {0, 0.25f, false}}},
        {"without a transform: as told", false, -1, false, true, {{0, 0.25f, true}}},
        {"without a transform: not resting by default", false, -1, false, false,
         {{0, 0.25f, false}, {0, 0.25f, false}, {0, 0.25f, false}}},
    };
    for (const RestCase& c : cases) {
        Entity entity;
        behaviors::Transform* transform = c.transform ? entity.add_behavior<behaviors::Transform>() : nullptr;
        if (c.fuse >= 0) entity.add_behavior<behaviors::TimedTrigger>()->timer = c.fuse;
        behaviors::Rest* rest = entity.add_behavior<behaviors::Rest>("rest");
        rest->radius = 0.5f;
        rest->keep_awake = c.keep_awake;
        rest->rest_without_transform = c.rest_without_transform;
        entity.initialize();
        EXPECT_EQ(rest->is_resting(), c.rest_without_transform && !c.transform) << c.name << ", before any step";
        for (size_t i = 0; i < c.steps.size(); ++i) {
            if (transform) transform->set_position(vector3(c.steps[i].x, 0, 0));
            entity.update(c.steps[i].dt);
            EXPECT_EQ(rest->is_resting(), c.steps[i].resting) << c.name << ", step " << i + 1;
        }
    }
}

TEST(Rest, StartsCountingWhereTheEntityStandsWhenItJoins) {
    Entity entity;
    entity.add_behavior<behaviors::Transform>()->set_position(vector3(10, 0, 0));
    behaviors::Rest* rest = entity.add_behavior<behaviors::Rest>();
    EXPECT_EQ(rest->duration, 0.5);
    EXPECT_EQ(rest->radius, 0.1f);
    rest->duration = 0.25;
    entity.initialize();
    entity.update(0.5f);  // still at 10: no restart
    EXPECT_TRUE(rest->is_resting());

    const std::unique_ptr<behaviors::Rest> copy(static_cast<behaviors::Rest*>(rest->clone()));
    EXPECT_EQ(copy->duration, 0.5);  // the settings of a new one
    EXPECT_FALSE(copy->keep_awake);
}

TEST(TimedTrigger, FiresInTheUpdateThatReachesItsTimerAndKeepsFiring) {
    behaviors::TimedTrigger fuse;
    fuse.timer = 2.0;
    const SmartPtr<Trigger> shared(new Trigger());
    fuse.set_trigger(shared);
    for (int step = 1; step <= 119; ++step) fuse.update(1.0f / 60.0f);
    EXPECT_FALSE(shared->fired);
    fuse.update(1.0f / 60.0f);  // 120 steps of 1/60 s
    EXPECT_TRUE(shared->fired);
    shared->reset();
    fuse.update(1.0f / 60.0f);
    EXPECT_TRUE(shared->fired);

    behaviors::TimedTrigger contact;  // timer 0
    EXPECT_FALSE(contact.trigger()->fired);
    contact.update(1.0f / 60.0f);
    EXPECT_TRUE(contact.trigger()->fired);
}

TEST(KillSelf, FlagsTheEntityOnceTheTimerFallsBelowZeroAndANegativeTimerIsOff) {
    struct Case {
        double timer;
        int killed_in_update;  // 0: never
    };
    const Case cases[] = {
        {0.0, 1},    // 0 - dt < 0 at once
        {0.5, 3},    // 0.25, 0 (not below), -0.25
        {0.6, 3},
        {-1.0, 0},   // off
        {-1e-9, 0},  // any negative value is off
    };
    for (const Case& c : cases) {
        Entity entity;
        behaviors::KillSelf* kill = entity.add_behavior<behaviors::KillSelf>("killSelf");
        EXPECT_EQ(kill->timer, -1.0);
        entity.initialize();
        kill->timer = c.timer;
        int killed_in = 0;
        for (int update = 1; update <= 6; ++update) {
            entity.update(0.25f);
            if (entity.was_killed() && killed_in == 0) killed_in = update;
        }
        EXPECT_EQ(killed_in, c.killed_in_update) << "timer " << c.timer;
        if (killed_in) {
            EXPECT_LT(kill->timer, 0.0);
        }
    }
    const std::unique_ptr<behaviors::KillSelf> copy(
        static_cast<behaviors::KillSelf*>(behaviors::KillSelf().clone()));
    EXPECT_EQ(copy->timer, -1.0);
}

}  // namespace
