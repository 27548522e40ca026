// The cost of lava in the level scene over the default generated level:
//
// BM_LavaBurstStep/N: one scene step (physics with the fluid's particle
// stages against the level, then the entity updates that rebuild the
// fluid's quads) while one lava burst of N particles flows. The burst is
// made by the level scene's lava emitter from one removed lava triangle of
// N / density area (legs of 18 units for 1,000 particles, 58 for 10,000) in
// open cave, as a real burst starts in the hole its explosion has just
// carved: a hole around the triangle is carved into the level at the
// centre (not timed) before the burst. A run is one whole burst of
// kStepsPerBurst steps, over before its particles start to expire.
// The counter pairs gives the pairs of particles within the pair rule's
// search radius of each other per timed step (counted, not timed, before
// the step), so that the time per pair says how the work follows the
// neighbours.
//
// BM_FluidDraw: a smoke figure of the drawing under the software renderer
// (llvmpipe): a whole frame of the level scene with a burst of 5,000
// particles (the fluid pass into the "lava" target, then the scene graph)
// read back from the window; the counter base_frame_ms is the same frame
// without fluids.
//
// Run under an X server; pin to one core with taskset.

#include "engine/core/random.h"
#include "engine/physics/particle_grid.h"
#include "game/behaviors/fluid_behavior.h"
#include "game/level/mesh/carve_result.h"
#include "shared_world.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

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

float LavaDensity(vo_test::LevelSceneHarness& world) {
    const float r = world.config().lavaDesc.particleRadius;
    return static_cast<float>(1.5 / (static_cast<double>(r) * r));
}

// The legs of the triangle of a burst of n particles.
float BurstLeg(vo_test::LevelSceneHarness& world, unsigned n) {
    return std::sqrt(2.0f * static_cast<float>(n) / LavaDensity(world));
}

// Carves the open space of a burst of n particles around centre: a hole
// reaching a little beyond the corners of its triangle.
void CarveBurstHole(vo_test::LevelSceneHarness& world, const vector3& centre, unsigned n) {
    world.level().explode(centre.x, centre.y, 0.75f * BurstLeg(world, n) + 1.5f, nullptr);
    world.step();
}

// Removes the fluids of the scene and makes a burst of n particles whose
// triangle has its circumcentre at centre; the particles made.
unsigned NewBurst(vo_test::LevelSceneHarness& world, const vector3& centre, unsigned n) {
    for (FluidEntity* f : world.entities_of<FluidEntity>()) f->kill_entity();
    world.step();
    const float leg = BurstLeg(world, n);
    Entity* burst = world.scene().create_lava_fluid(
        LavaTriangle(vector3(centre.x - 0.5f * leg, centre.y - 0.5f * leg, 0.0f), n, LavaDensity(world)));
    return static_cast<FluidEntity*>(burst)->fluid_behavior()->fluid().num_particles();
}

// The pairs of live interacting fluid particles of the scene within the pair
// rule's search radius of each other (twice the larger of a fluid's
// attraction and particle radius), found through a grid of cells of that
// size.
double PairsInReach(vo_test::LevelSceneHarness& world, ParticleGrid& grid) {
    float reach = 0.0f;
    AABox box;
    bool any = false;
    std::vector<FluidEntity*> fluids = world.entities_of<FluidEntity>();
    for (FluidEntity* f : fluids) {
        const Fluid& fluid = f->fluid_behavior()->fluid();
        if (!fluid.particle_desc().particlesInteract || fluid.num_active_particles() == 0) continue;
        const ParticleHandler::ParticleDesc& d = fluid.particle_desc();
        reach = std::max(reach, 2.0f * std::max(d.attractionRadius, d.particleRadius));
        const AABox b = fluid.calculate_bounding_box();
        box = any ? AABox(box, b) : b;
        any = true;
    }
    if (!any || !(reach > 0.0f)) return 0.0;
    const float w = box.max.x - box.min.x + 2.0f * reach;
    const float h = box.max.y - box.min.y + 2.0f * reach;
    grid.set_resolution(std::min(2000u, static_cast<unsigned>(w / reach) + 1u),
                        std::min(2000u, static_cast<unsigned>(h / reach) + 1u));
    grid.set_bounding_box(Rect(box.min.x - reach, box.min.y - reach, box.max.x + reach, box.max.y + reach));
    for (FluidEntity* f : fluids) {
        Fluid& fluid = f->fluid_behavior()->fluid();
        if (!fluid.particle_desc().particlesInteract) continue;
        for (unsigned i = 0; i < fluid.num_particles(); ++i) {
            if (fluid.is_active(i)) grid.insert_particle(&fluid, i);
        }
    }
    double found = 0.0;
    for (const ParticleGrid::Entry& e : grid.entries()) {
        found += grid.find_particles(Sphere(vector3(e.x, e.y, 0.0f), reach));
    }
    // Each particle finds itself, and each pair twice.
    return (found - static_cast<double>(grid.entries().size())) / 2.0;
}

void BM_LavaBurstStep(benchmark::State& state) {
    vo_test::LevelSceneHarness& world = World();
    world.new_level(0);
    const vector3 centre(0.0f, 0.0f, 0.0f);
    const unsigned n = static_cast<unsigned>(state.range(0));
    CarveBurstHole(world, centre, n);
    SeedRand(3);
    ParticleGrid grid;
    int steps = kStepsPerBurst;
    unsigned made = 0;
    double pairs = 0.0;
    for (auto _ : state) {
        if (steps == kStepsPerBurst) {
            made = NewBurst(world, centre, n);
            steps = 0;
        }
        ++steps;
        pairs += PairsInReach(world, grid);
        const Clock::time_point t0 = Clock::now();
        world.step();
        state.SetIterationTime(Seconds(Clock::now() - t0));
    }
    if (made != n) state.SkipWithError("the burst has another size");
    state.counters["particles"] = made;
    state.counters["pairs"] = pairs / static_cast<double>(state.iterations());
}
// One whole burst per run: the mean over all of its steps, the dense start
// and the spread pool alike.
BENCHMARK(BM_LavaBurstStep)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Iterations(kStepsPerBurst)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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
    // Standing on the ground, its corner a little left of the spot.
    const float leg = BurstLeg(world, 5000);
    NewBurst(world, vector3(ground.x + 0.2f * leg, ground.y + 1.0f + 0.5f * leg, 0.0f), 5000);
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
