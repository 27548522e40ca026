// The cost of the destructible level: building the disc, generating the
// match level, and one carve split into its mesh edit, the visual rebuild
// and the collision-tree update, on a fresh generated level and after 200
// and 1,000 carves.

#include "engine/core/random.h"
#include "game/level/level_generation.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/mesh/level_carve.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace vo;

std::unique_ptr<LevelGeometryHandle> GeneratedLevel(int extraCarves)
{
    auto level = std::make_unique<LevelGeometryHandle>();
    GenerateLevelArea(*level, LevelGenerationParams(), 0, EffectHandle(), EffectHandle());
    SeedRand(99);
    for (int i = 0; i < extraCarves; ++i) {
        const float x = UniformDraw(-90, 90);
        const float y = UniformDraw(-90, 90);
        const float r = UniformDraw(2, 12);
        level->explode(x, y, r, nullptr);
    }
    return level;
}

void BM_CreateDisc(benchmark::State& state)
{
    for (auto _ : state) {
        LevelGeometryHandle level;
        level.create(100, 2, 3, 0.1f, EffectHandle(), EffectHandle(), 1, 3);
        benchmark::DoNotOptimize(level.geometry().mesh().grid.num_vertices());
    }
    state.counters["vertices"] = 7987;
}
BENCHMARK(BM_CreateDisc)->Unit(benchmark::kMillisecond);

// create, 160 lava spots and 30 holes as the match generates them.
void BM_GenerateLevel(benchmark::State& state)
{
    for (auto _ : state) {
        LevelGeometryHandle level;
        GenerateLevelArea(level, LevelGenerationParams(), 0, EffectHandle(), EffectHandle());
        benchmark::DoNotOptimize(level.edit_log().size());
    }
}
BENCHMARK(BM_GenerateLevel)->Unit(benchmark::kMillisecond);

// One carve of the given radius on the generated level, without and after
// 200 (and for radius 5, 1,000) further carves: the iteration time is the
// whole carve, the counters
// split it into the mesh edit, the visual rebuild and the collision-tree
// rebuild. Each carve goes to a fresh spot in the rock around the cave; the
// level is rebuilt (not timed) when the spots are used up.
void BM_Carve(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const float radius = static_cast<float>(state.range(0));
    const int earlier = static_cast<int>(state.range(1));
    // The edit log of the prepared level, made once per process.
    static std::map<int, std::vector<LevelEditRecord>> logs;
    if (!logs.count(earlier))
        logs[earlier] = GeneratedLevel(earlier)->edit_log();
    const std::vector<LevelEditRecord>& log = logs[earlier];
    const int spots = std::max(4, std::min(16, static_cast<int>(2 * 3.14159f * 75 / (2 * radius + 4))));

    std::unique_ptr<LevelGeometryHandle> level;
    int spot = spots;
    double mesh = 0, visual = 0, collision = 0;
    for (auto _ : state) {
        if (spot == spots) {
            state.PauseTiming();
            level = std::make_unique<LevelGeometryHandle>();
            level->create(100, 2, 3, 0.1f, EffectHandle(), EffectHandle(), 1, 3);
            for (const LevelEditRecord& r : log) {
                if (r.op == LEVEL_EDIT_CARVE)
                    level->explode(r.x, r.y, r.radius, nullptr);
                else
                    level->add_lava(r.x, r.y, r.radius);
            }
            spot = 0;
            state.ResumeTiming();
        }
        const float angle = 2 * 3.14159f * static_cast<float>(spot++) / static_cast<float>(spots);
        LevelGeometryImpl& g = level->geometry();
        CarveResult result;
        const auto t0 = Clock::now();
        LevelCarve(g.mesh(), 75 * std::cos(angle), 75 * std::sin(angle), radius, &result).run();
        const auto t1 = Clock::now();
        g.build_visual();
        const auto t2 = Clock::now();
        g.build_collision_tree();
        const auto t3 = Clock::now();
        mesh += std::chrono::duration<double, std::micro>(t1 - t0).count();
        visual += std::chrono::duration<double, std::micro>(t2 - t1).count();
        collision += std::chrono::duration<double, std::micro>(t3 - t2).count();
        state.SetIterationTime(std::chrono::duration<double>(t3 - t0).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["mesh_us"] = mesh / n;
    state.counters["visual_us"] = visual / n;
    state.counters["collision_us"] = collision / n;
}
BENCHMARK(BM_Carve)
    ->ArgNames({"r", "before"})
    ->ArgsProduct({{2, 5, 10, 20}, {0, 200}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
// After 1,000 carves the level takes a second to make again; two levels'
// worth of spots.
BENCHMARK(BM_Carve)
    ->ArgNames({"r", "before"})
    ->Args({5, 1000})
    ->Iterations(32)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
