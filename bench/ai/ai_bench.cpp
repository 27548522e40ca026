// The computer player on the real game environment (Xvfb in the test runs):
// - BM_ShotSearch/n: one decision (the shot search and the choice of the
//   best shot) of a slob against n enemy slobs, placed by the match on
//   level 3; the counter "shots" is the number of enemies it found a throw
//   for; BM_ShotSearchOpen/n the same with every enemy in reach in open
//   space, the costliest case;
// - BM_ComputerRound: a whole round between two computer teams of two, from
//   the first turn to the results, nothing drawn; "sim_per_wall" is
//   simulated seconds per wall second;
// - BM_ComputerSteps2000: a fixed window of 2,000 steps of such a match from
//   its first turn. Run under callgrind for a stable instruction count of
//   the window alone (it switches collection on and off itself):
//     valgrind --tool=callgrind --collect-atstart=no ./bench/bench_ai --benchmark_filter=BM_ComputerSteps2000

#include "game/ai/shot_search.h"
#include "game/ai/world_desc.h"
#include "game/match/match.h"
#include "game/match/match_internals.h"
#include "game/match/match_seed.h"
#include "game/menus/match_results_screen.h"
#include "support/game/game_environment.h"

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define QV_CALLGRIND_TOGGLE() CALLGRIND_TOGGLE_COLLECT
#else
#define QV_CALLGRIND_TOGGLE() ((void)0)
#endif

#include "engine/scene/entity.h"
#include "engine/scene/transform_behavior.h"

#include <chrono>
#include <cmath>
#include <memory>

namespace {

constexpr double kStep = 1.0 / 60.0;

// One match per process; it goes at the end of main, while the engine's
// singletons it shuts down are still there.
std::unique_ptr<vo_test::GameEnvironment> g_environment;

vo_test::GameEnvironment& Environment() {
    if (!g_environment) g_environment.reset(new vo_test::GameEnvironment);
    return *g_environment;
}

// A seeded match of the teams on level 3 at the computer level, run to its
// first turn's play.
vo::Match& StartAt(vo::MatchSettings const& settings, int cpu_level) {
    vo_test::GameEnvironment& env = Environment();
    vo::Match& match = env.match();
    if (auto* results = env.app().top<vo::MatchResultsScreen>()) {
        results->on_main_menu(nullptr);
        env.step(2);
    }
    vo::SetMatchSeedOverride(12345);
    match.set_cpu_level(cpu_level);
    match.show_level_preview(3, -1.0f);
    match.start_match(settings, false);
    if (!env.app().top<vo::Match>()) env.push_match();
    env.step_until([&] { return match.phase() == vo::MatchPhase::play; }, 60 * 30);
    return match;
}

// The match's world for a thrower of team 0 against enemies of team 1.
vo::WorldDesc SearchWorld(int enemies) {
    Environment();  // the characters come with the application
    vo::MatchSettings one = vo_test::TeamsOf(2, 1, true);
    vo::MatchSettings many = vo_test::TeamsOf(2, enemies, true);
    vo::MatchSettings settings;
    settings.add_team(one.teams()[0], true, one.colours()[0]);
    settings.add_team(many.teams()[1], true, many.colours()[1]);
    vo::Match& match = StartAt(settings, 1);
    vo::MatchInternals inside(match);

    vo::WorldDesc world;
    world.scene = &inside.scene();
    world.collision_node = inside.level()->collision_node();
    world.config = inside.config();
    for (vo::SlobRecord const& record : inside.slobs())
        if (record.entity) world.entities.push_back(vo::EntityDesc{1, record.entity, record.team});
    return world;
}

void Measure(benchmark::State& state, vo::WorldDesc const& world) {
    const vo::EntityDesc self = world.entities.front();
    std::size_t shots = 0;
    for (auto _ : state) {
        vo::ARFindPossibleShots search(self, world);
        search.run();
        shots = search.shots.size();
        if (!search.shots.empty()) benchmark::DoNotOptimize(search.choose_best_shot(1.0f, -1.9f, -0.01f));
    }
    state.counters["shots"] = static_cast<double>(shots);
    state.counters["enemies"] = static_cast<double>(world.entities.size() - 1);
}

void BM_ShotSearch(benchmark::State& state) { Measure(state, SearchWorld(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_ShotSearch)->Arg(1)->Arg(3)->Arg(7)->Unit(benchmark::kMicrosecond);

// The costliest case: every enemy within reach in open space (no level
// edges to end a path early), spread around the thrower 6 to 18 units
// away, so that every candidate path is tested against every slob.
void BM_ShotSearchOpen(benchmark::State& state) {
    const int enemies = static_cast<int>(state.range(0));
    vo::WorldDesc world = SearchWorld(enemies);
    world.collision_node = vo::SmartPtr<vo::GroupNode>();
    vo::vector3 centre;
    vo::GetPosition(world.entities.front().entity, centre);
    for (int i = 1; i <= enemies; ++i) {
        const float angle = 3.1415927f * (0.15f + 0.7f * static_cast<float>(i - 1) / static_cast<float>(enemies));
        const float distance = 6.0f + 12.0f * static_cast<float>(i % 3) / 2.0f;
        vo::SetPosition(world.entities[static_cast<std::size_t>(i)].entity,
                        vo::vector3(centre.x + distance * std::cos(angle), centre.y + distance * 0.3f * std::sin(angle), 0.0f));
        world.entities[static_cast<std::size_t>(i)].entity->update(0.0f);
    }
    Measure(state, world);
}
BENCHMARK(BM_ShotSearchOpen)->Arg(1)->Arg(3)->Arg(7)->Unit(benchmark::kMicrosecond);

void BM_ComputerRound(benchmark::State& state) {
    Environment();
    double simulated = 0.0;
    double wall = 0.0;
    for (auto _ : state) {
        vo::Match& match = StartAt(vo_test::TeamsOf(2, 2, true), 1);
        vo_test::GameEnvironment& env = Environment();
        const auto start = std::chrono::steady_clock::now();
        long steps = 0;
        while (!env.app().top<vo::MatchResultsScreen>() && steps < 60L * 60 * 30) {
            env.step();
            ++steps;
        }
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        simulated += static_cast<double>(steps) * kStep;
        if (!env.app().top<vo::MatchResultsScreen>()) state.SkipWithError("the round did not end");
        benchmark::DoNotOptimize(match.phase());
    }
    state.counters["sim_seconds"] = simulated / static_cast<double>(state.iterations());
    state.counters["sim_per_wall"] = wall > 0.0 ? simulated / wall : 0.0;
}
BENCHMARK(BM_ComputerRound)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ComputerSteps2000(benchmark::State& state) {
    Environment();
    for (auto _ : state) {
        state.PauseTiming();
        StartAt(vo_test::TeamsOf(2, 2, true), 1);
        vo_test::GameEnvironment& env = Environment();
        state.ResumeTiming();
        QV_CALLGRIND_TOGGLE();
        env.step(2000);
        QV_CALLGRIND_TOGGLE();
    }
}
BENCHMARK(BM_ComputerSteps2000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vo::ClearMatchSeedOverride();
    g_environment.reset();
    return 0;
}
