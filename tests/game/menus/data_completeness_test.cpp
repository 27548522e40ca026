// Every screen and widget of the game built and drawn once from the shipped
// data, the way a player reaches them: a key missing from a configuration
// file, a style group or a texture fails here and not when a player presses
// the button that needs it.

#include "engine/widgets/button_widget.h"
#include "game/match/match.h"
#include "game/match/match_internals.h"
#include "game/menus/credits_screen.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/exit_screen.h"
#include "game/menus/how_to_play_screen.h"
#include "game/menus/match_results_screen.h"
#include "game/menus/new_team_screen.h"
#include "game/menus/notification_widget.h"
#include "game/menus/options_menu_screen.h"
#include "game/menus/weapon_select_widget.h"
#include "main_menu_fixture.h"

#include <gtest/gtest.h>

namespace vo_test {
namespace {

using vo::MainMenuScreen;

TEST_F(MainMenuTest, EveryScreenAndWidgetOfTheGameIsBuiltFromTheShippedData) {
    start();  // the main menu, with its options and new-team screens
    harness().frame();

    // The screens the menu's buttons push, each drawn over the menu and left.
    struct Visit {
        const char* button;
        const char* leave;  // the button that closes it; null: Escape
    };
    for (Visit const& v : {Visit{"How To Play", nullptr}, Visit{"Credits", nullptr}, Visit{"Options", nullptr},
                           Visit{"Quit", "Back"}}) {
        SCOPED_TRACE(v.button);
        harness().click(button(v.button));
        ASSERT_NE(harness().top<vo::IScreen>(), &menu());
        harness().frame();
        if (v.leave) {
            harness().click(FindButton(harness().app().top_screen()->root_widget(), v.leave));
        } else {
            harness().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
        }
        harness().step();
        ASSERT_EQ(harness().top<MainMenuScreen>(), &menu());
    }

    // The new-team form, which no button of the game opens.
    vo::PushScreen(menu().new_team_screen());
    harness().frame();
    menu().new_team_screen()->on_cancel(nullptr);
    harness().step();
    ASSERT_EQ(harness().top<MainMenuScreen>(), &menu());

    // The results screen with the made-up results.
    menu().preview_results = true;
    harness().click(button("START"));
    auto* results = harness().top<vo::MatchResultsScreen>();
    ASSERT_NE(results, nullptr);
    harness().frame();
    harness().click(FindButton(results->root_widget(), "Main Menu"));
    harness().step();
    menu().preview_results = false;

    // The message box.
    pick(1, 0);
    pick(2, 0);
    harness().click(button("START"));
    ASSERT_NE(button("OK!"), nullptr);
    harness().frame();
    harness().click(button("OK!"));

    // The match with its head-up display: weapon list with the information
    // of every weapon, notices, the escape menu.
    pick(1, 2);
    harness().click(button("START"));
    vo::Match* match = harness().top<vo::Match>();
    ASSERT_NE(match, nullptr);
    vo::MatchInternals inside(*match);
    ASSERT_TRUE(inside.hud_built());
    harness().step(5);
    harness().frame();
    vo::WeaponSelectWidget* weapons = inside.weapon_select();
    ASSERT_NE(weapons, nullptr);
    const auto buttons = FindAll<vo::ButtonWidget>(weapons);
    ASSERT_FALSE(buttons.empty());
    for (vo::ButtonWidget* b : buttons) weapons->show_info_box(b);
    inside.notify("data check");
    ASSERT_NE(inside.notifications(), nullptr);
    harness().step();
    harness().frame();
    harness().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    auto* esc_menu = harness().top<vo::EscMenuScreen>();
    ASSERT_NE(esc_menu, nullptr);
    harness().frame();
    harness().click(FindButton(esc_menu->root_widget(), "Main Menu"));
    for (int i = 0; i < 10 && harness().top<MainMenuScreen>() != &menu(); ++i) harness().step();
    EXPECT_EQ(harness().top<MainMenuScreen>(), &menu());
}

}  // namespace
}  // namespace vo_test
