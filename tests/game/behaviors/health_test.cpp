// The game's own definition of the health behavior the engine declares.
#include "engine/scene/health.h"

#include "engine/scene/entity.h"
#include "game/behaviors/game_events.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace vo;

TEST(Health, HealthEventsAddUpWithoutBounds) {
    struct Case {
        std::vector<float> amounts;
        float expected;
    };
    const Case cases[] = {
        {{-10.0f, 5.0f}, 95.0f},
        {{-200.0f}, -100.0f},  // no floor
        {{50.0f, 60.0f}, 210.0f},  // no ceiling
        {{}, 100.0f},
    };
    for (const Case& c : cases) {
        Entity slob;
        behaviors::Health* health = slob.add_behavior<behaviors::Health>("health");
        slob.initialize();
        EXPECT_EQ(health->value, 1.0f);  // every health starts at 1
        health->value = 100.0f;
        // Sent straight to the entity, which passes it to its health.
        for (float amount : c.amounts) slob.handle_game_event(HealthEvent(amount));
        EXPECT_EQ(health->value, c.expected);
    }
}

TEST(Health, OtherEventsLeaveItAlone) {
    Entity slob;
    behaviors::Health* health = slob.add_behavior<behaviors::Health>();
    slob.initialize();
    slob.handle_game_event(ExplosionEvent(vector3(), 4, 35, 1000));
    slob.handle_game_event(ItemEvent(&slob, nullptr));
    EXPECT_EQ(health->value, 1.0f);
}

TEST(Health, TheEngineLowersTheGamesHealthAndACloneStartsAfresh) {
    Entity slob;
    behaviors::Health* health = slob.add_behavior<behaviors::Health>();
    slob.initialize();
    health->value = 40.0f;
    EXPECT_TRUE(DecreaseHealth(&slob, 15.0f));
    EXPECT_EQ(health->value, 25.0f);

    const std::unique_ptr<Entity> copy(slob.clone());
    behaviors::Health* copied = copy->get_behavior<behaviors::Health>();
    ASSERT_NE(copied, nullptr);
    copy->initialize();
    EXPECT_EQ(copied->value, 1.0f);
    copy->handle_game_event(HealthEvent(-0.5f));  // the clone hears health events too
    EXPECT_EQ(copied->value, 0.5f);
}

}  // namespace
