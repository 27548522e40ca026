// The main menu in the running application on the shipped data: what a
// plain start shows, the team cards and character buttons, the CPU button,
// the level seeds, typing a team name, the saved team set-up, leaving
// through the exit screen, and menus built on other character lists.

#include "engine/audio/music_controller.h"
#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/app/characters.h"
#include "game/match/match.h"
#include "game/match/match_internals.h"
#include "game/menus/exit_screen.h"
#include "game/menus/options_menu_screen.h"
#include "game/menus/screen_widget.h"
#include "main_menu_fixture.h"
#include "support/engine/child_process.h"

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>

namespace vo_test {
namespace {

using vo::ButtonWidget;
using vo::MainMenuScreen;

// The characters of the shipped list in order: Gronk, Mirabel, Pudge, Zyra,
// Bolt. Button k stands for character k - 1.
constexpr int kPudgeButton = 3;
constexpr int kZyraButton = 4;
constexpr int kBoltButton = 5;

std::vector<bool> Enabled(std::vector<ButtonWidget*> const& buttons) {
    std::vector<bool> enabled;
    for (ButtonWidget* b : buttons) enabled.push_back(b->is_enabled());
    return enabled;
}

bool Inside(vo::Frame const& inner, vo::Frame const& outer) {
    return inner.left() >= outer.left() && inner.right() <= outer.right() && inner.top() >= outer.top() &&
           inner.bottom() <= outer.bottom();
}

TEST_F(MainMenuTest, APlainStartShowsTheDefaultTeamsTheCharactersThePreviewAndTheButtons) {
    testing::internal::CaptureStdout();
    start();
    const std::string output = testing::internal::GetCapturedStdout();
    const std::vector<std::string> lines = {"MainMenuScreen - START", "> Characters", "> TeamDescs",
                                            "> Team Representation", "> Level preview", "> MenuButtons",
                                            "> Character Widgets", "> TextInfo", "> StartPreview",
                                            "MainMenuScreen - END"};
    EXPECT_EQ(LinesAmong(output, lines), lines) << output;

    // Four cards: the default set-up.
    const std::vector<std::string> names = {"Player 1", "CPU 1", "CPU 2", "Player 4"};
    const std::vector<bool> cpu = {false, true, true, false};
    ASSERT_EQ(menu().cards().size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(card(i)->team().name, names[i]);
        EXPECT_EQ(std::string(card(i)->name_input()->text()), names[i]);
        EXPECT_EQ(card(i)->is_cpu(), cpu[i]);
    }

    // Five characters and "none": a full grid of 2 x 3. The first card with
    // a character is selected: its character is pressed, those of the other
    // teams cannot be picked.
    EXPECT_EQ(menu().character_grid()->grid()->num_rows(), 2u);
    EXPECT_EQ(menu().character_grid()->grid()->num_columns(), 3u);
    ASSERT_EQ(menu().character_buttons().size(), 6u);
    EXPECT_EQ(menu().selected_card(), card(0));
    EXPECT_TRUE(card(0)->is_selected());
    EXPECT_TRUE(character_button(kPudgeButton)->is_checked());
    EXPECT_EQ(Enabled(menu().character_buttons()), (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_TRUE(card(0)->name_input()->has_focus());

    EXPECT_EQ(menu().cpu_button()->text(), "CPU: NORMAL");
    for (const char* text : {"START", "How To Play", "Credits", "Options", "Quit", "Previous", "Next"}) {
        EXPECT_NE(button(text), nullptr) << text;
    }
    EXPECT_EQ(std::string(menu().info_text()->text()).rfind("Quorvane - Alpha (a6)  ---  Created by BRANNIKOS  ---  ", 0),
              0u);

    // The preview runs the level of seed 0 behind the menu, with its music.
    ASSERT_TRUE(menu().match());
    EXPECT_EQ(menu().match()->phase(), vo::MatchPhase::preview);
    EXPECT_EQ(vo::Inspect(*menu().match()).level_seed(), 0);
    EXPECT_EQ(menu().seeds(), std::vector<int>{0});
    EXPECT_EQ(vo::GetMusicController().playing().size(), 1u);
    EXPECT_TRUE(menu().is_opaque());
    EXPECT_TRUE(harness().step(30));

    // Everything lies in the window.
    const float width = static_cast<float>(vo::Engine::instance().screen_width());
    const float height = static_cast<float>(vo::Engine::instance().screen_height());
    const vo::Frame window(0.0f, 0.0f, width, height);
    std::vector<vo::Widget*> shown = {menu().info_text(), menu().cpu_button(), menu().preview()};
    for (auto* c : menu().cards()) shown.push_back(c);
    for (auto* b : menu().character_buttons()) shown.push_back(b);
    for (vo::Widget* w : shown) EXPECT_TRUE(Inside(w->global_transformed_frame(), window));

    const sf::Image shot = harness().screenshot("main_menu");
    // The level is drawn inside the preview: it is not one flat colour.
    const vo::Frame p = menu().preview()->global_transformed_frame();
    std::set<unsigned> colours;
    for (unsigned y = static_cast<unsigned>(p.top()) + 2; y < static_cast<unsigned>(p.bottom()) - 2; y += 3) {
        for (unsigned x = static_cast<unsigned>(p.left()) + 2; x < static_cast<unsigned>(p.right()) - 2; x += 3) {
            colours.insert(shot.getPixel(x, y).toInteger());
        }
    }
    EXPECT_GT(colours.size(), 20u);
}

TEST_F(MainMenuTest, TheCpuButtonCyclesNormalHardEasy) {
    start();
    ButtonWidget* cpu = menu().cpu_button();
    for (const char* expected : {"CPU: HARD", "CPU: EASY", "CPU: NORMAL", "CPU: HARD"}) {
        harness().click(cpu);
        EXPECT_EQ(cpu->text(), expected);
    }
    EXPECT_EQ(menu().cpu_level(), 2);
    // A text of no level counts as the first, EASY.
    cpu->set_text("CPU: ???");
    EXPECT_EQ(menu().cpu_level(), 0);
    harness().click(cpu);
    EXPECT_EQ(cpu->text(), "CPU: NORMAL");
}

TEST_F(MainMenuTest, PreviousAndNextWalkTheSeedHistoryAndGrowItAtBothEnds) {
    start();
    vo::Match& match = *menu().match();
    vo::MatchInternals inside(match);
    harness().click(button("Previous"));
    ASSERT_EQ(menu().seeds().size(), 2u);
    EXPECT_EQ(menu().seed_index(), 0u);
    EXPECT_EQ(menu().seeds()[1], 0);
    EXPECT_EQ(inside.level_seed(), menu().seeds()[0]);
    EXPECT_EQ(match.phase(), vo::MatchPhase::preview);
    const int earlier = menu().seeds()[0];

    harness().click(button("Next"));
    EXPECT_EQ(menu().seed_index(), 1u);
    EXPECT_EQ(inside.level_seed(), 0);
    EXPECT_EQ(menu().seeds().size(), 2u);

    harness().click(button("Next"));
    EXPECT_EQ(menu().seeds().size(), 3u);
    EXPECT_EQ(menu().seed_index(), 2u);
    EXPECT_EQ(inside.level_seed(), menu().seeds()[2]);

    harness().click(button("Previous"));
    harness().click(button("Previous"));
    EXPECT_EQ(menu().seed_index(), 0u);
    EXPECT_EQ(inside.level_seed(), earlier);
    EXPECT_EQ(menu().seeds().size(), 3u);
}

TEST_F(MainMenuTest, CharacterButtonsChangeTheSelectedCardAndOtherTeamsCharactersCannotBePicked) {
    start();
    // Player 4 has no character: "none" is pressed; Pudge, Zyra and Bolt are
    // taken.
    press_card(3);
    EXPECT_EQ(menu().selected_card(), card(3));
    EXPECT_FALSE(card(0)->is_selected());
    EXPECT_TRUE(character_button(0)->is_checked());
    EXPECT_EQ(Enabled(menu().character_buttons()), (std::vector<bool>{true, true, true, false, false, false}));

    harness().click(character_button(1));
    EXPECT_EQ(card(3)->team().character.index, 0);
    EXPECT_EQ(card(3)->team().character.name, "Gronk");
    EXPECT_TRUE(character_button(1)->is_checked());
    EXPECT_FALSE(character_button(0)->is_checked());
    // A taken character does nothing.
    harness().click(character_button(kPudgeButton));
    EXPECT_EQ(card(3)->team().character.index, 0);

    // Back on Player 1, Gronk is taken now; "none" is never taken.
    press_card(0);
    EXPECT_TRUE(character_button(kPudgeButton)->is_checked());
    EXPECT_EQ(Enabled(menu().character_buttons()), (std::vector<bool>{true, false, true, true, false, false}));
    harness().click(character_button(0));
    EXPECT_EQ(card(0)->team().character.index, -1);
    EXPECT_EQ(card(0)->team().character.name, "char_none");

    // The card's own Human/CPU switch still works under the menu.
    EXPECT_TRUE(card(1)->is_cpu());
    const vo::Frame human = card(1)->global_transformed_frame(
        vo::MenuFrame("teamRepresentation.areaHuman") * vo::MenuFloat("teamRepresentation.scale"));
    click_at(human.center_x(), human.center_y());
    EXPECT_FALSE(card(1)->is_cpu());
    EXPECT_EQ(menu().selected_card(), card(1));
    EXPECT_TRUE(character_button(kZyraButton)->is_checked());
}

TEST_F(MainMenuTest, WithoutAnyCharacterOnTheCardsNoCardIsSelectedAndCharacterButtonsDoNothing) {
    // One name the list does not know, one team without a name.
    start({}, "team { teamName Ann characterName Nobody }\nteam { characterName char_none cpuControlled true }\n");
    EXPECT_EQ(card(1)->team().name, "Player 2");
    EXPECT_TRUE(card(1)->is_cpu());
    EXPECT_EQ(menu().selected_card(), nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(card(i)->is_selected());
    harness().click(character_button(1));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(card(i)->team().character.index, -1);
    // Typing goes nowhere without a selected card.
    harness().type("x");
    EXPECT_EQ(card(0)->team().name, "Ann");
}

TEST_F(MainMenuTest, TypingEditsTheSelectedTeamsNameAndEveryScreenPushedOverTheMenuSavesTheTeams) {
    start();
    const std::string file = harness().user_file("team_settings.info");
    EXPECT_EQ(ReadTextFile(file), "");

    // A click anywhere keeps the typing on the selected card.
    pick(1, 2);
    click_at(2.0f, 2.0f);
    harness().type("Zed");
    harness().key(vo::KEY_PRESSED, vo::KEY_BACKSPACE);
    harness().key(vo::KEY_RELEASED, vo::KEY_BACKSPACE);
    EXPECT_EQ(card(1)->team().name, "CPU 1Ze");

    harness().click(button("Options"));
    ASSERT_NE(harness().top<vo::OptionsMenuScreen>(), nullptr);
    EXPECT_EQ(harness().top<vo::OptionsMenuScreen>(), menu().options_screen().get());
    EXPECT_EQ(ReadTextFile(file),
              "team\n{\n    teamName \"Player 1\"\n    characterName Pudge\n    cpuControlled false\n}\n"
              "team\n{\n    teamName \"CPU 1Ze\"\n    characterName Mirabel\n    cpuControlled true\n}\n"
              "team\n{\n    teamName \"CPU 2\"\n    characterName Bolt\n    cpuControlled true\n}\n"
              "team\n{\n    teamName \"Player 4\"\n    characterName char_none\n    cpuControlled false\n}\n");

    // Escape closes the options; the same screen comes again.
    harness().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    harness().step();
    EXPECT_EQ(harness().top<MainMenuScreen>(), &menu());
    harness().click(button("Options"));
    EXPECT_EQ(harness().top<vo::OptionsMenuScreen>(), menu().options_screen().get());
    harness().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    harness().step();

    // How To Play and Credits are new screens each time.
    for (const char* text : {"How To Play", "Credits"}) {
        ::remove(file.c_str());
        harness().click(button(text));
        EXPECT_NE(harness().top<vo::IScreen>(), &menu()) << text;
        EXPECT_NE(ReadTextFile(file), "") << text;
        harness().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
        harness().step();
        EXPECT_EQ(harness().top<MainMenuScreen>(), &menu()) << text;
        EXPECT_EQ(menu().match()->phase(), vo::MatchPhase::preview);
    }
}

TEST_F(MainMenuTest, AWindowMadeByTheOptionsGetsTheMenuLaidOutForItsSize) {
    start();
    harness().click(button("Options"));
    auto* options = harness().top<vo::OptionsMenuScreen>();
    ASSERT_NE(options, nullptr);
    harness().click(options->fullscreen_button());  // a window of 1000 x 700
    harness().click(options->ok_button());
    ASSERT_EQ(vo::Engine::instance().screen_width(), 1000);
    harness().step();
    harness().screenshot("main_menu_in_a_window");
    // The 16:9 design fills the width, centred between bars above and below.
    const vo::Frame root = menu().root_widget()->global_transformed_frame();
    EXPECT_NEAR(root.left(), 0.0f, 1.0f);
    EXPECT_NEAR(root.right(), 1000.0f, 1.0f);
    EXPECT_NEAR(root.top(), 700.0f - root.bottom(), 1.0f);
    const vo::Frame start_button = button("START")->global_transformed_frame();
    EXPECT_GT(start_button.left(), 500.0f);
    EXPECT_LT(start_button.right(), 1000.0f);
}

TEST_F(MainMenuTest, ASetUpThatCannotBeSavedIsReportedAndTheGameGoesOn) {
    start();
    // A folder where the file should be: no file can replace it.
    const std::string file = harness().user_file("team_settings.info");
    ASSERT_EQ(::mkdir(file.c_str(), 0700), 0);
    testing::internal::CaptureStdout();
    harness().click(button("Options"));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("WARNING: couldn't save " + file), std::string::npos) << output;
    EXPECT_NE(harness().top<vo::OptionsMenuScreen>(), nullptr);
    ::rmdir(file.c_str());
}

TEST_F(MainMenuTest, QuitThenBackKeepsAWorkingMenuQuitThenEscapeEndsTheProgramWithTheTeamsSaved) {
    start();
    harness().click(button("Quit"));
    auto* exit_screen = harness().top<vo::ExitScreen>();
    ASSERT_NE(exit_screen, nullptr);
    EXPECT_EQ(menu().mode(), MainMenuScreen::mode_exit_screen);
    harness().click(FindButton(exit_screen->root_widget(), "Back"));
    EXPECT_TRUE(harness().step());
    EXPECT_EQ(harness().top<MainMenuScreen>(), &menu());
    EXPECT_EQ(menu().mode(), MainMenuScreen::mode_normal);
    harness().click(menu().cpu_button());
    EXPECT_EQ(menu().cpu_button()->text(), "CPU: HARD");
    EXPECT_TRUE(harness().step(5));

    ::remove(harness().user_file("team_settings.info").c_str());
    harness().click(button("Quit"));
    ASSERT_NE(harness().top<vo::ExitScreen>(), nullptr);
    harness().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    EXPECT_FALSE(harness().step());
    EXPECT_EQ(harness().app().num_screens(), 0u);
    EXPECT_NE(ReadTextFile(harness().user_file("team_settings.info")), "");
}

// The first n characters of the shipped list as a characters file.
std::string CharactersFileOf(TempFolder& folder, int n) {
    boost::property_tree::ptree shipped;
    boost::property_tree::read_info(vo::PathProvider::get_path(1) + "characters.info", shipped);
    boost::property_tree::ptree kept;
    for (auto const& entry : shipped) {
        if (entry.first != "character" || n-- <= 0) continue;
        kept.push_back(entry);
    }
    // A list of no character still needs an entry to be a characters file.
    if (kept.empty()) kept.put("note", "no characters");
    const std::string file = folder.file("characters.info");
    boost::property_tree::write_info(file, kept);
    return file;
}

TEST_F(MainMenuTest, FourCharactersGiveTwoRowsOfThreeWithTheLastButtonHidden) {
    start_without_menu();
    TempFolder folder;
    vo::SetCharactersFilePath(CharactersFileOf(folder, 4));
    vo::LoadCharacters();
    vo::SmartPtr<MainMenuScreen> menu(new MainMenuScreen());
    vo::GridWidget* grid = menu->character_grid()->grid();
    EXPECT_EQ(grid->num_rows(), 2u);
    EXPECT_EQ(grid->num_columns(), 3u);
    EXPECT_EQ(menu->character_buttons().size(), 5u);
    EXPECT_FALSE(menu->character_grid()->at(1, 2)->is_visible());
    // "CPU 2" wants the fifth character, which is missing: it has none.
    EXPECT_EQ(menu->cards()[2]->team().character.index, -1);
}

TEST_F(MainMenuTest, AnEmptyCharacterListIsLoadedAgainAndFewerThanTwoCharactersRefuseTheMenu) {
    start_without_menu();
    TempFolder folder;
    vo::SetCharactersFilePath(CharactersFileOf(folder, 0));
    vo::LoadCharacters();
    ASSERT_TRUE(vo::NoCharacters());
    try {
        MainMenuScreen menu;
        FAIL() << "the menu was built without characters";
    } catch (vo::Error const& e) {
        EXPECT_EQ(std::string(e.message()), "There have to be 2 characters at least!");
    }
}

}  // namespace
}  // namespace vo_test
