// A match between computer teams played by the program's own main loop, as
// a player gets one: the program starts on its main menu, the team cards are
// set up with clicks (two computer teams, the other cards without a
// character), START pushes the match, the loop plays it (the steps and one
// drawn frame per pass, the window's events) to the results screen, and its
// "Main Menu" leads back to a menu that goes on working: its buttons answer
// and START plays the same teams again. Ten steps are due at every pass of
// the match.

#include "engine/core/frame.h"
#include "engine/sfml/input_events.h"
#include "engine/visuals/timeline.h"
#include "engine/widgets/button_widget.h"
#include "game/app/main_loop.h"
#include "game/match/match.h"
#include "game/match/match_internals.h"
#include "game/match/match_seed.h"
#include "game/match/match_settings.h"
#include "game/match/result_stats.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/main_menu_screen.h"
#include "game/menus/match_results_screen.h"
#include "game/menus/menu_kit.h"
#include "game/menus/team_representation_widget.h"
#include "support/game/app_harness.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A press and release of the left button at the point, in window pixels.
void ClickAt(vo_test::AppHarness& harness, float x, float y) {
    vo::MyApp& app = harness.app();
    app.process_mouse_event(vo::MouseEvent(vo::MOUSE_MOVED, vo::MOUSE_BUTTON_NONE, 0, x, y));
    app.process_mouse_event(vo::MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, vo::MOUSE_BUTTON_LEFT, x, y));
    app.process_mouse_event(vo::MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, x, y));
}

// Clicks the middle of one of the card's areas ("areaCpu", "areaCharacter",
// ... of the "teamRepresentation" keys); a click on the card also selects it.
void ClickCard(vo_test::AppHarness& harness, vo::TeamRepresentationWidget* card, std::string const& area_key) {
    const vo::Frame area =
        vo::MenuFrame("teamRepresentation." + area_key) * vo::MenuFloat("teamRepresentation.scale");
    const vo::Frame f = card->global_transformed_frame(area);
    ClickAt(harness, f.center_x(), f.center_y());
}

std::vector<int> Points(vo::MatchSettings const& settings) {
    std::vector<int> points;
    for (vo::TeamDesc const& team : settings.teams()) points.push_back(team.points);
    return points;
}

TEST(EndToEnd, ComputerTeamsPlayFromTheMainMenuToTheResultsAndBackInTheMainLoop) {
    // The phases the match passes through. Declared before the program, so
    // that it outlives the match's observer: the shut-down, whenever it
    // comes, shows the menu's preview again on the way out.
    std::set<vo::MatchPhase> phases;

    // The program's start-up in a fresh user folder, with the default cards
    // ("Player 1" human, "CPU 1" and "CPU 2" computer, the fourth empty) and
    // a player's saved options for a 640 x 480 window: the test machines
    // draw in software and pay for every pixel of the round's frames.
    vo_test::AppSetup setup;
    setup.args = {};
    setup.game_options = "windowWidth 640\nwindowHeight 480\nfullscreen false\n";
    vo_test::AppHarness harness(setup);
    harness.init();
    vo::MainMenuScreen* menu = harness.top<vo::MainMenuScreen>();
    ASSERT_NE(menu, nullptr) << "the program did not start on the main menu";
    ASSERT_EQ(menu->cards().size(), 4u);
    vo::Match& match = *menu->match();
    vo::MatchInternals inside(match);

    vo::MainLoop loop(harness.app());
    // A pass with one step due; false once the loop has ended.
    auto pass = [&] {
        loop.timeline().subtract_time(-vo::MainLoop::step_length);
        return loop.run_pass();
    };
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(pass());

    // The first two cards switched to CPU, the third left without a
    // character ("no character" is the first character button).
    ClickCard(harness, menu->cards()[0], "areaCpu");
    ClickCard(harness, menu->cards()[1], "areaCpu");
    ClickCard(harness, menu->cards()[2], "areaCharacter");
    harness.click(menu->character_buttons()[0]);
    ASSERT_TRUE(pass());
    EXPECT_TRUE(menu->cards()[0]->is_cpu());
    EXPECT_TRUE(menu->cards()[1]->is_cpu());
    EXPECT_LT(menu->cards()[2]->team().character.index, 0);
    EXPECT_LT(menu->cards()[3]->team().character.index, 0);
    ASSERT_EQ(menu->cpu_button()->text(), "CPU: NORMAL");

    // START seeds the shared generator with the match seed, and the
    // population draws the slobs' places from it.
    inside.set_phase_observer([&](vo::MatchPhase, vo::MatchPhase phase) { phases.insert(phase); });
    vo::SetMatchSeedOverride(12345);
    harness.click(vo_test::FindButton(menu->root_widget(), "START"));
    vo::ClearMatchSeedOverride();
    ASSERT_EQ(harness.top<vo::Match>(), &match);
    vo::MatchSettings const& settings = inside.settings();
    ASSERT_EQ(settings.num_teams(), 2u);
    EXPECT_EQ(settings.teams()[0].name, "Player 1");
    EXPECT_EQ(settings.teams()[1].name, "CPU 1");
    EXPECT_TRUE(settings.cpu_controlled()[0]);
    EXPECT_TRUE(settings.cpu_controlled()[1]);
    EXPECT_EQ(inside.cpu_level(), 1);
    EXPECT_EQ(inside.level_seed(), 0);
    const std::vector<int> points_before = Points(settings);

    int passes = 0;
    bool running = true;
    const int kMaxPasses = 60 * 60;  // ten minutes of play
    while (running && passes < kMaxPasses && !harness.top<vo::MatchResultsScreen>()) {
        loop.timeline().subtract_time(-10.0f * vo::MainLoop::step_length);
        running = loop.run_pass();
        ++passes;
    }
    ASSERT_TRUE(running);
    vo::MatchResultsScreen* results = harness.top<vo::MatchResultsScreen>();
    ASSERT_NE(results, nullptr) << "after " << passes << " passes, phase " << match.phase();
    for (vo::MatchPhase phase : {vo::MatchPhase::play, vo::MatchPhase::shot_fired, vo::MatchPhase::wait_for_rest})
        EXPECT_TRUE(phases.count(phase)) << phase;
    // Ten points for the winner, on top of what the cards brought.
    const int winner = inside.stats().winner();
    std::vector<int> points_expected = points_before;
    if (winner >= 0) points_expected.at(static_cast<std::size_t>(winner)) += 10;
    EXPECT_EQ(Points(settings), points_expected) << "winner " << winner;
    // The results show that round: one win for the winner.
    vo::ResultStats const& totals = results->match_totals();
    ASSERT_EQ(totals.num_teams(), 2);
    for (int t = 0; t < 2; ++t) EXPECT_EQ(totals.value(vo::wins, t), t == winner ? 1 : 0) << t;

    // The results as drawn by the loop's next frame.
    ASSERT_TRUE(pass());
    const sf::Image shot = harness.screenshot("end_to_end_results");
    std::set<unsigned> colours;
    for (unsigned y = 0; y < shot.getSize().y; y += 8)
        for (unsigned x = 0; x < shot.getSize().x; x += 8) colours.insert(shot.getPixel(x, y).toInteger());
    EXPECT_GT(colours.size(), 20u);

    // "Main Menu": the results and the match leave, and the menu is on top
    // again with the preview of its level.
    harness.click(vo_test::FindButton(results->root_widget(), "Main Menu"));
    for (int i = 0; i < 10 && running && harness.top<vo::MainMenuScreen>() != menu; ++i) running = pass();
    ASSERT_TRUE(running);
    ASSERT_EQ(harness.top<vo::MainMenuScreen>(), menu);
    EXPECT_EQ(harness.app().num_screens(), 1u);
    EXPECT_EQ(match.phase(), vo::MatchPhase::preview);
    EXPECT_EQ(inside.level_seed(), menu->seeds()[menu->seed_index()]);

    // The menu goes on: the loop keeps running, the cards keep their set-up
    // and the buttons answer.
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(pass());
    EXPECT_TRUE(menu->cards()[0]->is_cpu());
    EXPECT_TRUE(menu->cards()[1]->is_cpu());
    harness.click(menu->cpu_button());
    EXPECT_EQ(menu->cpu_button()->text(), "CPU: HARD");

    // START again: the same two teams, with the points the cards bring, in a
    // match of its own; the escape menu's "Main Menu" ends it.
    phases.clear();
    vo::SetMatchSeedOverride(12345);
    harness.click(vo_test::FindButton(menu->root_widget(), "START"));
    vo::ClearMatchSeedOverride();
    ASSERT_EQ(harness.top<vo::Match>(), &match);
    ASSERT_EQ(settings.num_teams(), 2u);
    EXPECT_EQ(Points(settings), points_before);
    EXPECT_EQ(inside.cpu_level(), 2);
    for (int i = 0; i < 60 && !phases.count(vo::MatchPhase::play); ++i) {
        loop.timeline().subtract_time(-10.0f * vo::MainLoop::step_length);
        ASSERT_TRUE(loop.run_pass());
    }
    EXPECT_TRUE(phases.count(vo::MatchPhase::play));
    EXPECT_EQ(inside.stats().winner(), -1);
    harness.key(vo::KEY_PRESSED, vo::KEY_ESCAPE);
    harness.key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    vo::EscMenuScreen* esc_menu = harness.top<vo::EscMenuScreen>();
    ASSERT_NE(esc_menu, nullptr);
    harness.click(vo_test::FindButton(esc_menu->root_widget(), "Main Menu"));
    for (int i = 0; i < 10 && harness.top<vo::MainMenuScreen>() != menu; ++i) ASSERT_TRUE(pass());
    EXPECT_EQ(harness.top<vo::MainMenuScreen>(), menu);
    EXPECT_EQ(harness.app().num_screens(), 1u);
    EXPECT_TRUE(pass());
}

}  // namespace
