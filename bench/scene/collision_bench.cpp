// Collision-tree hot paths: the physics asks collect_edges once per fluid
// particle and step, and the game rebuilds the level tree after every
// explosion.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/scene/octree.h"
#include "engine/scene/traverser_collect_edges.h"
#include "engine/scene/traverser_intersect_edges_2d.h"
#include "engine/scene/traverser_project_point.h"
#include "support/engine/collision_fixtures.h"

namespace {

using vo::vector3;
using vo::testing::ElementSet;

// The level tree exactly as the game builds it: edges, no ids, depth 6, at
// most 2 edges per leaf, by centroid, dimension 2.
vo::SmartPtr<vo::CollisionTreeRootNode> BuildLevelTree(const ElementSet& level) {
    return vo::CreateOctree(level.points.data(), static_cast<unsigned>(level.points.size()), level.indices.data(),
                            static_cast<unsigned>(level.indices.size()), 2, nullptr, 6, 2, true, 2);
}

const ElementSet& Level3k() {
    static const ElementSet level = vo::testing::MakeLevelOutline(2024, 3000);
    return level;
}

// Particle-sized boxes (0.05 to 1 units): uniform over the disc (mostly
// misses) or hugging the outline (hits).
std::vector<vector3> QueryCorners(const ElementSet& level, bool near_outline, int n) {
    std::mt19937 rng(77);
    std::vector<vector3> corners;
    for (int i = 0; i < n; ++i) {
        vector3 c;
        if (near_outline) {
            const int e = static_cast<int>(rng() % static_cast<unsigned>(level.num_elements()));
            const vector3& a = level.point(e, 0);
            const vector3& b = level.point(e, 1);
            const float t = vo::testing::RandomFloat(rng, 0.0f, 1.0f);
            c = vector3(a.x + t * (b.x - a.x) + vo::testing::RandomFloat(rng, -0.5f, 0.5f),
                        a.y + t * (b.y - a.y) + vo::testing::RandomFloat(rng, -0.5f, 0.5f), 0.0f);
        } else {
            const float r = 100.0f * std::sqrt(vo::testing::RandomFloat(rng, 0.0f, 1.0f));
            const float phi = vo::testing::RandomFloat(rng, 0.0f, 6.2831853f);
            c = vector3(r * std::cos(phi), r * std::sin(phi), 0.0f);
        }
        const float size = vo::testing::RandomFloat(rng, 0.05f, 1.0f);
        corners.push_back(vector3(c.x - size * 0.5f, c.y - size * 0.5f, 0.0f));
        corners.push_back(vector3(c.x + size * 0.5f, c.y + size * 0.5f, 0.0f));
    }
    return corners;
}

void BM_CollectEdges(benchmark::State& state) {
    const bool near_outline = state.range(0) != 0;
    const ElementSet& level = Level3k();
    vo::SmartPtr<vo::Node> tree = BuildLevelTree(level);
    const std::vector<vector3> corners = QueryCorners(level, near_outline, 1024);
    vo::Traverser_CollectEdges query;
    size_t i = 0;
    unsigned long long found = 0;
    for (auto _ : state) {
        query.collect_edges(corners[2 * i], corners[2 * i + 1], tree);
        found += query.num_edges();
        i = (i + 1) & 1023;
    }
    state.counters["edges_per_query"] =
        benchmark::Counter(static_cast<double>(found) / static_cast<double>(state.iterations()));
    state.SetLabel(near_outline ? "near the outline" : "uniform over the level");
}
BENCHMARK(BM_CollectEdges)->Arg(0)->Arg(1);

void BM_CreateOctree(benchmark::State& state) {
    const int edges = static_cast<int>(state.range(0));
    const ElementSet level = vo::testing::MakeLevelOutline(2024, edges, edges < 1000 ? 50.0f : 100.0f,
                                                           edges > 10000 ? 0.5f : 2.0f);
    for (auto _ : state) {
        vo::SmartPtr<vo::CollisionTreeRootNode> root = BuildLevelTree(level);
        benchmark::DoNotOptimize(root.get());
    }
    state.counters["edges"] = static_cast<double>(level.num_elements());
}
BENCHMARK(BM_CreateOctree)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);

void BM_IntersectEdges(benchmark::State& state) {
    const ElementSet& level = Level3k();
    vo::SmartPtr<vo::Node> tree = BuildLevelTree(level);
    std::mt19937 rng(5);
    std::vector<vector3> ends;
    for (int i = 0; i < 1024; ++i) {
        const vector3 p0(vo::testing::RandomFloat(rng, -90, 90), vo::testing::RandomFloat(rng, -90, 90), 0.0f);
        const float len = vo::testing::RandomFloat(rng, 5.0f, 50.0f), a = vo::testing::RandomFloat(rng, 0.0f, 6.28f);
        ends.push_back(p0);
        ends.push_back(vector3(p0.x + len * std::cos(a), p0.y + len * std::sin(a), 0.0f));
    }
    vo::Traverser_IntersectEdges2d query;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(query.intersect_edges(ends[2 * i], ends[2 * i + 1], tree));
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_IntersectEdges);

void BM_ProjectPoint(benchmark::State& state) {
    const ElementSet& level = Level3k();
    vo::SmartPtr<vo::Node> tree = BuildLevelTree(level);
    const std::vector<vector3> corners = QueryCorners(level, false, 1024);
    vo::Traverser_ProjectPoint query;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(query.project(corners[2 * i], tree));
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_ProjectPoint);

}  // namespace
