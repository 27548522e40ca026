// The level scene: its checked copies of the weapons and items, throwing
// weapons, the order of its event handling and its drawing.

#include "game/level/level_scene.h"

#include "engine/core/error.h"
#include "engine/physics/physics_handler.h"
#include "engine/scene/scene2d_event_listener.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/explodable.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/soft_body_collision_trigger.h"
#include "game/behaviors/trigger.h"
#include "support/engine/recording_engine.h"
#include "support/game/level_scene_harness.h"

#include <boost/property_tree/exceptions.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace vo;
using vo_test::LevelSceneHarness;
using vo_test::LevelSceneSetup;
using vo_test::ShippedConfig;

// The shipped weapons and three of the tests' own.
LevelSceneSetup WithTestWeapons() {
    LevelSceneSetup setup;
    setup.config_files["weapons.info"] = ShippedConfig("weapons.info") + R"(
fixedThrow { fixedVelocity 12 maxVelocity 20 body grenadeBody timed true groundTriggered true slobTriggered false }
burst { clustersOnly true maxVelocity 20 cluster { type bomblet num 3 directionalRelative 1 } }
)";
    return setup;
}

TEST(LevelScene, RefusesDefectiveWeaponsAndItemsWithEveryDefectNamed) {
    std::string weapons = ShippedConfig("weapons.info");
    const std::string radius = "radius ";
    weapons.replace(weapons.find(radius, weapons.find("    normal\n")), radius.size(), "radius -");  // normal's
    std::string items = ShippedConfig("items.info");
    const std::string add = "addWeapon clusterBomb";
    items.replace(items.find(add), add.size(), "addWeapon nukes");
    LevelSceneSetup setup;
    setup.config_files = {{"weapons.info", weapons}, {"items.info", items}};
    try {
        LevelSceneHarness world(setup);
        FAIL() << "no Error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()),
                  "weapons.info: explosionTypes.normal.radius: must be above 0\n"
                  "items.info: items.clusters.addWeapon: names no available weapon 'nukes'");
    }
}

// What the readers repair is accepted and said once, when the scene loads
// the files: the match's own check of its weapons does not say it again.
TEST(LevelScene, WarnsOnceOfWhatTheReadersRepair) {
    std::string weapons = ShippedConfig("weapons.info");
    const std::string points = "numBoundaryPoints 6";
    weapons.replace(weapons.find(points), points.size(), "numBoundaryPoints six");  // the bomblet's body
    LevelSceneSetup setup;
    setup.config_files = {{"weapons.info", weapons}};
    const std::string warning =
        "WARNING: weapons.info: bombletBody.numBoundaryPoints: 'six' is not a whole number, 12 used\n";

    testing::internal::CaptureStdout();
    LevelSceneHarness world(setup);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(warning), std::string::npos) << out;
    EXPECT_EQ(out.find(warning), out.rfind(warning)) << out;

    testing::internal::CaptureStdout();
    world.scene().check_match_weapons(true, true);
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;
}

// The match throws "mine" by name only when it lays mines, and "grenade"
// only for a computer team: the scene loads without them, and a match asks
// for each that it needs.
TEST(LevelScene, AsksForMineAndGrenadeOnlyWhenAMatchNeedsThem) {
    LevelSceneSetup setup;
    setup.config_files = {{"weapons.info", vo_test::ShippedWeaponsWithoutMineAndGrenade()}};
    LevelSceneHarness world(setup);
    const LevelScene& scene = world.scene();
    EXPECT_NO_THROW(scene.check_match_weapons(false, false));

    const std::string mine = "weapons.info: mine: no weapon description (the match throws 'mine' by name)";
    const std::string grenade = "weapons.info: grenade: no weapon description (the match throws 'grenade' by name)";
    struct Case {
        bool mines_laid, cpu_plays;
        std::string message;
    };
    for (const Case& c : {Case{true, false, mine}, Case{false, true, grenade}, Case{true, true, mine + "\n" + grenade}}) {
        SCOPED_TRACE(c.message);
        try {
            scene.check_match_weapons(c.mines_laid, c.cpu_plays);
            ADD_FAILURE() << "no Error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.message()), c.message);
        }
    }
}

float Speed(const vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

TEST(LevelScene, ThrowsEachWeaponAsItsDescriptionSays) {
    LevelSceneHarness world(WithTestWeapons());
    LevelScene& scene = world.scene();
    const vector3 at(3.0f, 4.0f, 0.0f);
    // The speeds at full charge and the blast radii of the shipped data.
    const float g = scene.weapons.get<float>("grenade.maxVelocity");
    const float t = scene.weapons.get<float>("timedGrenade.maxVelocity");
    const float normal = scene.weapons.get<float>("explosionTypes.normal.radius");
    const float big = scene.weapons.get<float>("explosionTypes.big.radius");
    struct Case {
        std::string what;
        std::string weapon;
        vector3 direction;
        float power;
        double timer;
        vector3 velocity;
        double fuse;  // < 0: a contact trigger
        bool ground;
        bool slob;
        float blast_radius;
    };
    const Case cases[] = {
        {"charged: maxVelocity at half power", "grenade", vector3(3, 4, 0), 0.5f, 0.0,
         vector3(0.3f * g, 0.4f * g, 0), -1, true, true, normal},
        {"a fixed speed whatever the power", "fixedThrow", vector3(0, -2, 0), 0.1f, 2.0, vector3(0, -12, 0), 2.0,
         false, false, normal},
        {"timed with a fuse", "timedGrenade", vector3(1, 0, 0), 1.0f, 3.0, vector3(t, 0, 0), 3.0, false, false, big},
        {"timed without a fuse goes off on contact", "timedGrenade", vector3(1, 0, 0), 1.0f, 0.0, vector3(t, 0, 0),
         -1, true, true, big},
        {"not timed: the fuse is ignored", "grenade", vector3(0, 1, 0), 1.0f, 3.0, vector3(0, g, 0), -1, true, true,
         normal},
        {"no direction: at rest", "grenade", vector3(), 1.0f, 0.0, vector3(), -1, true, true, normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* grenade = static_cast<GrenadeEntity*>(world.throw_grenade(c.weapon, at, c.direction, c.power, c.timer));
        ASSERT_NE(grenade, nullptr);
        ASSERT_TRUE(world.holds(grenade));
        const vector3 v = grenade->soft_body()->get_velocity();
        EXPECT_NEAR(v.x, c.velocity.x, 1e-4f);
        EXPECT_NEAR(v.y, c.velocity.y, 1e-4f);
        const vector3 centre = grenade->soft_body()->calculate_center();
        EXPECT_NEAR(centre.x, at.x, 1e-4f);
        EXPECT_NEAR(centre.y, at.y, 1e-4f);
        auto* timed = grenade->get_behavior<behaviors::TimedTrigger>();
        auto* contact = grenade->get_behavior<behaviors::SoftBodyCollisionTrigger>();
        if (c.fuse > 0) {
            ASSERT_NE(timed, nullptr);
            EXPECT_EQ(timed->timer, c.fuse);
            EXPECT_EQ(contact, nullptr);
        } else {
            ASSERT_NE(contact, nullptr);
            EXPECT_EQ(timed, nullptr);
            EXPECT_EQ(contact->ground_triggered(), c.ground);
            EXPECT_EQ(contact->slob_triggered(), c.slob);
        }
        EXPECT_EQ(grenade->explodable_behavior()->explosion_desc().get<float>("radius"), c.blast_radius);
        EXPECT_FALSE(grenade->explodable_behavior()->has_cluster());
        grenade->kill_entity();
    }
    world.step();

    // A mine as the match lays it: at the origin, at rest, set off by bodies
    // only, ignoring nobody.
    auto* mine = static_cast<GrenadeEntity*>(scene.throw_grenade("mine", vector3(), vector3(), 0.0f, 0.0, nullptr));
    ASSERT_NE(mine, nullptr);
    auto* contact = mine->get_behavior<behaviors::SoftBodyCollisionTrigger>();
    ASSERT_NE(contact, nullptr);
    EXPECT_FALSE(contact->ground_triggered());
    EXPECT_TRUE(contact->slob_triggered());
    EXPECT_EQ(Speed(mine->soft_body()->get_velocity()), 0.0f);
    EXPECT_TRUE(scene.physics_handler()->ignore_list(mine->soft_body().get())->empty());
    vector3 p(1, 1, 1);
    GetPosition(mine, p);
    EXPECT_EQ(Speed(p), 0.0f);

    // The cluster bomb keeps its weapon's cluster description.
    auto* bomb = static_cast<GrenadeEntity*>(world.throw_grenade("clusterBomb", at));
    EXPECT_TRUE(bomb->explodable_behavior()->has_cluster());
    EXPECT_EQ(bomb->explodable_behavior()->cluster_desc().get<std::string>("type"), "bomblet");
}

// A weapon that releases only clusters has no grenade of its own: the throw
// answers null and adds only its clusters.
TEST(LevelScene, AClustersOnlyWeaponMakesNoGrenade) {
    LevelSceneHarness world(WithTestWeapons());
    SlobEntity* thrower = world.add_slob(vector3(0, 10, 0));
    const unsigned before = world.scene().num_entities();
    EXPECT_EQ(world.scene().throw_grenade("burst", vector3(0, 10, 0), vector3(1, 0, 0), 0.5f, 0.0,
                                          thrower->soft_body().get()),
              nullptr);
    ASSERT_EQ(world.scene().num_entities(), before + 3);
    for (unsigned i = before; i < before + 3; ++i) {
        auto* cluster = dynamic_cast<GrenadeEntity*>(world.scene().entity(i));
        ASSERT_NE(cluster, nullptr);
        EXPECT_EQ(cluster->explodable_behavior()->explosion_desc().get<float>("radius"), 2.0f);  // a bomblet
    }
}

TEST(LevelScene, AWeaponOrKeyThatIsNotThereAddsNothing) {
    LevelSceneHarness world;
    const unsigned before = world.scene().num_entities();
    EXPECT_THROW(world.scene().throw_grenade("nukes", vector3(), vector3(), 1.0f, 0.0, nullptr),
                 boost::property_tree::ptree_bad_path);
    // A description without "maxVelocity".
    EXPECT_THROW(world.scene().throw_grenade("explosionTypes", vector3(), vector3(), 1.0f, 0.0, nullptr),
                 boost::property_tree::ptree_bad_path);
    EXPECT_EQ(world.scene().num_entities(), before);
}

// A level scene whose particle and cluster hooks record their calls.
class RecordingLevelScene : public LevelScene {
public:
    void launch_clusters(const ClusterDesc& cluster) override {
        calls.push_back("clusters " + cluster.description.get<std::string>("type", ""));
    }
    Entity* create_lava_explosion(const vector3& centre, float radius) override {
        calls.push_back("lava " + std::to_string(centre.x) + " " + std::to_string(radius));
        return nullptr;
    }
    std::vector<std::string> calls;
};

// Sees every event first; consumes those it is told to.
struct Listener {
    bool on_event(const GameEvent* event) {
        seen.push_back(event->name);
        return consume;
    }
    bool consume = false;
    std::vector<std::string> seen;
};

// Sees the events that reach the entities.
class EventLog : public IBehavior {
public:
    IBehavior* clone() const override { return new EventLog(); }
    bool accepts_game_events() const override { return true; }
    void handle_game_event(const GameEvent& e) override { names.push_back(e.name); }
    std::vector<std::string> names;
};

TEST(LevelScene, HandlesPeaksAndClustersAfterTheListenerAndTheEntities) {
    LevelSceneHarness world;  // the application around the scene
    RecordingLevelScene scene;
    Listener listener;
    scene.set_event_listener(&listener, &Listener::on_event);
    Entity* entity = new Entity();
    EventLog* log = entity->add_behavior<EventLog>();
    scene.add_entity(entity, true);

    ClusterDesc cluster;
    cluster.description.put("type", "bomblet");
    cluster.description.put("num", 2);
    const ExplosionPeakEvent peak(vector3(2.0f, 0.0f, 0.0f), 10.0f, 5.0f, 1.0f);
    const ClusterEvent clusters(cluster);
    struct Case {
        std::string what;
        int lava;
        bool consume;
        const GameEvent* event;
        bool result;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"lava off", 0, false, &peak, false, {}},
        {"lava on: a disc of 0.9 times the radius", 1, false, &peak, false, {"lava 2.000000 9.000000"}},
        {"only bit 0 counts", 2, false, &peak, false, {}},
        {"bit 0 among others", 3, false, &peak, false, {"lava 2.000000 9.000000"}},
        {"clusters are launched; still false", 0, false, &clusters, false, {"clusters bomblet"}},
        {"a consumed peak stops here", 1, true, &peak, true, {}},
        {"a consumed cluster event stops here", 0, true, &clusters, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scene.lava_explosions = c.lava;
        scene.calls.clear();
        listener.seen.clear();
        listener.consume = c.consume;
        log->names.clear();
        EXPECT_EQ(scene.handle_event(c.event), c.result);
        EXPECT_EQ(scene.calls, c.calls);
        EXPECT_EQ(listener.seen, std::vector<std::string>{c.event->name});
        EXPECT_EQ(log->names.size(), c.consume ? 0u : 1u);
    }
}

TEST(LevelScene, DrawRunsTheFluidPassOnlyWhenThereAreFluids) {
    LevelSceneHarness world;
    LevelScene scene;  // no level: the scene graph draws nothing
    vo_test::RecordingEngine engine;
    vo_test::EngineOverride use(engine);

    scene.draw();
    const std::vector<std::string> without = engine.calls();
    ASSERT_FALSE(without.empty());
    // The lava's modulator at scene time 0, then only the camera.
    EXPECT_EQ(without[0], "set_effect_parameter(no effect, modulator, (1, 1.25))");
    for (std::size_t i = 1; i < without.size(); ++i) {
        EXPECT_EQ(without[i].find("render_target"), std::string::npos) << without[i];
        EXPECT_EQ(without[i].find("effect"), std::string::npos) << without[i];
    }

    engine.clear_calls();
    scene.add_visual(GroupNode::create(), nullptr, IScene::VISUAL_TYPE_1);
    scene.draw();
    std::vector<std::string> pass;
    for (const std::string& call : engine.calls()) {
        if (call.find("perspective") != std::string::npos || call.find("matrix") != std::string::npos ||
            call.find("identity") != std::string::npos || call.find("translate") != std::string::npos ||
            call.find("rotate") != std::string::npos) {
            continue;  // the camera's transform
        }
        pass.push_back(call);
    }
    EXPECT_EQ(pass, (std::vector<std::string>{
                        "set_effect_parameter(no effect, modulator, (1, 1.25))",
                        "set_render_target(lava)",
                        "set_clear_color((0, 0, 0, 0))",
                        "clear()",
                        "set_state(2, true)",
                        "push_viewport(0, 0, 128, 128, false)",
                        "force_effect(no effect)",
                        "set_blend_mode(1)",
                        "unforce_effect()",
                        "display()",
                        "pop_viewport()",
                        "set_render_target(null)",
                        "set_effect_parameter(no effect, screenSize, (800, 600))",
                        "set_effect_parameter(no effect, screenSize, (800, 600))",
                        "set_blend_mode(0)",
                    }));
}

}  // namespace
