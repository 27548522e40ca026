// The level scene's particle effects: stones and lava from the triangles a
// carve removes, lava sources along the lava it lays open, lava discs at
// explosions, the lives of the bursts, their bounds, the effects they draw
// with, and a real carve through lava (with a screenshot of the flow).

#include "game/level/particle_effects.h"

#include "engine/scene/scene2d_event_listener.h"
#include "engine/sfml/engine.h"
#include "game/behaviors/fluid_behavior.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/kill_self.h"
#include "game/behaviors/rest.h"
#include "game/level/mesh/carve_result.h"
#include "support/game/level_scene_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vo;
using vo_test::LevelSceneHarness;

// A right triangle with legs 4 (along x) and 3 (along y): area 6.
struct Triangle {
    vector3 a, b, c;
    float lava[3];
};

Triangle Right(float x, float y, float lava_each) {
    return Triangle{vector3(x, y, 0), vector3(x + 4, y, 0), vector3(x, y + 3, 0), {lava_each, lava_each, lava_each}};
}

CarveResult Carve(const std::vector<Triangle>& triangles) {
    CarveResult carve;
    for (const Triangle& t : triangles) {
        carve.removed_corners.insert(carve.removed_corners.end(), {t.a, t.b, t.c});
        carve.removed_corner_lava.insert(carve.removed_corner_lava.end(), {t.lava[0], t.lava[1], t.lava[2]});
    }
    return carve;
}

void AddLavaEdge(CarveResult& carve, const vector3& a, const vector3& b, const vector3& normal) {
    carve.lava_edges.insert(carve.lava_edges.end(), {a, b});
    carve.lava_edge_normals.push_back(normal);
}

bool Inside(const vector3& p, const Triangle& t) {
    auto side = [](const vector3& a, const vector3& b, const vector3& p) {
        return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    };
    return side(t.a, t.b, p) >= 0 && side(t.b, t.c, p) >= 0 && side(t.c, t.a, p) >= 0;
}

// How many live particles of the fluid lie in each triangle.
std::vector<int> PerTriangle(const vo::Fluid& fluid, const std::vector<Triangle>& triangles) {
    std::vector<int> counts(triangles.size(), 0);
    for (unsigned i = 0; i < fluid.num_particles(); ++i) {
        for (std::size_t k = 0; k < triangles.size(); ++k) {
            if (Inside(fluid.position(i), triangles[k])) ++counts[k];
        }
    }
    return counts;
}

vo::Fluid& FluidOf(Entity* entity) { return static_cast<FluidEntity*>(entity)->fluid_behavior()->fluid(); }

double Lifetime(Entity* entity) { return entity->get_behavior<behaviors::KillSelf>("killSelf")->timer; }

TEST(ParticleEffects, RemovedRockGivesStonesAndRemovedLavaGivesLava) {
    LevelSceneHarness world;
    world.config().stoneParticleDesc.numParticlesPerSquare = 2.0f;  // 12 per triangle
    world.config().lavaDesc.particleRadius = 0.5f;                   // 1.5 / 0.25: 36 per triangle
    const std::vector<Triangle> triangles = {
        Right(0, 0, 0.0f),   // rock
        Right(10, 0, 0.5f),  // exactly 1.5: both
        Right(20, 0, 1.0f),  // lava
        Triangle{vector3(30, 0, 0), vector3(30.5f, 0, 0), vector3(30, 0.4f, 0), {0, 0, 0}},  // area 0.1: 0.2 stones
        Triangle{vector3(40, 0, 0), vector3(40.5f, 0, 0), vector3(40, 0.4f, 0), {1, 1, 1}},  // 0.6 lava
    };
    const CarveResult carve = Carve(triangles);
    LevelScene& scene = world.scene();

    Entity* stones = scene.create_stone_fluid(carve);
    Entity* lava = scene.create_lava_fluid(carve);
    ASSERT_NE(stones, nullptr);
    ASSERT_NE(lava, nullptr);
    EXPECT_TRUE(world.holds(stones) && world.holds(lava));
    EXPECT_EQ(PerTriangle(FluidOf(stones), triangles), (std::vector<int>{12, 12, 0, 0, 0}));
    EXPECT_EQ(PerTriangle(FluidOf(lava), triangles), (std::vector<int>{0, 36, 36, 0, 0}));
    EXPECT_EQ(FluidOf(stones).num_particles(), 24u);
    EXPECT_EQ(FluidOf(lava).num_particles(), 72u);

    const MatchConfig& c = world.config();
    EXPECT_EQ(FluidOf(stones).particle_desc().damagePerSecond, c.stoneParticleDesc.damagePerSecond);
    EXPECT_EQ(FluidOf(lava).particle_desc().damagePerSecond, c.lavaDesc.damagePerSecond);
    EXPECT_FLOAT_EQ(FluidOf(stones).uv_scale().x, c.area.uvScale * 0.1f);
    EXPECT_FLOAT_EQ(FluidOf(lava).uv_scale().y, c.area.lavaTextureScale * c.area.uvScale);
    EXPECT_EQ(static_cast<FluidEntity*>(stones)->fluid_behavior()->layer_at(0)->effect(), scene.stone_effect());
    EXPECT_EQ(static_cast<FluidEntity*>(lava)->fluid_behavior()->layer_at(4)->effect(), scene.lava_effect());
    // Never at rest while they live: the turn waits for them.
    EXPECT_FALSE(stones->get_behavior<behaviors::Rest>("rest")->is_resting());
    EXPECT_FALSE(lava->get_behavior<behaviors::Rest>("rest")->is_resting());
}

TEST(ParticleEffects, NoParticleOfAKindMeansNoEntityOfThatKind) {
    LevelSceneHarness world;
    CarveResult rock_only = Carve({Right(0, 0, 0.0f)});
    // Lava laid open, but no lava removed: no lava, no source.
    AddLavaEdge(rock_only, vector3(0, -1, 0), vector3(4, -1, 0), vector3(0, 1, 0));
    const unsigned before = world.scene().num_entities();
    EXPECT_EQ(world.scene().create_lava_fluid(rock_only), nullptr);
    EXPECT_EQ(world.scene().create_stone_fluid(Carve({Right(0, 0, 1.0f)})), nullptr);
    EXPECT_EQ(world.scene().create_stone_fluid(CarveResult()), nullptr);
    EXPECT_EQ(world.scene().num_entities(), before);
}

// Emitters at equal steps along each lava edge (spacing 1.5 particle
// radii, at least one), taken in turn, one particle per base interval each
// from 0.25 s on, for the emission time; the texture drifts against the
// outflow.
TEST(ParticleEffects, LavaRunsOutOfTheLavaEdgesForTheEmissionTime) {
    LevelSceneHarness world;
    MatchConfig& c = world.config();
    c.lavaDesc.particleRadius = 0.5f;  // spacing 0.75
    c.lavaDesc.minLiveTime = c.lavaDesc.maxLiveTime = 10.0;
    c.lavaEmissionDuration = 2.0;
    c.lavaEmissionBaseInterval = 0.1;
    c.lavaEmissionVelocity = 3.0f;
    c.lavaEmissionUVSpeed = 3.0f;
    CarveResult carve = Carve({Right(0, 0, 1.0f)});
    AddLavaEdge(carve, vector3(0, -5, 0), vector3(2.25f, -5, 0), vector3(0, 1, 0));  // three spacings: 3
    AddLavaEdge(carve, vector3(10, -5, 0), vector3(10.5f, -5, 0), vector3(1, 0, 0));  // shorter: 1, mid-way
    Entity* lava = world.scene().create_lava_fluid(carve);
    ASSERT_NE(lava, nullptr);
    vo::Fluid& fluid = FluidOf(lava);
    EXPECT_NEAR(fluid.uv_velocity().x, -3.0f / std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(fluid.uv_velocity().y, -3.0f / std::sqrt(2.0f), 1e-5f);
    EXPECT_EQ(Lifetime(lava), 12.0);

    // The fluid stepped on its own (no gravity, no level).
    const unsigned first = fluid.num_particles();
    const vector3 emitters[4] = {vector3(0.5625f, -5, 0), vector3(1.125f, -5, 0), vector3(1.6875f, -5, 0),
                                 vector3(10.25f, -5, 0)};
    std::vector<double> births;
    for (int step = 1; step <= 180; ++step) {
        const unsigned before = fluid.num_particles();
        fluid.update(1.0 / 60.0);
        for (unsigned i = before; i < fluid.num_particles(); ++i) {
            const vector3& e = emitters[(i - first) % 4];
            EXPECT_EQ(fluid.last_position(i).x, e.x) << i;
            EXPECT_EQ(fluid.last_position(i).y, e.y) << i;
            const vector3 v = fluid.velocity(i);
            EXPECT_GT((i - first) % 4 == 3 ? v.x : v.y, 0.0f) << i;
            births.push_back(step / 60.0);
        }
    }
    ASSERT_FALSE(births.empty());
    EXPECT_NEAR(births.front(), 0.25, 1.0 / 60.0);
    EXPECT_LE(births.back(), 2.0);
    // Four emitters, each every 0.1 s, over 1.75 s.
    EXPECT_NEAR(static_cast<double>(births.size()), 1.75 / 0.025, 2.0);
}

TEST(ParticleEffects, EachBurstLivesTheLongestLifeOfItsParticles) {
    LevelSceneHarness world;
    MatchConfig& c = world.config();
    CarveResult with_edge = Carve({Right(0, 0, 0.0f), Right(10, 0, 1.0f)});
    AddLavaEdge(with_edge, vector3(0, -5, 0), vector3(4, -5, 0), vector3(0, 1, 0));
    const CarveResult without_edge = Carve({Right(10, 0, 1.0f)});
    struct Case {
        std::string what;
        double stone_life, lava_life, emission;
        double stones, lava, lava_without_edges, disc;  // the lives expected
    };
    const Case cases[] = {
        {"as configured", 5.0, 6.0, 2.0, 5.0, 8.0, 6.0, 6.0},
        // Set behind the reader's back: a negative time would switch the
        // removal off and keep the turn waiting for ever.
        {"never negative", -3.0, -1.0, -2.0, 0.0, 0.0, 0.0, 0.0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        c.stoneParticleDesc.maxLiveTime = k.stone_life;
        c.lavaDesc.maxLiveTime = k.lava_life;
        c.lavaEmissionDuration = k.emission;
        Entity* stones = world.scene().create_stone_fluid(with_edge);
        Entity* lava = world.scene().create_lava_fluid(with_edge);
        Entity* lava_only = world.scene().create_lava_fluid(without_edge);
        Entity* disc = world.scene().create_lava_explosion(vector3(0, 20, 0), 2.0f);
        EXPECT_EQ(Lifetime(stones), k.stones);
        EXPECT_EQ(Lifetime(lava), k.lava);
        EXPECT_EQ(Lifetime(lava_only), k.lava_without_edges);
        EXPECT_EQ(Lifetime(disc), k.disc);
        // The removal comes once the life has run out.
        const int steps = static_cast<int>(std::lround(k.lava * 60.0)) + 2;
        world.step(steps);
        EXPECT_FALSE(world.holds(lava));
        EXPECT_EQ(world.holds(stones), k.stones > k.lava);
        for (Entity* e : world.entities_of<FluidEntity>()) e->kill_entity();
        world.step();
    }
}

TEST(ParticleEffects, ALavaDiscHasAParticleAtItsCentreAndRingsAroundIt) {
    LevelSceneHarness world;
    world.config().lavaDesc.particleRadius = 0.5f;
    world.config().lavaDesc.explosionDensityInv = 1.5f;  // particles 0.75 apart
    struct Case {
        float radius;
        unsigned particles;
        float ring_step;
    };
    // 1.8: 2 rings (1 + 6 + 12); 0.3: less than one ring: 3 rings (+ 18).
    for (const Case& k : {Case{1.8f, 19, 0.9f}, Case{0.3f, 37, 0.1f}}) {
        SCOPED_TRACE(k.radius);
        const vector3 centre(3.0f, 25.0f, 0.0f);
        vo::Fluid& disc = FluidOf(world.scene().create_lava_explosion(centre, k.radius));
        ASSERT_EQ(disc.num_particles(), k.particles);
        EXPECT_EQ(disc.position(0).x, centre.x);
        EXPECT_EQ(disc.position(0).y, centre.y);
        // The first of ring 1 straight above the centre, the next clockwise.
        EXPECT_FLOAT_EQ(disc.position(1).x, centre.x);
        EXPECT_FLOAT_EQ(disc.position(1).y, centre.y + k.ring_step);
        EXPECT_GT(disc.position(2).x, centre.x);
        for (unsigned i = 0; i < disc.num_particles(); ++i) {
            const vector3 p = disc.position(i);
            EXPECT_LE(std::hypot(p.x - centre.x, p.y - centre.y), k.radius + 1e-4f) << i;
        }
    }
}

// With lava explosions on, the peak of an explosion of radius 2 gives a disc
// of radius 1.8: 19 particles.
TEST(ParticleEffects, APeakWithLavaExplosionsOnReleasesALavaDisc) {
    LevelSceneHarness world;
    world.scene().lava_explosions = 1;
    ptree type;
    type.put("radius", 2.0f);
    type.put("damage", 0.0f);  // no carve: the disc is the only fluid
    world.scene().create_explosion(vector3(0, 20, 0), type, ClusterDesc());
    ASSERT_GT(world.step_until([&] { return !world.entities_of<FluidEntity>().empty(); }, 30), 0);
    const std::vector<FluidEntity*> fluids = world.entities_of<FluidEntity>();
    ASSERT_EQ(fluids.size(), 1u);
    EXPECT_EQ(fluids[0]->fluid_behavior()->fluid().num_particles(), 19u);
}

// Sizes set to almost nothing (behind the reader's back) would ask for
// millions of particles: every burst stays within its bound and still
// covers its whole area.
TEST(ParticleEffects, BurstsStayBoundedWhateverTheSizes) {
    LevelSceneHarness world;
    MatchConfig& c = world.config();
    c.lavaDesc.particleRadius = 1e-6f;
    c.lavaDesc.explosionDensityInv = 0.0f;
    c.stoneParticleDesc.numParticlesPerSquare = 1e12f;
    const std::vector<Triangle> triangles = {Right(0, 0, 0.0f), Right(10, 0, 1.0f)};
    CarveResult carve = Carve(triangles);
    AddLavaEdge(carve, vector3(0, -5, 0), vector3(1000, -5, 0), vector3(0, 1, 0));

    vo::Fluid& stones = FluidOf(world.scene().create_stone_fluid(carve));
    vo::Fluid& lava = FluidOf(world.scene().create_lava_fluid(carve));
    vo::Fluid& disc = FluidOf(world.scene().create_lava_explosion(vector3(0, 20, 0), 9.0f));
    for (vo::Fluid* f : {&stones, &lava, &disc}) {
        EXPECT_LE(f->num_particles(), kMaxParticlesPerBurst);
        EXPECT_GT(f->num_particles(), kMaxParticlesPerBurst * 9 / 10);
    }
    EXPECT_EQ(PerTriangle(stones, triangles)[0], static_cast<int>(stones.num_particles()));
    float farthest = 0.0f;
    for (unsigned i = 0; i < disc.num_particles(); ++i)
        farthest = std::max(farthest, std::hypot(disc.position(i).x, disc.position(i).y - 20.0f));
    EXPECT_NEAR(farthest, 9.0f, 1e-3f);

    // The source never emits more than a burst's worth over its life.
    const unsigned at_start = lava.num_particles();
    for (int i = 0; i < 60 * 3; ++i) lava.update(1.0 / 60.0);
    EXPECT_LE(lava.num_particles() - at_start, kMaxParticlesPerBurst + 1);
}

// Every emitter makes the effects it draws with when they do not exist yet;
// making them again (a new screen size) keeps their handles.
TEST(ParticleEffects, TheEmittersMakeTheEffectsTheyNeed) {
    LevelSceneHarness world;
    LevelScene& scene = world.scene();
    EXPECT_FALSE(scene.lava_effect().valid);
    Entity* disc = scene.create_lava_explosion(vector3(0, 20, 0), 2.0f);
    ASSERT_TRUE(scene.preprocess_effect().valid && scene.lava_effect().valid && scene.stone_effect().valid);
    EXPECT_EQ(static_cast<FluidEntity*>(disc)->fluid_behavior()->layer_at(0)->effect(), scene.lava_effect());
    Engine& engine = Engine::instance();
    EXPECT_EQ(scene.screen_size().x, static_cast<float>(engine.screen_width()));
    EXPECT_EQ(scene.screen_size().y, static_cast<float>(engine.screen_height()));

    const EffectHandle handles[3] = {scene.preprocess_effect(), scene.lava_effect(), scene.stone_effect()};
    scene.init_effects();
    EXPECT_EQ(scene.preprocess_effect(), handles[0]);
    EXPECT_EQ(scene.lava_effect(), handles[1]);
    EXPECT_EQ(scene.stone_effect(), handles[2]);
}

float Area(const vector3& a, const vector3& b, const vector3& c) {
    return 0.5f * std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
}

// An explosion on ground above lava: the carve removes rock and lava, each
// removed triangle gives trunc(area x density) stones or lava, and lava runs
// from the lava laid open.
TEST(ParticleEffects, ACarveThroughLavaReleasesStonesAndFlowingLava) {
    LevelSceneHarness world;
    const vector3 ground = world.ground_spot(10.0f);
    world.level().add_lava(ground.x, ground.y - 6.0f, 4.0f);
    ptree type;
    type.put("radius", 4.0f);
    type.put("damage", 30.0f);
    world.scene().create_explosion(ground, type, ClusterDesc());
    ASSERT_GT(world.step_until([&] { return !world.entities_of<FluidEntity>().empty(); }, 30), 0);

    const CarveResult& carve = world.level_entity()->get_behavior<behaviors::LevelGeometry>()->carve_result();
    const MatchConfig& c = world.config();
    const float densities[2] = {c.stoneParticleDesc.numParticlesPerSquare,
                                static_cast<float>(1.5 / (c.lavaDesc.particleRadius * c.lavaDesc.particleRadius))};
    unsigned expected[2] = {0, 0};
    for (std::size_t k = 0; 3 * k + 2 < carve.removed_corners.size(); ++k) {
        const float lava = carve.removed_corner_lava[3 * k] + carve.removed_corner_lava[3 * k + 1] +
                           carve.removed_corner_lava[3 * k + 2];
        const float area =
            Area(carve.removed_corners[3 * k], carve.removed_corners[3 * k + 1], carve.removed_corners[3 * k + 2]);
        if (lava <= 1.5f) expected[0] += static_cast<unsigned>(area * densities[0]);
        if (lava >= 1.5f) expected[1] += static_cast<unsigned>(area * densities[1]);
    }
    ASSERT_GT(expected[0], 0u);
    ASSERT_GT(expected[1], 0u);
    ASSERT_FALSE(carve.lava_edge_normals.empty());
    const std::vector<FluidEntity*> fluids = world.entities_of<FluidEntity>();
    ASSERT_EQ(fluids.size(), 2u);  // stones first
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(kind == 0 ? "stones" : "lava");
        const unsigned made = fluids[kind]->fluid_behavior()->fluid().num_particles();
        EXPECT_NEAR(static_cast<double>(made), static_cast<double>(expected[kind]), 1.0);
    }
    const unsigned lava_at_start = fluids[1]->fluid_behavior()->fluid().num_particles();

    world.step(45);
    EXPECT_GT(fluids[1]->fluid_behavior()->fluid().num_particles(), lava_at_start);  // it runs
    const sf::Image shot = world.draw(ground, 26.0f, "flowing_lava");
    // Lava shows: bright, red-dominated pixels around the hole.
    int glowing = 0;
    for (unsigned y = 0; y < shot.getSize().y; y += 2) {
        for (unsigned x = 0; x < shot.getSize().x; x += 2) {
            const sf::Color p = shot.getPixel(x, y);
            if (p.r > 150 && p.r > p.b + 60) ++glowing;
        }
    }
    EXPECT_GT(glowing, 200);
}

}  // namespace
