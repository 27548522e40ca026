// The cost of lava in the level scene over the default generated level:
//
// BM_LavaBurstStep/N: one scene step (physics with the fluid's particle
// stages against the level, then the entity updates that rebuild the
// fluid's quads) while one lava burst of N particles flows. The burst is
// made by the level scene's lava emitter from one removed lava triangle of
// N / density area (legs of 18 units for 1,000 particles, 41 for 5,000)
// standing on the ground of the cave, and made anew (not timed) every
// kStepsPerBurst steps, before its particles start to expire.
//
// BM_FluidDraw: a smoke figure of the drawing under the software renderer
// (llvmpipe): a whole frame of the level scene with a burst of 5,000
// particles (the fluid pass into the "lava" target, then the scene graph)
// read back from the window; the counter base_frame_ms is the same frame
// without fluids.
//
// Run under an X server; pin to one core with taskset.

#include "engine/core/random.h"
#include "game/behaviors/fluid_behavior.h"
#include "game/level/mesh/carve_result.h"
#include "shared_world.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace {

using namespace vo;
using Clock = std::chrono::steady_clock;

constexpr int kStepsPerBurst = 120;

vo_test::LevelSceneHarness& World() { return vo_bench::LevelWorld(); }

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A removed triangle of lava whose area gives exactly n particles: a right
// isosceles triangle, its right angle at `corner`.
CarveResult LavaTriangle(const vector3& corner, unsigned n, float density) {
    const float area = static_cast<float>(n) / density + 0.01f;
    const float leg = std::sqrt(2.0f * area);
    CarveResult carve;
    carve.removed_corners = {corner, vector3(corner.x + leg, corner.y, 0.0f), vector3(corner.x, corner.y + leg, 0.0f)};
    carve.removed_corner_lava = {1.0f, 1.0f, 1.0f};
    return carve;
}

// Removes the fluids of the scene and makes a burst of n particles above the
// ground; the particles made.
unsigned NewBurst(vo_test::LevelSceneHarness& world, const vector3& ground, unsigned n) {
    for (FluidEntity* f : world.entities_of<FluidEntity>()) f->kill_entity();
    world.step();
    const float r = world.config().lavaDesc.particleRadius;
    const float density = static_cast<float>(1.5 / (static_cast<double>(r) * r));
    const float leg = std::sqrt(2.0f * static_cast<float>(n) / density);
    Entity* burst = world.scene().create_lava_fluid(
        LavaTriangle(vector3(ground.x - 0.3f * leg, ground.y + 1.0f, 0.0f), n, density));
    return static_cast<FluidEntity*>(burst)->fluid_behavior()->fluid().num_particles();
}

void BM_LavaBurstStep(benchmark::State& state) {
    vo_test::LevelSceneHarness& world = World();
    world.new_level(0);
    const vector3 ground = world.ground_spot(16.0f);
    const unsigned n = static_cast<unsigned>(state.range(0));
    SeedRand(3);
    int steps = kStepsPerBurst;
    unsigned made = 0;
    for (auto _ : state) {
        if (steps == kStepsPerBurst) {
            made = NewBurst(world, ground, n);
            steps = 0;
        }
        ++steps;
        const Clock::time_point t0 = Clock::now();
        world.step();
        state.SetIterationTime(Seconds(Clock::now() - t0));
    }
    if (made != n) state.SkipWithError("the burst has another size");
    state.counters["particles"] = made;
}
BENCHMARK(BM_LavaBurstStep)->Arg(1000)->Arg(5000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FluidDraw(benchmark::State& state) {
    vo_test::LevelSceneHarness& world = World();
    world.new_level(0);
    const vector3 ground = world.ground_spot(16.0f);
    const vector3 look(ground.x, ground.y + 4.0f, 0.0f);
    double base = 0.0;
    for (int i = 0; i < 5; ++i) {
        const Clock::time_point t0 = Clock::now();
        world.draw(look, 30.0f);
        base += Seconds(Clock::now() - t0);
    }
    SeedRand(3);
    NewBurst(world, ground, 5000);
    world.step(30);  // the burst has spread
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        world.draw(look, 30.0f);
        state.SetIterationTime(Seconds(Clock::now() - t0));
    }
    state.counters["base_frame_ms"] = 1e3 * base / 5.0;
}
BENCHMARK(BM_FluidDraw)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
