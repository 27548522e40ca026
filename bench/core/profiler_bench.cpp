#include <benchmark/benchmark.h>

#include "engine/core/profiler.h"

namespace {

// One cached zone entered and left under the same parent: the cost that
// every profiled scope of the main loop and the physics pays per call.
void BM_ProfileZoneEnterExit(benchmark::State& state) {
    zprof::ProfileManager::instance.clear();
    for (auto _ : state) {
        VO_PROFILE_ZONE("bench_zone");
        benchmark::ClobberMemory();
    }
    zprof::ProfileManager::instance.destroy();
}
BENCHMARK(BM_ProfileZoneEnterExit);

// The same scope nested inside an outer zone, as real zones are.
void BM_ProfileNestedZoneEnterExit(benchmark::State& state) {
    zprof::ProfileManager::instance.clear();
    VO_PROFILE_ZONE("bench_outer");
    for (auto _ : state) {
        VO_PROFILE_ZONE("bench_inner");
        benchmark::ClobberMemory();
    }
    zprof::ProfileManager::instance.destroy();
}
BENCHMARK(BM_ProfileNestedZoneEnterExit);

// One frame's update over a tree of about 100 nodes.
void BM_ProfileUpdate100Nodes(benchmark::State& state) {
    zprof::ProfileManager& m = zprof::ProfileManager::instance;
    m.clear();
    static zprof::ProfileZone zones[10];
    static zprof::ProfileNode* caches[10][10];
    for (int i = 0; i < 10; ++i) zones[i] = zprof::ProfileZone{nullptr, 0, "bench_update", {}};
    for (auto& row : caches)
        for (auto& c : row) c = &zprof::ProfileNode::_dummy;
    for (int i = 0; i < 10; ++i) {
        m._beginNode(&caches[i][i], &zones[i]);
        for (int j = 0; j < 10; ++j) {
            if (j == i) continue;
            m._beginNode(&caches[i][j], &zones[j]);
            m._endCurNode();
        }
        m._endCurNode();
    }
    for (auto _ : state) m.update(0.9f);
    state.counters["nodes"] = m.nodeCount;
    m.destroy();
}
BENCHMARK(BM_ProfileUpdate100Nodes);

}  // namespace
