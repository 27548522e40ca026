// The match on the real game environment (Xvfb in the test runs): generating
// the level of a preview, one step of a running game-sized match (eight
// slobs, mines, the lava level, nothing drawn) and, as a smoke figure only,
// drawing it under the software renderer.

#include "engine/sfml/engine.h"
#include "game/match/match.h"
#include "game/match/match_config.h"
#include "game/match/match_internals.h"
#include "game/match/match_seed.h"
#include "support/game/game_environment.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One match per process; it goes at the end of main, while the engine's
// singletons it shuts down are still there.
std::unique_ptr<vo_test::GameEnvironment> g_environment;

vo_test::GameEnvironment& Environment() {
    if (!g_environment) g_environment.reset(new vo_test::GameEnvironment);
    return *g_environment;
}

// Two teams of four in their first turn, which never runs out.
vo::Match& RunningMatch() {
    static bool started = false;
    vo_test::GameEnvironment& env = Environment();
    vo::Match& match = env.match();
    if (!started) {
        started = true;
        vo::SetMatchSeedOverride(12345);
        match.show_level_preview(3, -1.0f);
        match.start_match(vo_test::TeamsOf(2, 4), false);
        vo::Inspect(match).config()->roundTime = 1e9;
        env.push_match();
        env.step_until([&] { return match.phase() == vo::MatchPhase::play; }, 60 * 20);
        env.step(120);  // the bodies settle
    }
    return match;
}

void BM_PreviewLevelGeneration(benchmark::State& state) {
    vo::Match& match = Environment().match();
    int seed = 1;
    for (auto _ : state) match.show_level_preview(seed++, -1.0f);
}
BENCHMARK(BM_PreviewLevelGeneration)->Unit(benchmark::kMillisecond);

void BM_MatchUpdateEightSlobs(benchmark::State& state) {
    vo::Match& match = RunningMatch();
    for (auto _ : state) benchmark::DoNotOptimize(match.update(1.0 / 60.0));
    state.counters["phase"] = static_cast<int>(match.phase());
    state.counters["entities"] = vo::Inspect(match).scene().num_entities();
}
BENCHMARK(BM_MatchUpdateEightSlobs)->Unit(benchmark::kMillisecond);

void BM_MatchDrawSmoke(benchmark::State& state) {
    vo::Match& match = RunningMatch();
    vo::Engine& engine = vo::Engine::instance();
    for (auto _ : state) {
        match.draw();
        engine.display();
    }
}
BENCHMARK(BM_MatchDrawSmoke)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_environment.reset();
    return 0;
}
