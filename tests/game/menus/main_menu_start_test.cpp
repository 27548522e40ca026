// START on the main menu in the running application: the set-up handed to
// the match, the match pushed and left again for the menu, the message box
// when fewer than two teams have a character, and the results preview of
// "-drawDebugScreen 1".

#include "engine/audio/music_controller.h"
#include "engine/core/color.h"
#include "engine/sfml/audio.h"
#include "engine/widgets/text_widget.h"
#include "game/match/match.h"
#include "game/match/match_internals.h"
#include "game/match/match_settings.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/match_results_screen.h"
#include "main_menu_fixture.h"

#include <gtest/gtest.h>

namespace vo_test {
namespace {

using vo::MainMenuScreen;

bool SameColour(vo::Color const& a, vo::Color const& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

std::vector<std::string> Members(std::string const& prefix) {
    return {prefix + "1", prefix + "2", prefix + "3", prefix + "4"};
}

TEST_F(MainMenuTest, StartPlaysTheCardsWithACharacterOnThePreviewedLevelAndTheEscapeMenuLeadsBack) {
    start();
    vo::Match& match = *menu().match();
    vo::MatchInternals inside(match);
    // Teams on cards 0, 2 and 3; the level of a new seed; hard computer
    // players.
    pick(1, 0);
    pick(3, 1);
    harness().click(button("Next"));
    harness().click(menu().cpu_button());
    ASSERT_EQ(menu().cpu_button()->text(), "CPU: HARD");
    const std::vector<vo::TeamDesc> cards_before = menu().team_descs();
    vo::SmartPtr<vo::Music> menu_music = vo::GetMusicController().playing().at(0).music;

    harness().click(button("START"));
    ASSERT_EQ(harness().top<vo::Match>(), &match);
    EXPECT_NE(match.phase(), vo::MatchPhase::preview);
    EXPECT_EQ(inside.cpu_level(), 2);
    EXPECT_EQ(inside.level_seed(), menu().seeds()[1]);
    vo::MatchSettings const& settings = inside.settings();
    ASSERT_EQ(settings.num_teams(), 3u);
    const std::vector<std::string> names = {"Player 1", "CPU 2", "Player 4"};
    const std::vector<std::string> characters = {"Pudge", "Bolt", "Gronk"};
    const std::vector<std::vector<std::string>> members = {Members("Pla"), Members("CPU"), Members("Pla")};
    const std::vector<bool> cpu = {false, true, false};
    const std::vector<vo::Color> colours = {vo::Color(1.0f, 0.5f, 0.5f, 1.0f), vo::Color(0.5f, 0.5f, 1.0f, 1.0f),
                                            vo::Color(1.0f, 1.0f, 0.5f, 1.0f)};
    for (std::size_t t = 0; t < 3; ++t) {
        SCOPED_TRACE(names[t]);
        EXPECT_EQ(settings.teams()[t].name, names[t]);
        EXPECT_EQ(settings.teams()[t].character.name, characters[t]);
        EXPECT_EQ(settings.teams()[t].members, members[t]);
        EXPECT_EQ(settings.cpu_controlled()[t], cpu[t]);
        EXPECT_TRUE(SameColour(settings.colours()[t], colours[t]));
    }
    // The cards keep their records; the set-up was saved when the match came.
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(menu().team_descs()[i].members, cards_before[i].members);
    EXPECT_NE(ReadTextFile(harness().user_file("team_settings.info")).find("characterName Gronk"), std::string::npos);
    EXPECT_TRUE(harness().step(30));
    vo::SmartPtr<vo::Music> match_music = vo::GetMusicController().playing().at(0).music;
    EXPECT_NE(match_music, menu_music);

    // Escape, then "Main Menu": the menu is back with the preview of the
    // same level and its own music.
    harness().key(vo::KEY_PRESSED, vo::KEY_ESCAPE);
    harness().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    auto* esc_menu = harness().top<vo::EscMenuScreen>();
    ASSERT_NE(esc_menu, nullptr);
    harness().click(FindButton(esc_menu->root_widget(), "Main Menu"));
    for (int i = 0; i < 10 && harness().top<MainMenuScreen>() != &menu(); ++i) harness().step();
    ASSERT_EQ(harness().top<MainMenuScreen>(), &menu());
    EXPECT_EQ(harness().app().num_screens(), 1u);
    EXPECT_EQ(match.phase(), vo::MatchPhase::preview);
    EXPECT_EQ(inside.level_seed(), menu().seeds()[1]);
    harness().step(120);
    ASSERT_EQ(vo::GetMusicController().playing().size(), 1u);
    vo::SmartPtr<vo::Music> back_music = vo::GetMusicController().playing()[0].music;
    EXPECT_NE(back_music, match_music);
    EXPECT_TRUE(back_music->is_playing());
    EXPECT_GT(back_music->volume(), 60.0f);  // mainMenu plays at 70, the match at 55
    harness().screenshot("main_menu_after_match");
}

TEST_F(MainMenuTest, MembersAreNamedAfterTheirTeamOnlyInTheSetUp) {
    start();
    struct Case {
        std::string team_name;
        std::string prefix;
    };
    const Case cases[] = {{"", "guy"}, {"Al", "Al"}, {"Zed", "Zed"}, {"Zedonia", "Zed"}};
    for (Case const& c : cases) {
        SCOPED_TRACE("\"" + c.team_name + "\"");
        vo::TeamDesc team = card(0)->team();
        team.name = c.team_name;
        card(0)->set_team(team);
        const vo::MatchSettings settings = menu().match_settings();
        ASSERT_EQ(settings.num_teams(), 3u);
        EXPECT_EQ(settings.teams()[0].members, Members(c.prefix));
        EXPECT_EQ(card(0)->team().members, (std::vector<std::string>{"guy 1", "guy 2", "guy 3", "guy 4"}));
    }
    // Six colours by card position, repeating.
    EXPECT_TRUE(SameColour(vo::TeamColour(1), vo::Color(0.5f, 1.0f, 0.5f, 1.0f)));
    EXPECT_TRUE(SameColour(vo::TeamColour(4), vo::Color(1.0f, 0.5f, 1.0f, 1.0f)));
    EXPECT_TRUE(SameColour(vo::TeamColour(5), vo::Color(0.5f, 1.0f, 1.0f, 1.0f)));
    EXPECT_TRUE(SameColour(vo::TeamColour(6), vo::TeamColour(0)));
}

TEST_F(MainMenuTest, StartWithOneTeamShowsTheMessageBoxPushesNothingAndOkRemovesIt) {
    start();
    pick(1, 0);
    pick(2, 0);
    const sf::Image before = harness().frame();
    harness().click(button("START"));
    vo::ButtonWidget* ok = button("OK!");
    ASSERT_NE(ok, nullptr);
    auto texts = FindAll<vo::TextWidget>(ok->parent()->parent());
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(std::string(texts[0]->text()), "At least two teams have to\nparticipate!");
    EXPECT_EQ(harness().app().num_screens(), 1u);
    EXPECT_EQ(menu().match()->phase(), vo::MatchPhase::preview);
    // Nothing was pushed, so nothing was saved.
    EXPECT_EQ(ReadTextFile(harness().user_file("team_settings.info")), "");
    const sf::Image with_box = harness().screenshot("main_menu_message_box");
    // The box darkens the menu around it: the character panel beside it.
    const vo::Frame panel = menu().character_grid()->parent()->global_transformed_frame();
    const unsigned x = static_cast<unsigned>(panel.right()) - 4;
    const unsigned y = static_cast<unsigned>(panel.bottom()) - 4;
    EXPECT_LT(with_box.getPixel(x, y).r + with_box.getPixel(x, y).g, before.getPixel(x, y).r + before.getPixel(x, y).g);

    harness().click(ok);
    EXPECT_EQ(button("OK!"), nullptr);
    EXPECT_TRUE(harness().step(3));
    const sf::Image after = harness().frame();
    EXPECT_EQ(after.getPixel(x, y).toInteger(), before.getPixel(x, y).toInteger());
    EXPECT_EQ(harness().top<MainMenuScreen>(), &menu());
}

TEST_F(MainMenuTest, TheResultsPreviewShowsMadeUpResultsAndMainMenuReturns) {
    start({"-drawDebugScreen", "1"});
    EXPECT_TRUE(menu().preview_results);
    testing::internal::CaptureStdout();
    harness().click(button("START"));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("DEBUG: showing results screen in MainMenuScreen::start_match_clicked\n"), std::string::npos)
        << output;
    auto* results = harness().top<vo::MatchResultsScreen>();
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(menu().match()->phase(), vo::MatchPhase::preview);
    ASSERT_NE(results->round_table(), nullptr);
    // The series of both made-up rounds: one win each, the best round's
    // damage and kills.
    vo::ResultStats const& totals = results->match_totals();
    ASSERT_EQ(totals.num_teams(), 3);
    EXPECT_EQ(totals.value(vo::wins, 0), 1);
    EXPECT_EQ(totals.value(vo::wins, 1), 1);
    EXPECT_EQ(totals.value(vo::mostDmg, 0), 150);
    EXPECT_EQ(totals.value(vo::mostDmg, 1), 1108);
    EXPECT_EQ(totals.value(vo::mostKills, 1), 3);
    harness().step(10);
    harness().screenshot("results_preview");

    harness().click(FindButton(results->root_widget(), "Main Menu"));
    harness().step();
    EXPECT_EQ(harness().top<MainMenuScreen>(), &menu());
    EXPECT_EQ(menu().mode(), MainMenuScreen::mode_normal);
    EXPECT_EQ(menu().match()->phase(), vo::MatchPhase::preview);
}

}  // namespace
}  // namespace vo_test
