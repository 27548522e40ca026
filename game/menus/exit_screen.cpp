#include "game/menus/exit_screen.h"

#include "engine/core/error.h"
#include "engine/core/frame.h"
#include "engine/core/platform.h"
#include "engine/core/resources.h"
#include "engine/visuals/image.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"
#include "game/menus/menu_screen_helpers.h"

#include <iostream>
#include <string>

namespace vo {

namespace {

std::string Message() {
    return "Thank you for playing QUORVANE!\n\nVisit " + ProductAddressForDisplay() +
           " for updates and new versions.\n\n"
           "If you happen to like this game and if you'd like to support its development,\n"
           "we'd greatly appreciate a small donation. Thank you very much!";
}

}  // namespace

ExitScreen::ExitScreen() {
    const float h = MenuFloat("credits.bigTextHeight");
    const Color c = MenuColor("credits.bigTextColor");
    const Frame reference = MenuReferenceFrame();
    const Image background(GetTexture("main_menu/bg_main_menu.png"));

    auto* root = new Widget(nullptr, kMenuBackgroundState);
    set_tree(root);
    root->set_frame(reference);
    root->set_color("background", Color(1.0f, 1.0f, 1.0f, 1.0f));
    root->set_background_image(background);

    auto* outer_grid = new GridWidget(root, WS_DEFAULT_STATE);
    outer_grid->enable_state(kCentred);
    outer_grid->disable_state(kNoBackgroundOrBorder);
    outer_grid->set_vertical_spacing(h);

    auto* message = new TextWidget(outer_grid, WS_DEFAULT_STATE);
    message->enable_state(kCentred);
    message->disable_state(kNoBackgroundOrBorder);
    message->set_text_height(h);
    message->set_text_color(c);
    message->set_color("background", Color(1.0f, 1.0f, 1.0f, 0.25f));
    message->set_text(Message().c_str());
    outer_grid->set_widget(message, 0, 0);

    auto* button_grid = new GridWidget(outer_grid, WS_DEFAULT_STATE);
    button_grid->enable_state(kCentred);
    button_grid->disable_state(kNoBackgroundOrBorder);
    button_grid->set_horizontal_spacing(h);
    outer_grid->set_widget(button_grid, 1, 0);

    AddMenuButton(button_grid, 0, 0, "Back", this, &ExitScreen::back_clicked);
    AddMenuButton(button_grid, 0, 1, "Visit", this, &ExitScreen::visit_clicked);
    AddMenuButton(button_grid, 0, 2, "Quit", this, &ExitScreen::quit_clicked);

    // The longest line must not run off the screen: with a wide menu font
    // the message's text is made smaller until it fits the design's width.
    root->adjust_to_content(true);
    const float room = reference.width() * 0.95f;
    const float width = message->frame().width();
    if (width > room) message->set_text_height(h * room / width);
    lay_out_for_window(true);
}

void ExitScreen::draw() { DrawMenuOnBlack(tree()); }

bool ExitScreen::is_opaque() { return true; }

void ExitScreen::new_resolution(int, int) { tree()->transform(MenuTransform()); }

void ExitScreen::activate(IScreen*) {
    finished = false;
    back_pressed = false;
}

void ExitScreen::transform(FrameTransform const& transform) { transform_and_align(transform); }

void ExitScreen::back_clicked(Widget*) {
    finished = true;
    back_pressed = true;
}

void ExitScreen::visit_clicked(Widget*) {
    try {
        OpenURL(kProductUrl);
    } catch (Error const& e) {
        // No browser is no reason to end the game with an error: the player
        // was leaving anyway.
        std::cout << "WARNING: couldn't open " << kProductUrl << " in a browser: " << e.message() << std::endl;
    }
    finished = true;
}

void ExitScreen::quit_clicked(Widget*) { finished = true; }

}  // namespace vo
