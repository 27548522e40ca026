// Grenades in a level scene over the generated level: falling, going off,
// exploding once, resting, and their thrower's body.

#include "engine/physics/physics_handler.h"
#include "engine/scene/health.h"
#include "engine/scene/scene2d_event_listener.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/explodable.h"
#include "game/behaviors/explosion.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/rest.h"
#include "game/behaviors/trigger.h"
#include "support/game/level_scene_harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace vo;
using vo_test::LevelSceneHarness;

// The events the scene delivers, with the scene step they come in.
struct EventLog {
    bool on_event(const GameEvent* event) {
        if (event->type == EventTypeId<ClusterEvent>()) cluster = event->cast<ClusterEvent>()->desc;
        if (event->type == EventTypeId<ExplosionEvent>()) explosions.push_back(*event->cast<ExplosionEvent>());
        return false;
    }
    std::vector<ExplosionEvent> explosions;
    ClusterDesc cluster;
};

vector3 Above(const vector3& p, float height) { return vector3(p.x, p.y + height, 0.0f); }

TEST(GrenadeFlow, AContactGrenadeFallsAndExplodesOnceAtItsFirstGroundContact) {
    LevelSceneHarness world;
    EventLog events;
    world.scene().set_event_listener(&events, &EventLog::on_event);
    const vector3 ground = world.ground_spot();
    auto* grenade = static_cast<GrenadeEntity*>(world.throw_grenade("grenade", Above(ground, 4.0f)));
    ASSERT_NE(grenade, nullptr);
    SmartPtr<SoftBody> body = grenade->soft_body();

    // It flies untouched and goes off in the step of its first contact.
    int steps = 0;
    for (; steps < 300 && !body->touches_ground(); ++steps) {
        EXPECT_FALSE(grenade->was_killed());
        world.step();
    }
    ASSERT_TRUE(body->touches_ground()) << "never landed";
    EXPECT_TRUE(grenade->was_killed());
    EXPECT_GT(steps, 20);  // it fell for a while
    vector3 landed;
    GetPosition(grenade, landed);
    EXPECT_NEAR(landed.x, ground.x, 0.5f);
    EXPECT_NEAR(landed.y, ground.y, 1.0f);

    world.step(90);
    EXPECT_FALSE(world.holds(grenade));
    ASSERT_EQ(events.explosions.size(), 1u);
    EXPECT_EQ(events.explosions[0].radius, world.scene().weapons.get<float>("explosionTypes.normal.radius"));
    EXPECT_NEAR(events.explosions[0].position.x, landed.x, 1e-4f);
    EXPECT_EQ(world.entities_of<ExplosionEntity>().size(), 0u);  // its circle has gone too
}

TEST(GrenadeFlow, ATimedGrenadeExplodesAtItsTimerAndRestsOnlyThen) {
    LevelSceneHarness world;
    const vector3 ground = world.ground_spot();
    auto* grenade = static_cast<GrenadeEntity*>(
        world.throw_grenade("timedGrenade", Above(ground, 0.6f), vector3(), 0.0f, 2.0));
    ASSERT_NE(grenade, nullptr);
    auto* rest = grenade->rest_behavior();
    // 2 s at 60 steps a second: it lies still long before.
    world.step(119);
    EXPECT_FALSE(grenade->was_killed());
    EXPECT_FALSE(rest->is_resting());
    EXPECT_TRUE(grenade->soft_body()->touches_ground());
    world.step();
    EXPECT_TRUE(grenade->was_killed());
    EXPECT_TRUE(rest->is_resting());
    EXPECT_EQ(world.entities_of<ExplosionEntity>().size(), 1u);
}

TEST(GrenadeFlow, AMineGoesOffOnlyWhenABodyTouchesIt) {
    LevelSceneHarness world;
    const vector3 ground = world.ground_spot();
    Entity* mine = world.throw_grenade("mine", Above(ground, 0.7f));
    ASSERT_NE(mine, nullptr);
    world.step(180);  // it lands and lies on the level
    ASSERT_TRUE(world.holds(mine));
    EXPECT_FALSE(mine->was_killed());

    SlobEntity* slob = world.add_slob(Above(ground, 4.0f));
    const int steps = world.step_until([&] { return !world.holds(mine); }, 300);
    ASSERT_GT(steps, 0) << "the slob never set it off";
    EXPECT_TRUE(world.holds(slob));
    EXPECT_LT(slob->health_behavior()->value, 100.0f);  // "mine": radius 5, damage 40
}

// The grenade starts inside its thrower: the two pass through each other
// until apart, and the grenade's removal leaves no pair behind.
TEST(GrenadeFlow, ThrowerAndGrenadeIgnoreEachOtherUntilApart) {
    LevelSceneHarness world;
    PhysicsHandler& physics = *world.scene().physics_handler();
    const vector3 ground = world.ground_spot();
    SlobEntity* slob = world.add_slob(Above(ground, 1.0f));
    world.step(60);
    SoftBody* thrower = slob->soft_body().get();
    const vector3 centre = thrower->calculate_center();

    Entity* grenade = world.throw_grenade("grenade", centre, vector3(0.3f, 1.0f, 0.0f), 0.5f, 0.0, thrower);
    SoftBody* thrown = static_cast<GrenadeEntity*>(grenade)->soft_body().get();
    ASSERT_EQ(physics.ignore_list(thrower)->size(), 1u);
    EXPECT_EQ((*physics.ignore_list(thrower))[0].other, thrown);
    EXPECT_EQ((*physics.ignore_list(thrower))[0].condition, COLLISION_IGNORE_UNTIL_APART);
    EXPECT_EQ((*physics.ignore_list(thrown))[0].other, thrower);

    // It leaves its thrower without a contact that would set it off; once
    // apart the pair is forgotten.
    const int apart = world.step_until([&] { return physics.ignore_list(thrower)->empty(); }, 60);
    ASSERT_GT(apart, 0) << "never apart";
    EXPECT_FALSE(grenade->was_killed());
    const int steps = world.step_until([&] { return !world.holds(grenade); }, 600);
    ASSERT_GT(steps, 0);

    // A second grenade removed while the pair still stands takes it along.
    grenade = world.throw_grenade("grenade", thrower->calculate_center(), vector3(), 0.0f, 0.0, thrower);
    ASSERT_EQ(physics.ignore_list(thrower)->size(), 1u);
    grenade->kill_entity();
    world.step();
    EXPECT_FALSE(world.holds(grenade));
    EXPECT_TRUE(physics.ignore_list(thrower)->empty());
}

// The clusters of a cluster bomb leave with its velocity of the update
// before the one that explodes, from where it exploded.
TEST(GrenadeFlow, ClustersLeaveWithTheBombsVelocityOfTheStepBefore) {
    LevelSceneHarness world;
    EventLog events;
    world.scene().set_event_listener(&events, &EventLog::on_event);
    const vector3 ground = world.ground_spot();
    auto* bomb = static_cast<GrenadeEntity*>(
        world.throw_grenade("clusterBomb", Above(ground, 3.0f), vector3(1.0f, 0.0f, 0.0f), 0.1f));
    ASSERT_NE(bomb, nullptr);
    vector3 velocity_before;
    vector3 position;
    while (!bomb->was_killed()) {
        velocity_before = bomb->soft_body()->get_velocity();
        world.step();
        GetPosition(bomb, position);
        ASSERT_LT(world.scene().num_entities(), 10u);
    }
    world.step(30);
    EXPECT_EQ(events.cluster.description.get<std::string>("type", ""), "bomblet");
    EXPECT_EQ(events.cluster.velocity.x, velocity_before.x);
    EXPECT_EQ(events.cluster.velocity.y, velocity_before.y);
    EXPECT_EQ(events.cluster.position.x, position.x);
    EXPECT_EQ(events.cluster.position.y, position.y);
    EXPECT_EQ(events.cluster.ignored_body, nullptr);
}

}  // namespace
