#include <benchmark/benchmark.h>

#include "engine/physics/soft_body.h"
#include "support/engine/physics_scenes.h"

namespace {

// One step of a round body of state.range(0) boundary points, pushed by
// gravity and a wobble so that the springs do real work.
void BM_SoftBodyStep(benchmark::State& state) {
    vo::SoftBody body;
    vo_test::BuildCircleBody(body, vo_test::CircleDesc(static_cast<int>(state.range(0))));
    const vo::vector3 gravity(0.0f, -10.0f, 0.0f);
    int step = 0;
    for (auto _ : state) {
        body.apply_force(gravity);
        if (step++ % 30 == 0) body.particle_apply_force(0, vo::vector3(50.0f, 0.0f, 0.0f));
        body.update(1.0 / 60.0);
        benchmark::DoNotOptimize(body.point_get_coords(0));
    }
    state.counters["springs"] = body.num_springs();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SoftBodyStep)->Arg(8)->Arg(12)->Arg(24)->Arg(48)->Arg(96);

// Copying a body: the game clones bodies when it spawns slobs and items.
void BM_SoftBodyCopy(benchmark::State& state) {
    vo::SoftBody body;
    vo_test::BuildCircleBody(body, vo_test::CircleDesc(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        vo::SoftBody copy(body);
        benchmark::DoNotOptimize(copy.num_points());
    }
}
BENCHMARK(BM_SoftBodyCopy)->Arg(12)->Arg(48);

}  // namespace
