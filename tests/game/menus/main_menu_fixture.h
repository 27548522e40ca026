#pragma once

// The program started on its main menu in the test process (the in-process
// application harness on the shipped data), with the few moves a player
// makes on it: pressing a team card, a character button, a menu button.

#include "engine/core/frame.h"
#include "engine/sfml/input_events.h"
#include "engine/widgets/button_widget.h"
#include "game/menus/main_menu_screen.h"
#include "game/menus/menu_kit.h"
#include "game/menus/team_representation_widget.h"
#include "support/game/app_harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace vo_test {

class MainMenuTest : public testing::Test {
protected:
    // Starts the program with the command line; before it, a non-empty
    // team_settings is written into the user folder.
    void start(std::vector<std::string> args = {}, std::string const& team_settings = "") {
        AppSetup setup;
        setup.args = std::move(args);
        harness_.reset(new AppHarness(setup));
        if (!team_settings.empty()) {
            ::mkdir(harness_->user_folder().c_str(), 0700);
            std::ofstream(harness_->user_file("team_settings.info")) << team_settings;
        }
        harness_->init();
        menu_ = harness_->top<vo::MainMenuScreen>();
        ASSERT_NE(menu_, nullptr) << "the program did not start on the main menu";
    }
    // Starts the program on no screen, for a test that builds its own menu.
    void start_without_menu() {
        AppSetup setup;
        setup.args = {"-drawDebugScreen", "2"};
        harness_.reset(new AppHarness(setup));
        harness_->init();
    }

    AppHarness& harness() { return *harness_; }
    vo::MainMenuScreen& menu() { return *menu_; }
    vo::TeamRepresentationWidget* card(int i) { return menu_->cards()[static_cast<std::size_t>(i)]; }
    vo::ButtonWidget* character_button(int k) { return menu_->character_buttons()[static_cast<std::size_t>(k)]; }
    vo::ButtonWidget* button(std::string const& text) { return FindButton(menu_->root_widget(), text); }

    // A press and release of the left button at the point, in window pixels.
    void click_at(float x, float y) {
        vo::MyApp& app = harness_->app();
        app.process_mouse_event(vo::MouseEvent(vo::MOUSE_MOVED, vo::MOUSE_BUTTON_NONE, 0, x, y));
        app.process_mouse_event(vo::MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, vo::MOUSE_BUTTON_LEFT, x, y));
        app.process_mouse_event(vo::MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, x, y));
    }
    // Presses the card on its picture, which selects it without flipping its
    // Human/CPU switch.
    void press_card(int i) {
        const vo::Frame area =
            vo::MenuFrame("teamRepresentation.areaCharacter") * vo::MenuFloat("teamRepresentation.scale");
        const vo::Frame f = card(i)->global_transformed_frame(area);
        click_at(f.center_x(), f.center_y());
    }
    // Gives card i the character of button k (0: no character).
    void pick(int i, int k) {
        press_card(i);
        harness_->click(character_button(k));
    }

    std::unique_ptr<AppHarness> harness_;
    vo::MainMenuScreen* menu_ = nullptr;
};

}  // namespace vo_test
