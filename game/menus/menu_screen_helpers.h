#pragma once

// Small pieces the menu screens share.

#include "engine/widgets/button_widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"

#include <boost/signals2/connection.hpp>

#include <string>

namespace vo {

class KeyEvent;

// True for the release of Escape, which closes a menu.
bool IsEscapeRelease(KeyEvent const& event);

// A menu button (state 0x1bc6) in the grid's cell whose click calls the
// screen's handler.
template <class Screen>
ButtonWidget* AddMenuButton(GridWidget* grid, unsigned row, unsigned column, const char* text, Screen* screen,
                            void (Screen::*handler)(Widget*)) {
    ButtonWidget* button = CreateMenuButton(grid, text, 0x1bc6);
    button->connect_on_click(screen, handler);
    grid->set_widget(button, row, column);
    return button;
}

// Clears the window to black and draws the menu's widget tree in window
// pixels.
void DrawMenuOnBlack(Widget* root);

// The product's web page (what "Visit" opens) and the makers' address.
extern const char* const kProductUrl;
extern const char* const kContactEmail;

// The web page as the menus write it: without its scheme, in upper case.
std::string ProductAddressForDisplay();
// The makers' address in upper case.
std::string ContactEmailForDisplay();

}  // namespace vo
