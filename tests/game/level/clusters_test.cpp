// Cluster bombs in a level scene over the generated level: the directions
// and speeds of a launch, the collisions siblings and the thrower ignore,
// bad counts and cluster weapons, and a cluster bomb bursting into bomblets
// that each explode.

#include "engine/core/random.h"
#include "engine/physics/physics_handler.h"
#include "engine/scene/scene2d_event_listener.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/soft_body.h"
#include "support/game/level_scene_harness.h"

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/info_parser.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace vo;
using vo_test::LevelSceneHarness;
using vo_test::LevelSceneSetup;
using vo_test::ShippedConfig;

// The shipped weapons with a clusters-only weapon and a cluster weapon that
// has no speed (no available weapon names it, so the load rules let it be).
LevelSceneSetup WithTestWeapons() {
    LevelSceneSetup setup;
    setup.config_files["weapons.info"] = ShippedConfig("weapons.info") + R"(
burst { clustersOnly true maxVelocity 20 cluster { type bomblet num 3 directionalRelative 1 } }
stiff { maxVelocity 0 body bombletBody timed false groundTriggered true slobTriggered true }
)";
    return setup;
}

ptree Info(const std::string& text) {
    std::istringstream in(text);
    ptree tree;
    boost::property_tree::read_info(in, tree);
    return tree;
}

ClusterDesc Clusters(const std::string& keys, const vector3& velocity = vector3(), const char* type = "bomblet") {
    ClusterDesc cluster;
    cluster.description = Info(std::string("type ") + type + " " + keys);
    cluster.position = vector3(0.0f, 30.0f, 0.0f);
    cluster.velocity = velocity;
    return cluster;
}

// The grenades the scene gained since `before` entities.
std::vector<GrenadeEntity*> NewGrenades(LevelSceneHarness& world, unsigned before) {
    std::vector<GrenadeEntity*> found;
    for (unsigned i = before; i < world.scene().num_entities(); ++i) {
        if (auto* g = dynamic_cast<GrenadeEntity*>(world.scene().entity(i))) found.push_back(g);
    }
    return found;
}

void Remove(const std::vector<GrenadeEntity*>& grenades, LevelSceneHarness& world) {
    for (GrenadeEntity* g : grenades) g->kill_entity();
    world.step();
}

TEST(Clusters, EachClusterLeavesInTheDirectionsOfItsDescription) {
    LevelSceneHarness world(WithTestWeapons());
    PhysicsHandler& physics = *world.scene().physics_handler();
    struct Case {
        std::string what;
        std::string keys;
        vector3 release_velocity;
        vector3 gravity;
        vector3 velocity;      // of every cluster
        float across = 0.0f;   // plus up to this much across the release velocity
    };
    const Case cases[] = {
        {"straight up at 5", "num 3 minVerticalVel 5 maxVerticalVel 5", vector3(), vector3(0, -10, 0),
         vector3(0, 5, 0)},
        {"released at rest: the directed part adds nothing", "num 2 directionalRelative 0.5 orthogonalVel 2",
         vector3(), vector3(0, -10, 0), vector3()},
        {"half the release velocity", "num 2 directionalRelative 0.5", vector3(8, 0, 0), vector3(0, -10, 0),
         vector3(4, 0, 0)},
        {"half of it plus a speed across it", "num 4 directionalRelative 0.5 orthogonalVel 2", vector3(8, 0, 0),
         vector3(0, -10, 0), vector3(4, 0, 0), 2.0f},
        {"sideways is across gravity", "num 2 minHorizontalVel 3 maxHorizontalVel 3", vector3(),
         vector3(0, -10, 0), vector3(3, 0, 0)},
        {"up follows the world's rotation", "num 2 minVerticalVel 5 maxVerticalVel 5", vector3(),
         vector3(-10, 0, 0), vector3(5, 0, 0)},
        {"so does sideways", "num 2 minHorizontalVel 3 maxHorizontalVel 3", vector3(), vector3(-10, 0, 0),
         vector3(0, -3, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        physics.set_gravity(c.gravity);
        const unsigned before = world.scene().num_entities();
        world.scene().launch_clusters(Clusters(c.keys, c.release_velocity));
        const std::vector<GrenadeEntity*> clusters = NewGrenades(world, before);
        ASSERT_EQ(clusters.size(), static_cast<std::size_t>(std::stoi(c.keys.substr(4))));
        for (GrenadeEntity* g : clusters) {
            const vector3 v = g->soft_body()->get_velocity();
            EXPECT_NEAR(v.x, c.velocity.x, 1e-4f);
            EXPECT_NEAR(v.y, c.velocity.y, c.across + 1e-4f);
            EXPECT_TRUE(g->soft_body_behavior()->ignore_explosions);
            const vector3 at = g->soft_body()->calculate_center();
            EXPECT_NEAR(at.x, 0.0f, 1e-4f);
            EXPECT_NEAR(at.y, 30.0f, 1e-4f);
        }
        Remove(clusters, world);
    }
}

TEST(Clusters, ARestingReleaseDrawsNoNumberForTheDirectedPart) {
    LevelSceneHarness world;
    SeedRand(11);
    const int first = Rand();
    SeedRand(11);
    world.scene().launch_clusters(Clusters("num 3 directionalRelative 0.5 orthogonalVel 2"));
    EXPECT_EQ(Rand(), first);
}

TEST(Clusters, SiblingsNeverCollideAndTheThrowerOnlyUntilApart) {
    LevelSceneHarness world(WithTestWeapons());
    SlobEntity* thrower = world.add_slob(vector3(0.0f, 30.0f, 0.0f));
    SoftBody* thrower_body = thrower->soft_body().get();
    const unsigned before = world.scene().num_entities();
    // Thrown to the right at speed 10: every cluster keeps all of it.
    EXPECT_EQ(world.scene().throw_grenade("burst", vector3(0.0f, 30.0f, 0.0f), vector3(1, 0, 0), 0.5f, 0.0,
                                          thrower_body),
              nullptr);
    const std::vector<GrenadeEntity*> clusters = NewGrenades(world, before);
    ASSERT_EQ(clusters.size(), 3u);
    PhysicsHandler& physics = *world.scene().physics_handler();
    for (GrenadeEntity* g : clusters) {
        SCOPED_TRACE(g);
        EXPECT_NEAR(g->soft_body()->get_velocity().x, 10.0f, 1e-4f);
        EXPECT_NEAR(g->soft_body()->get_velocity().y, 0.0f, 1e-4f);
        std::vector<std::pair<SoftBody*, CollisionIgnoreCondition>> ignored;
        for (const PhysicsHandler::IgnoredBody& pair : *physics.ignore_list(g->soft_body().get()))
            ignored.emplace_back(pair.other, pair.condition);
        std::vector<std::pair<SoftBody*, CollisionIgnoreCondition>> expected;
        expected.emplace_back(thrower_body, COLLISION_IGNORE_UNTIL_APART);
        for (GrenadeEntity* sibling : clusters) {
            if (sibling != g) expected.emplace_back(sibling->soft_body().get(), COLLISION_IGNORE_ALWAYS);
        }
        std::sort(ignored.begin(), ignored.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ignored, expected);
    }
}

// The launch prints each cluster's power: its speed over the cluster
// weapon's "maxVelocity"; a weapon without speed gives power 0, not an
// undefined one.
TEST(Clusters, ThePowerIsTheSpeedOverTheClusterWeaponsMaxVelocity) {
    LevelSceneHarness world(WithTestWeapons());
    struct Case {
        const char* type;
        const char* power;
    };
    for (const Case& c : {Case{"bomblet", " AND POWER 0.5\n"}, Case{"stiff", " AND POWER 0\n"}}) {
        SCOPED_TRACE(c.type);
        const unsigned before = world.scene().num_entities();
        testing::internal::CaptureStdout();
        world.scene().launch_clusters(Clusters("num 1 minVerticalVel 5 maxVerticalVel 5", vector3(), c.type));
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("LAUNCHING CLUSTER WITH DIR (0, 5, 0)" + std::string(c.power)), std::string::npos) << out;
        const std::vector<GrenadeEntity*> clusters = NewGrenades(world, before);
        ASSERT_EQ(clusters.size(), 1u);
        const vector3 v = clusters[0]->soft_body()->get_velocity();
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
        Remove(clusters, world);
    }
}

TEST(Clusters, BadCountsAndTypesMakeNothingOrAreCapped) {
    LevelSceneHarness world;
    struct Case {
        std::string what;
        std::string keys;
        const char* type;
        std::size_t clusters;
        bool warns;
    };
    const Case cases[] = {
        {"none for num 0", "num 0 minVerticalVel 5 maxVerticalVel 5", "bomblet", 0, false},
        {"none for a negative num", "num -4 minVerticalVel 5 maxVerticalVel 5", "bomblet", 0, false},
        {"none without a num", "minVerticalVel 5 maxVerticalVel 5", "bomblet", 0, false},
        {"at most 64", "num 1000 minVerticalVel 5 maxVerticalVel 5", "bomblet", 64, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const unsigned before = world.scene().num_entities();
        testing::internal::CaptureStdout();
        world.scene().launch_clusters(Clusters(c.keys, vector3(), c.type));
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("WARNING: a cluster of 'bomblet' with num 1000 releases only 64") != std::string::npos,
                  c.warns);
        const std::vector<GrenadeEntity*> clusters = NewGrenades(world, before);
        EXPECT_EQ(clusters.size(), c.clusters);
        Remove(clusters, world);
    }
    const unsigned before = world.scene().num_entities();
    EXPECT_THROW(world.scene().launch_clusters(Clusters("num 2", vector3(), "nukes")),
                 boost::property_tree::ptree_bad_path);
    ClusterDesc untyped;
    untyped.description.put("num", 2);
    EXPECT_THROW(world.scene().launch_clusters(untyped), boost::property_tree::ptree_bad_path);
    EXPECT_EQ(world.scene().num_entities(), before);
}

// The shipped cluster bomb: one "cluster" event with its explosion's peak,
// five bomblets, and each of them explodes.
TEST(Clusters, AClusterBombBurstsIntoBombletsThatEachExplode) {
    LevelSceneHarness world;
    struct Log {
        bool on_event(const GameEvent* e) {
            if (e->type == EventTypeId<ExplosionEvent>()) ++explosions;
            if (e->type == EventTypeId<ClusterEvent>()) ++clusters;
            return false;
        }
        int explosions = 0;
        int clusters = 0;
    } log;
    world.scene().set_event_listener(&log, &Log::on_event);
    const vector3 ground = world.ground_spot(8.0f);
    world.throw_grenade("clusterBomb", vector3(ground.x, ground.y + 2.0f, 0.0f));
    const int steps = world.step_until([&] { return log.explosions == 6; }, 600);
    EXPECT_GT(steps, 0) << log.explosions << " explosions";
    EXPECT_EQ(log.clusters, 1);
    world.step(60);
    EXPECT_EQ(log.explosions, 6);
    EXPECT_TRUE(world.entities_of<GrenadeEntity>().empty());
}

}  // namespace
