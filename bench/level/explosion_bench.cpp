// The cost of one explosion in the level scene over the default generated
// level, with eight slobs and four mines in it: LevelScene::create_explosion,
// the scene step that delivers the "explosion" event (pushes and damage),
// and the scene step that delivers the "explosionPeak" (the carve: mesh
// edit, visual and collision tree), each scene step with its physics and
// entity updates. The iteration time is the sum of the three; the counters
// give each part and, for comparison, an ordinary scene step between them.
//
// Run under an X server (the explosion's textures and effect need the
// window); pin to one core with taskset.

#include "engine/core/random.h"
#include "game/behaviors/game_events.h"
#include "shared_world.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using namespace vo;
using Clock = std::chrono::steady_clock;

// Explosions per level before a new one is generated (not timed).
constexpr int kCarvesPerLevel = 30;

vo_test::LevelSceneHarness& World() { return vo_bench::LevelWorld(); }

void Populate(vo_test::LevelSceneHarness& world) {
    for (int i = 0; i < 8; ++i) {
        const vector3 g = world.ground_spot(4.0f, i % 6);
        world.add_slob(vector3(g.x + static_cast<float>(i / 6) * 2.5f, g.y + 1.0f, 0.0f));
    }
    for (int i = 0; i < 4; ++i) {
        const vector3 g = world.ground_spot(4.0f, i);
        world.throw_grenade("mine", vector3(g.x - 3.0f, g.y + 0.6f, 0.0f));
    }
    world.step(120);  // everything settles
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_Explosion(benchmark::State& state) {
    vo_test::LevelSceneHarness& world = World();
    const ptree& type = world.scene().weapons.get_child("explosionTypes.normal");
    SeedRand(7);
    int carves = kCarvesPerLevel;
    double create = 0, blast = 0, peak = 0, plain = 0;
    long plain_steps = 0;
    for (auto _ : state) {
        if (carves == kCarvesPerLevel) {
            world.new_level(0);
            Populate(world);
            carves = 0;
        }
        ++carves;
        vector3 at;
        world.level().random_boundary_point(at, 0.5f);

        const Clock::time_point t0 = Clock::now();
        world.scene().create_explosion(at, type, ClusterDesc());
        const Clock::time_point t1 = Clock::now();
        world.step();  // "explosion"
        const Clock::time_point t2 = Clock::now();
        world.step(10);  // the peak is due 0.2 s later, in the 12th step
        const Clock::time_point t3 = Clock::now();
        const std::size_t holes = world.level().edit_log().size();
        world.step();  // "explosionPeak": the carve
        const Clock::time_point t4 = Clock::now();
        if (world.level().edit_log().size() != holes + 1) state.SkipWithError("the peak carved nothing");

        create += Seconds(t1 - t0);
        blast += Seconds(t2 - t1);
        plain += Seconds(t3 - t2);
        plain_steps += 10;
        peak += Seconds(t4 - t3);
        state.SetIterationTime(Seconds(t1 - t0) + Seconds(t2 - t1) + Seconds(t4 - t3));
        world.step(50);  // the circle goes (not timed)
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["create_ms"] = 1e3 * create / n;
    state.counters["explosion_step_ms"] = 1e3 * blast / n;
    state.counters["peak_step_ms"] = 1e3 * peak / n;
    state.counters["plain_step_ms"] = plain_steps ? 1e3 * plain / static_cast<double>(plain_steps) : 0.0;
}
BENCHMARK(BM_Explosion)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
