// Where the main menu's controls are on the window, for the black-box tests
// that drive the real program with xdotool: builds the same menu from the
// same shipped data at the same window size (a fresh user folder, the
// default options) and prints, one per line,
//
//   probe window <width> <height>
//   probe point <name> <x> <y>               the centre of a control
//   probe rect <name> <left> <top> <right> <bottom>
//
// in window pixels. Names: menu.<button text> (START, How To Play, ...,
// CPU), seed.Previous, seed.Next, card.<i>, card.<i>.name, card.<i>.human,
// card.<i>.cpu, character.<k> (k = 0 is no character), exit.<button text>,
// box.OK!, and the rectangles characters (the character panel) and
// box.main (the message box).

#include "engine/core/error.h"
#include "engine/core/frame.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/characters.h"
#include "game/menus/exit_screen.h"
#include "game/menus/main_menu_screen.h"
#include "game/menus/menu_kit.h"
#include "game/menus/team_representation_widget.h"
#include "support/game/app_harness.h"

#include <iostream>
#include <string>

namespace {

void Point(std::string const& name, vo::Frame const& f) {
    std::cout << "probe point " << name << " " << static_cast<int>(f.center_x()) << " "
              << static_cast<int>(f.center_y()) << "\n";
}

void Rect(std::string const& name, vo::Frame const& f) {
    std::cout << "probe rect " << name << " " << static_cast<int>(f.left()) << " " << static_cast<int>(f.top()) << " "
              << static_cast<int>(f.right()) << " " << static_cast<int>(f.bottom()) << "\n";
}

// An area of the team card, in the card's own units.
vo::Frame CardArea(const char* key) {
    return vo::MenuFrame(std::string("teamRepresentation.") + key) * vo::MenuFloat("teamRepresentation.scale");
}

void Buttons(std::string const& prefix, vo::Widget* root) {
    for (vo::ButtonWidget* button : vo_test::FindAll<vo::ButtonWidget>(root)) {
        if (!button->is_visible() || button->text().empty()) continue;
        std::string text = button->text();
        if (text.rfind("CPU: ", 0) == 0) text = "CPU";
        Point(prefix + text, button->global_transformed_frame());
    }
}

int Probe() {
    vo_test::AppSetup setup;
    setup.args = {};
    vo_test::AppHarness harness(setup);
    harness.init();
    auto* menu = harness.top<vo::MainMenuScreen>();
    if (!menu) {
        std::cerr << "layout probe: the program did not start on the main menu\n";
        return 1;
    }
    vo::Engine& engine = vo::Engine::instance();
    std::cout << "probe window " << engine.screen_width() << " " << engine.screen_height() << "\n";

    Buttons("menu.", menu->root_widget());
    Point("seed.Previous", vo_test::FindButton(menu->root_widget(), "Previous")->global_transformed_frame());
    Point("seed.Next", vo_test::FindButton(menu->root_widget(), "Next")->global_transformed_frame());
    for (std::size_t i = 0; i < menu->cards().size(); ++i) {
        vo::TeamRepresentationWidget* card = menu->cards()[i];
        const std::string name = "card." + std::to_string(i);
        // The card's picture: pressing it selects the card and flips no
        // switch.
        Point(name, card->global_transformed_frame(CardArea("areaCharacter")));
        Point(name + ".name", card->name_input()->global_transformed_frame());
        Point(name + ".human", card->global_transformed_frame(CardArea("areaHuman")));
        Point(name + ".cpu", card->global_transformed_frame(CardArea("areaCpu")));
    }
    for (std::size_t k = 0; k < menu->character_buttons().size(); ++k) {
        Point("character." + std::to_string(k), menu->character_buttons()[k]->global_transformed_frame());
    }
    Rect("characters", menu->character_grid()->parent()->global_transformed_frame());

    vo::SmartPtr<vo::ExitScreen> exit_screen(new vo::ExitScreen());
    Buttons("exit.", exit_screen->root_widget());

    // The message box of START with a single team.
    for (std::size_t i = 1; i < menu->cards().size(); ++i) {
        vo::TeamDesc team = menu->cards()[i]->team();
        team.character = vo::GetCharacter(static_cast<unsigned>(-1));
        menu->cards()[i]->set_team(team);
    }
    menu->start_match_clicked(nullptr);
    vo::ButtonWidget* ok = vo_test::FindButton(menu->root_widget(), "OK!");
    if (!ok) {
        std::cerr << "layout probe: START with one team showed no message box\n";
        return 1;
    }
    Point("box.OK!", ok->global_transformed_frame());
    Rect("box.main", ok->parent()->parent()->global_transformed_frame());
    std::cout << std::flush;
    return 0;
}

}  // namespace

int main() {
    try {
        return Probe();
    } catch (vo::Error const& e) {
        std::cerr << "layout probe: " << e.message() << "\n";
    } catch (std::exception const& e) {
        std::cerr << "layout probe: " << e.what() << "\n";
    }
    return 1;
}
