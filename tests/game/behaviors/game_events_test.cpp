#include "game/behaviors/game_events.h"

#include "engine/core/error.h"
#include "engine/physics/collision_events.h"
#include "engine/scene/entity.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace vo;

TEST(GameEvents, TypeIdsAreTheCrc32OfTheNames) {
    struct Row {
        unsigned int id;
        std::string made_name;
        unsigned int made_type;
        const char* name;
        unsigned int expected;
    };
    const ExplosionEvent explosion(vector3(), 1, 1, 1);
    const ExplosionPeakEvent peak(vector3(), 1, 1, 1);
    const ClusterEvent cluster{ClusterDesc()};
    const HealthEvent health(-1);
    const ItemEvent item(nullptr, nullptr);
    const EntityEntityCollisionEvent touch(nullptr, vector3(), vector3(), nullptr, vector3(), vector3());
    const EntityWorldCollisionEvent ground(nullptr, vector3(), vector3());
    const Row rows[] = {
        {EventTypeId<ExplosionEvent>(), explosion.name, explosion.type, "explosion", 0x7197611Cu},
        {EventTypeId<ExplosionPeakEvent>(), peak.name, peak.type, "explosionPeak", 0x480B2F04u},
        {EventTypeId<ClusterEvent>(), cluster.name, cluster.type, "cluster", 0xE5C56994u},
        {EventTypeId<HealthEvent>(), health.name, health.type, "health", 0xCEDA2313u},
        {EventTypeId<ItemEvent>(), item.name, item.type, "item", 0x1F1B251Eu},
        {EventTypeId<EntityEntityCollisionEvent>(), touch.name, touch.type, "entityEntityCollision", 0x0823DCABu},
        {EventTypeId<EntityWorldCollisionEvent>(), ground.name, ground.type, "entityWorldCollision", 0x4183F1FEu},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.id, r.expected) << r.name;
        EXPECT_EQ(r.made_type, r.expected) << r.name;
        EXPECT_EQ(r.made_name, r.name);
    }
}

TEST(GameEvents, ExplosionFalloffIsFullNearTheCentreAndNoneBeyondItsReach) {
    const ExplosionEvent e(vector3(1, 2, 0), 4.0f, 30.0f, 1000.0f);
    struct Row {
        float distance;
        float damage;
        float force;
    };
    const Row rows[] = {
        {0.0f, 30.0f, 1000.0f},  // centre
        {2.0f, 30.0f, 1000.0f},  // r/2: full damage
        {3.0f, 15.0f, 1000.0f},  // 0.75 r: half damage, full force
        {4.0f, 0.0f, 666.6667f},  // r: no damage
        {6.0f, 0.0f, 0.0f},       // 1.5 r: no force
        {50.0f, 0.0f, 0.0f},
    };
    for (const Row& r : rows) {
        EXPECT_FLOAT_EQ(e.damage_at(r.distance), r.damage) << "at " << r.distance;
        EXPECT_FLOAT_EQ(e.force_at(r.distance), r.force) << "at " << r.distance;
    }
    // A blast of no size harms nothing, not even at its centre (no NaN).
    const ExplosionEvent point(vector3(), 0.0f, 30.0f, 1000.0f);
    EXPECT_EQ(point.damage_at(0.0f), 0.0f);
    EXPECT_EQ(point.force_at(0.0f), 0.0f);
    EXPECT_EQ(point.damage_at(1.0f), 0.0f);
}

TEST(GameEvents, APeakCastsToAnExplosionButCarriesItsOwnId) {
    const ExplosionPeakEvent peak(vector3(3, 4, 0), 2, 10, 500);
    const GameEvent& event = peak;
    const ExplosionEvent* as_explosion = event.cast<ExplosionEvent>();
    EXPECT_EQ(as_explosion->radius, 2.0f);
    EXPECT_EQ(as_explosion->position.x, 3.0f);
    // A receiver of "explosion" dispatches by id and so ignores the peak.
    EXPECT_NE(event.type, EventTypeId<ExplosionEvent>());
    EXPECT_EQ(event.type, EventTypeId<ExplosionPeakEvent>());
}

TEST(GameEvents, AFailedCastNamesBothEvents) {
    const std::unique_ptr<GameEvent> health(new HealthEvent(-5));
    try {
        health->cast<ExplosionEvent>();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()),
                  "Can't perform queried cast on GameEvent:\nSource event: health\nTarget event: explosion");
    }
    const ExplosionEvent explosion(vector3(), 1, 1, 1);
    EXPECT_THROW(explosion.cast<ExplosionPeakEvent>(), Error);
}

TEST(GameEvents, AClusterEventKeepsItsOwnCopyOfTheDescription) {
    ClusterDesc desc;
    desc.description.put("num", 5);
    desc.position = vector3(1, 2, 0);
    desc.velocity = vector3(0, -3, 0);
    const std::unique_ptr<GameEvent> event(new ClusterEvent(desc));
    desc.description.put("num", 0);
    const ClusterEvent* cluster = event->cast<ClusterEvent>();
    EXPECT_EQ(cluster->desc.description.get<std::string>("num"), "5");
    EXPECT_EQ(cluster->desc.velocity.y, -3.0f);
    EXPECT_EQ(cluster->desc.ignored_body, nullptr);
    // An empty description stands for no cluster.
    EXPECT_TRUE(ClusterDesc().description.empty());
}

}  // namespace
