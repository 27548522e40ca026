// The level's mesh with its subset handler and selector: building it, and
// carving one hole into it with the operations of the level's carve.

#include "support/grid/level_carve.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using mg_test::CircleCarve;
using mg_test::LevelMesh;

void BM_BuildLevelMesh(benchmark::State& state)
{
    for (auto _ : state) {
        auto level = std::make_unique<LevelMesh>(100.0f, 2.0f);
        benchmark::DoNotOptimize(level->grid.num_faces());
        state.PauseTiming();
        level.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildLevelMesh)->Unit(benchmark::kMillisecond);

// One carve on a fresh mesh; x and r as arguments (y = 0).
void BM_CarveLevel(benchmark::State& state)
{
    const float x = static_cast<float>(state.range(0));
    const float r = static_cast<float>(state.range(1));
    size_t boundary = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto level = std::make_unique<LevelMesh>(100.0f, 2.0f);
        // Between carves the game's selection holds only what the last
        // operation left, not the whole new disc.
        level->selector.clear();
        state.ResumeTiming();
        CircleCarve carve(*level, x, 0.0f, r);
        carve.run();
        boundary = carve.new_boundary().size();
        state.PauseTiming();
        level.reset();
        state.ResumeTiming();
    }
    state.counters["boundary_edges"] = static_cast<double>(boundary);
}
BENCHMARK(BM_CarveLevel)->Args({0, 10})->Args({195, 15})->Unit(benchmark::kMicrosecond);

}  // namespace
