// Explosions in a level scene over the generated level: their events, their
// dissolving circle, the camera shake, the damage they deal and the holes
// they carve.

#include "engine/core/error.h"
#include "engine/core/resources.h"
#include "engine/scene/health.h"
#include "engine/scene/scene2d_event_listener.h"
#include "engine/scene/transform_behavior.h"
#include "engine/sfml/engine.h"
#include "game/behaviors/explodable.h"
#include "game/behaviors/explosion.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/rest.h"
#include "support/game/level_invariants.h"
#include "support/game/level_scene_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace vo;
using vo_test::LevelSceneHarness;

// An explosion type of weapons.info.
ptree Type(float radius, float damage, float peak_delay = 0.2f) {
    ptree type;
    type.put("radius", radius);
    type.put("damage", damage);
    type.put("force", 800.0f);
    type.put("peakDelay", peak_delay);
    return type;
}

ClusterDesc Clusters(const char* num) {
    ClusterDesc cluster;
    cluster.description.put("type", "bomblet");
    if (num) cluster.description.put("num", num);
    return cluster;
}

// The names of the events the scene delivers, with the number of the scene
// step that delivered them.
struct EventLog {
    explicit EventLog(LevelSceneHarness& w) : world(w) {}
    bool on_event(const GameEvent* event) {
        seen.push_back(std::string(event->name) + "@" + std::to_string(step));
        return false;
    }
    void run(int steps) {
        for (int i = 0; i < steps; ++i) {
            ++step;
            world.step();
        }
    }
    LevelSceneHarness& world;
    int step = 0;
    std::vector<std::string> seen;
};

TEST(Explosion, QueuesItsEventAtOnceAndThePeakAndClustersAfterThePeakDelay) {
    LevelSceneHarness world;
    EventLog log(world);
    world.scene().set_event_listener(&log, &EventLog::on_event);
    struct Case {
        std::string what;
        float peak_delay;
        const char* num;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"a peak 0.21 s later, then its clusters", 0.21f, "3", {"explosion@1", "explosionPeak@13", "cluster@13"}},
        {"no clusters without a num", 0.21f, nullptr, {"explosion@1", "explosionPeak@13"}},
        {"none for num 0", 0.11f, "0", {"explosion@1", "explosionPeak@7"}},
        {"none for a negative num", 0.11f, "-2", {"explosion@1", "explosionPeak@7"}},
        {"a peak without delay comes after the explosion", 0.0f, "1",
         {"explosion@1", "explosionPeak@1", "cluster@1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.step = 0;
        log.seen.clear();
        world.scene().create_explosion(world.ground_spot(), Type(2.0f, 0.0f, c.peak_delay), Clusters(c.num));
        log.run(20);
        EXPECT_EQ(log.seen, c.events);
    }
}

TEST(Explosion, ShowsADissolvingCircleForOneSecondOfSceneTime) {
    LevelSceneHarness world;
    struct Case {
        float radius;
        float damage;
        const char* texture;
    };
    for (const Case& c : {Case{4.0f, 35.0f, "explosion_circle_col.png"}, Case{4.0f, 0.0f, "explosion_circle_col.png"},
                          Case{2.0f, -5.0f, "explosion_heal_col.png"}}) {
        SCOPED_TRACE(c.texture + std::string(" damage ") + std::to_string(c.damage));
        const vector3 at(10.0f, -20.0f, 0.0f);
        Entity* entity = world.scene().create_explosion(at, Type(c.radius, c.damage), ClusterDesc());
        auto* explosion = entity->get_behavior<behaviors::Explosion>("explosion");
        ASSERT_NE(explosion, nullptr);
        EXPECT_TRUE(entity->get_behavior<behaviors::Rest>("rest")->keep_awake);
        const Image& image = explosion->sprite()->image();
        EXPECT_EQ(image.texture().get(), GetTexture(c.texture).get());
        EXPECT_TRUE(image.effect.valid);
        EXPECT_EQ(image.dest_frame.width(), 2.5f * c.radius);  // radius 4: 10 units wide

        world.step();
        EXPECT_EQ(explosion->sprite()->transform().position.x, at.x);
        EXPECT_EQ(image.threshold, 1.0f);  // the dissolve starts from its first key
        EXPECT_EQ(image.interval, 0.5f);
        EXPECT_EQ(image.alpha_range, 0.1f);
        world.step(58);
        EXPECT_FALSE(entity->was_killed());
        EXPECT_FALSE(entity->get_behavior<behaviors::Rest>()->is_resting());
        world.step();  // one second: the last key is reached
        EXPECT_TRUE(entity->was_killed());
        world.step();
        EXPECT_FALSE(world.holds(entity));
    }
}

// The shake goes away from the blast: along the camera position minus the
// explosion's, of the configured amplitude, count, time and damping.
TEST(Explosion, ShakesTheCameraAwayFromTheBlast) {
    LevelSceneHarness world;
    ActionCameraController& camera = world.camera();
    camera.set_following(false);
    struct Case {
        std::string what;
        float iterations;
        vector3 blast_from_camera;
        vector3 amplitude;  // expected
        int count;          // expected
    };
    const Case cases[] = {
        {"the configured five swings, from below", 5.0f, vector3(0, -10, 0), vector3(0, 2, 0), 5},
        {"a fraction of a swing is cut", 2.7f, vector3(6, 8, 0), vector3(-1.2f, -1.6f, 0), 2},
        {"under one swing nothing shakes", 0.5f, vector3(0, -10, 0), vector3(), 0},
        {"at the camera there is no direction", 5.0f, vector3(), vector3(), 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.config().camera.explosionShakeIterations = c.iterations;
        camera.set_look_at(vector3(30.0f, 40.0f, 0.0f));
        const vector3 eye = camera.position();
        const vector3 blast(eye.x + c.blast_from_camera.x, eye.y + c.blast_from_camera.y, eye.z);
        world.scene().create_explosion(blast, Type(1.0f, 0.0f), ClusterDesc());

        ActionCameraController expected;
        expected.shake(c.amplitude, c.count, 0.4, 0.75f);
        EXPECT_EQ(camera.shake_tweens().num_running() + camera.shake_tweens().num_scheduled(),
                  expected.shake_tweens().num_running() + expected.shake_tweens().num_scheduled());
        // Steps that never land on the end of a swing, where the two
        // clocks' roundings could pick different swings.
        for (int i = 0; i < 30; ++i) {
            camera.update(0.013);
            expected.update(0.013);
            ASSERT_NEAR(camera.shake_offset().x, expected.shake_offset().x, 1e-5f) << "step " << i;
            ASSERT_NEAR(camera.shake_offset().y, expected.shake_offset().y, 1e-5f) << "step " << i;
        }
    }
}

// The slob on the ground loses what the explosion's falloff gives for its
// distance, once the "explosion" event arrives.
TEST(Explosion, ASlobLosesTheDamageOfItsDistance) {
    LevelSceneHarness world;
    const vector3 ground = world.ground_spot(6.0f);
    SlobEntity* slob = world.add_slob(vector3(ground.x, ground.y + 1.0f, 0.0f));
    world.step(90);  // settled
    for (float gap : {0.5f, 2.0f, 3.5f, 6.0f}) {
        SCOPED_TRACE("gap " + std::to_string(gap));
        const Sphere sphere = slob->soft_body()->calculate_bounding_sphere();
        const vector3 blast(sphere.center().x - sphere.radius() - gap, sphere.center().y, 0.0f);
        const float before = slob->health_behavior()->value;
        const ExplosionEvent reference(blast, 4.0f, 30.0f, 800.0f);
        world.scene().create_explosion(blast, Type(4.0f, 30.0f, 5.0f), ClusterDesc());
        world.step();
        EXPECT_NEAR(before - slob->health_behavior()->value, reference.damage_at(gap), 1e-3f);
        world.step(120);
    }
    EXPECT_LT(slob->health_behavior()->value, 100.0f - 30.0f);
}

// The peak of a damaging explosion carves the level once; harmless and
// healing ones leave it as it is.
TEST(Explosion, ThePeakOfADamagingExplosionCarvesTheLevel) {
    LevelSceneHarness world;
    const vector3 ground = world.ground_spot();
    struct Case {
        float damage;
        std::size_t new_records;
    };
    for (const Case& c : {Case{35.0f, 1}, Case{0.0f, 0}, Case{-5.0f, 0}, Case{10.0f, 1}}) {
        SCOPED_TRACE("damage " + std::to_string(c.damage));
        const std::size_t before = world.level().edit_log().size();
        world.scene().create_explosion(ground, Type(4.0f, c.damage), ClusterDesc());
        world.step(11);  // the peak comes 0.2 s later
        EXPECT_EQ(world.level().edit_log().size(), before);
        world.step();
        ASSERT_EQ(world.level().edit_log().size(), before + c.new_records);
        if (c.new_records) {
            const LevelEditRecord& hole = world.level().edit_log().back();
            EXPECT_EQ(hole.x, ground.x);
            EXPECT_EQ(hole.y, ground.y);
            EXPECT_EQ(hole.radius, 4.0f);
        }
        const vo_test::LevelInvariantReport report =
            vo_test::CheckLevelInvariants(world.level().geometry(), vo_test::CarvedCircles(world.level().geometry()));
        EXPECT_TRUE(report.ok()) << report.text();
        // The physics collides with the rock as it is now.
        EXPECT_EQ(vo_test::CountCollisionTreeEdges(world.level().collision_node()), report.num_collision_edges);
    }
}

// Each explosion gives its dissolve effect back to the engine once its
// circle has gone, so explosions never use up the engine's effect records.
TEST(Explosion, EveryExplosionGivesItsDissolveEffectBack) {
    LevelSceneHarness world;
    const auto effect_of = [](Entity* e) {
        return e->get_behavior<behaviors::Explosion>()->sprite()->image().effect;
    };
    // One after another: each takes the record the one before gave back.
    std::set<int> one_by_one;
    for (int i = 0; i < 100; ++i) {
        Entity* e = world.scene().create_explosion(vector3(0, 0, 0), Type(2.0f, 0.0f), ClusterDesc());
        one_by_one.insert(effect_of(e).id);
        world.step(61);
        ASSERT_FALSE(world.holds(e));
    }
    EXPECT_EQ(one_by_one.size(), 1u);

    // A hundred at once take a hundred records, and give every one back.
    std::set<int> together;
    for (int i = 0; i < 100; ++i) {
        Entity* e = world.scene().create_explosion(vector3(0, 0, 0), Type(2.0f, 0.0f), ClusterDesc());
        together.insert(effect_of(e).id);
    }
    ASSERT_EQ(together.size(), 100u);
    world.step(61);
    EXPECT_TRUE(world.entities_of<ExplosionEntity>().empty());
    // The engine hands out freed records before new ones: the next hundred
    // effects reuse exactly the explosions' records.
    Engine& engine = Engine::instance();
    std::vector<EffectHandle> probes;
    std::set<int> reused;
    for (int i = 0; i < 100; ++i) {
        EffectDesc desc;
        desc.name = "dissolve_shader";
        desc.textures = {GetTexture("explosion_circle_dissolve.png"), GetTexture("explosion_circle_col.png")};
        probes.push_back(engine.create_effect(desc));
        reused.insert(probes.back().id);
    }
    EXPECT_EQ(reused, together);
    for (EffectHandle& probe : probes) engine.free_effect(probe);
}

TEST(Explosion, AGrenadeExplodesOnlyInALevelSceneAndWithAPosition) {
    LevelSceneHarness world;
    Entity* entity = new Entity();
    auto* explodable = entity->add_behavior<behaviors::Explodable>("explodable");
    world.scene().add_entity(entity, true);
    explodable->trigger()->fire();
    try {
        entity->update(0.0f);
        FAIL() << "no Error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()), "Explodable entities have to feature a transform behavior!");
    }
    EXPECT_FALSE(entity->was_killed());
    EXPECT_TRUE(world.entities_of<ExplosionEntity>().empty());
}

// A grenade's blast over the level, half dissolved, looked at: the picture
// is left in the test artefacts.
TEST(Explosion, AGrenadesBlastOverTheLevelMidDissolve) {
    LevelSceneHarness world;
    const vector3 ground = world.ground_spot();
    const vector3 eye(ground.x, ground.y + 2.0f, 0.0f);
    const sf::Image before = world.draw(eye, 30.0f);

    Entity* grenade = world.throw_grenade("timedGrenade", vector3(ground.x, ground.y + 0.5f, 0.0f), vector3(), 0.0f,
                                          0.5);
    ASSERT_NE(grenade, nullptr);
    ASSERT_GT(world.step_until([&] { return !world.holds(grenade); }, 120), 0);
    ASSERT_EQ(world.entities_of<ExplosionEntity>().size(), 1u);
    world.step(18);  // 0.3 s into the dissolve: a ring running outward
    const sf::Image during = world.draw(eye, 30.0f, "level_scene_explosion_mid_dissolve");

    // The blast shows around its centre, and the level is still drawn
    // around it.
    const sf::Vector2u size = during.getSize();
    int changed = 0, lit = 0;
    for (unsigned y = 0; y < size.y; y += 4) {
        for (unsigned x = 0; x < size.x; x += 4) {
            const sf::Color a = before.getPixel(x, y), b = during.getPixel(x, y);
            if (std::abs(int(a.r) - int(b.r)) + std::abs(int(a.g) - int(b.g)) + std::abs(int(a.b) - int(b.b)) > 60)
                ++changed;
            if (b.r + b.g + b.b > 60) ++lit;
        }
    }
    const int samples = static_cast<int>((size.x / 4) * (size.y / 4));
    EXPECT_GT(changed, samples / 50);
    EXPECT_GT(lit, samples / 4);
}

}  // namespace
