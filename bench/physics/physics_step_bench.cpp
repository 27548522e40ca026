#include <benchmark/benchmark.h>

#include <vector>

#include "engine/core/aabox.h"
#include "engine/core/rect.h"
#include "engine/core/sphere.h"
#include "engine/physics/particle_grid.h"
#include "support/engine/physics_level_scenes.h"

namespace {

// Scenes are warmed up for this many steps before the timing starts, so
// that contacts and the fluid's neighbourhoods are those of a running game.
constexpr int kWarmUpSteps = 60;

void ReportScene(benchmark::State& state, const vo_test::PhysicsScene& scene) {
    state.counters["bodies"] = static_cast<double>(scene.slobs.size());
    state.counters["particles"] = scene.lava ? scene.lava->num_particles() : 0;
    state.counters["edges"] = scene.level.num_edges();
    state.SetItemsProcessed(state.iterations());
}

// One step of the game-sized scene: 16 slobs, a level of about 3000 edges,
// state.range(0) lava particles pooled at the bottom (range(1) = 1) or spread
// over the whole cave (range(1) = 0).
void BM_GameSceneStep(benchmark::State& state) {
    vo_test::PhysicsScene scene;
    vo_test::BuildGameScene(scene, static_cast<int>(state.range(0)), state.range(1) != 0);
    scene.step(kWarmUpSteps);
    for (auto _ : state) {
        scene.handler.update(vo_test::PhysicsScene::kStep);
    }
    ReportScene(state, scene);
}
BENCHMARK(BM_GameSceneStep)
    ->ArgNames({"lava", "pooled"})
    ->ArgsProduct({{500, 1000, 2000, 3000, 4000, 8000}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);

// The pooled scene with one more particle far outside the level, falling
// forever: the fluid's extent, and with it the grid's cells, become huge,
// and every particle finds the whole pool in its few cells.
void BM_GameSceneStepWithStray(benchmark::State& state) {
    vo_test::PhysicsScene scene;
    vo_test::BuildGameScene(scene, static_cast<int>(state.range(0)), true);
    vo::ParticleSource::ParticleDesc stray;
    stray.position = vo::vector3(10000.0f, 0.0f, 0.0f);
    scene.lava->create_particles(1, &stray);
    scene.step(kWarmUpSteps);
    for (auto _ : state) {
        scene.handler.update(vo_test::PhysicsScene::kStep);
    }
    ReportScene(state, scene);
}
BENCHMARK(BM_GameSceneStepWithStray)->ArgName("lava")->Arg(1000)->Arg(3000)->Unit(benchmark::kMicrosecond);

// The same level and slobs without any lava: the soft-body part of a step.
void BM_GameSceneStepBodiesOnly(benchmark::State& state) {
    vo_test::PhysicsScene scene;
    vo_test::BuildGameScene(scene, 0, true);
    scene.step(kWarmUpSteps);
    for (auto _ : state) {
        scene.handler.update(vo_test::PhysicsScene::kStep);
    }
    ReportScene(state, scene);
}
BENCHMARK(BM_GameSceneStepBodiesOnly)->Unit(benchmark::kMicrosecond);

// Ten slobs piled in a small cave ring.
void BM_CavePileStep(benchmark::State& state) {
    vo_test::PhysicsScene scene;
    vo_test::BuildCavePile(scene, 10);
    scene.step(kWarmUpSteps);
    for (auto _ : state) {
        scene.handler.update(vo_test::PhysicsScene::kStep);
    }
    ReportScene(state, scene);
}
BENCHMARK(BM_CavePileStep)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The particle grid alone: the fluid of the pooled game scene (after its
// warm-up) inserted into a 10 x 10 grid, then one pair-rule query around
// every particle, as a physics step does.
void BM_ParticleGridQueries(benchmark::State& state) {
    vo_test::PhysicsScene scene;
    vo_test::BuildGameScene(scene, static_cast<int>(state.range(0)), true);
    scene.step(kWarmUpSteps);
    vo::ParticleHandler& lava = *scene.lava;
    const vo::AABox box = lava.calculate_bounding_box();
    vo::ParticleGrid grid;
    grid.set_resolution(10, 10);
    std::vector<vo::ParticleGrid::Entry> out;
    std::size_t found = 0;
    for (auto _ : state) {
        grid.set_bounding_box(vo::Rect(box.min.x - 2.0f, box.min.y - 2.0f, box.max.x + 2.0f, box.max.y + 2.0f));
        for (unsigned int i = 0; i < lava.num_particles(); ++i) grid.insert_particle(&lava, i);
        found = 0;
        for (const vo::ParticleGrid::Entry& e : grid.entries()) {
            found += grid.collect_particles(out, vo::Sphere(vo::vector3(e.x, e.y, 0.0f), 1.5f), true);
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["particles"] = lava.num_particles();
    state.counters["found_per_query"] = static_cast<double>(found) / lava.num_particles();
}
BENCHMARK(BM_ParticleGridQueries)->Arg(3000)->Unit(benchmark::kMicrosecond);

// The same queries answered by testing every particle.
void BM_BruteForceQueries(benchmark::State& state) {
    vo_test::PhysicsScene scene;
    vo_test::BuildGameScene(scene, static_cast<int>(state.range(0)), true);
    scene.step(kWarmUpSteps);
    const vo::ParticleHandler& lava = *scene.lava;
    std::vector<vo::vector3> points;
    for (unsigned int i = 0; i < lava.num_particles(); ++i) points.push_back(lava.position(i));
    std::vector<unsigned int> out;
    for (auto _ : state) {
        std::size_t found = 0;
        for (const vo::vector3& p : points) {
            out.clear();
            const vo::Sphere s(p, 1.5f);
            for (unsigned int j = 0; j < points.size(); ++j) {
                if (s.contains_point(vo::vector2(points[j]))) out.push_back(j);
            }
            found += out.size();
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_BruteForceQueries)->Arg(3000)->Unit(benchmark::kMicrosecond);

}  // namespace
