// A match between computer teams played by the program's own main loop, as
// the program plays it: the steps and one drawn frame per pass, the window's
// events, the results screen at the end and, from it, the way out. The test
// starts the match (the main menu's part); ten steps are due at every pass.

#include "engine/visuals/timeline.h"
#include "game/app/main_loop.h"
#include "game/match/match.h"
#include "game/match/match_seed.h"
#include "game/menus/match_results_screen.h"
#include "support/game/game_environment.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(EndToEnd, ComputerTeamsPlayToTheResultsInTheMainLoop) {
    vo_test::GameEnvironment env;
    vo::Match& match = env.match();
    match.set_cpu_level(1);
    vo::SetMatchSeedOverride(12345);
    match.show_level_preview(3, -1.0f);
    match.start_match(vo_test::TeamsOf(2, 2, true), false);
    vo::ClearMatchSeedOverride();
    env.push_match();

    std::set<int> phases;
    match.set_phase_observer([&](int, int phase) { phases.insert(phase); });
    vo::MainLoop loop(env.app().app());
    int passes = 0;
    bool running = true;
    const int kMaxPasses = 60 * 60;  // ten minutes of play
    while (running && passes < kMaxPasses && !env.app().top<vo::MatchResultsScreen>()) {
        loop.timeline().subtract_time(-10.0f * vo::MainLoop::step_length);
        running = loop.run_pass();
        ++passes;
    }
    ASSERT_TRUE(running);
    vo::MatchResultsScreen* results = env.app().top<vo::MatchResultsScreen>();
    ASSERT_NE(results, nullptr) << "after " << passes << " passes, phase " << match.phase();
    for (int phase : {vo::MatchPhase::play, vo::MatchPhase::shot_fired, vo::MatchPhase::wait_for_rest})
        EXPECT_TRUE(phases.count(phase)) << phase;
    const int winner = match.stats().winner();
    EXPECT_TRUE(winner == -1 || match.settings().teams()[static_cast<std::size_t>(winner)].points == 10);

    // The results as drawn by the loop's next frame.
    loop.timeline().subtract_time(-vo::MainLoop::step_length);
    ASSERT_TRUE(loop.run_pass());
    const sf::Image shot = env.app().screenshot("end_to_end_results");
    std::set<unsigned> colours;
    for (unsigned y = 0; y < shot.getSize().y; y += 8)
        for (unsigned x = 0; x < shot.getSize().x; x += 8) colours.insert(shot.getPixel(x, y).toInteger());
    EXPECT_GT(colours.size(), 20u);

    // "Main Menu": the match leaves, and with no screen left the loop ends.
    results->on_main_menu(nullptr);
    for (int i = 0; i < 10 && running; ++i) {
        loop.timeline().subtract_time(-vo::MainLoop::step_length);
        running = loop.run_pass();
    }
    EXPECT_FALSE(running);
    EXPECT_EQ(match.phase(), vo::MatchPhase::leave);
}

}  // namespace
