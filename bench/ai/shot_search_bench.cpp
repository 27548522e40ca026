// The computer player's shot search on the default generated level: one
// thrower and 1, 3 or 7 enemy slobs, some in the thrower's cave and some in
// others, against the level's collision edges. One iteration is one whole
// decision (ARFindPossibleShots::run and the choice of the best shot); the
// counter "shots" gives how many enemies it found a throw for.
//
// Run under an X server (the level scene needs the window).

#include "engine/core/random.h"
#include "game/ai/shot_search.h"
#include "game/ai/world_desc.h"
#include "support/game/level_scene_harness.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vo;

// Kept to the end of the process (see the explosion benchmark).
vo_test::LevelSceneHarness& World() {
    static vo_test::LevelSceneHarness* world = new vo_test::LevelSceneHarness();
    return *world;
}

void BM_ShotSearch(benchmark::State& state) {
    vo_test::LevelSceneHarness& world = World();
    const int enemies = static_cast<int>(state.range(0));
    world.new_level(0);

    WorldDesc desc;
    desc.scene = &world.scene();
    desc.collision_node = world.level().collision_node();
    desc.config = SmartPtr<MatchConfig>(new MatchConfig());
    const vector3 home = world.ground_spot(4.0f, 0);
    EntityDesc self;
    self.entity = world.add_slob(vector3(home.x, home.y + 1.0f, 0.0f));
    self.team = 0;
    desc.entities.push_back(self);
    for (int i = 0; i < enemies; ++i) {
        // Every other enemy shares the thrower's cave.
        const vector3 g = i % 2 == 0 ? world.ground_spot(4.0f, 0) : world.ground_spot(4.0f, 1 + i / 2);
        const float dx = i % 2 == 0 ? 4.0f + 3.0f * static_cast<float>(i / 2) : 0.0f;
        EntityDesc e;
        e.entity = world.add_slob(vector3(g.x + (i % 4 == 0 ? dx : -dx), g.y + 1.0f, 0.0f));
        e.team = 1 + i % 3;
        desc.entities.push_back(e);
    }
    world.step(120);  // everything settles

    SeedRand(3);
    std::size_t shots = 0;
    for (auto _ : state) {
        ARFindPossibleShots search(self, desc);
        search.run();
        shots = search.shots.size();
        if (!search.shots.empty()) benchmark::DoNotOptimize(search.choose_best_shot(1.0f, -1.9f, -0.01f));
    }
    state.counters["shots"] = static_cast<double>(shots);
}
BENCHMARK(BM_ShotSearch)->Arg(1)->Arg(3)->Arg(7)->Unit(benchmark::kMicrosecond);

}  // namespace
