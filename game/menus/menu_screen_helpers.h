#pragma once

// Small pieces the menu screens share.

#include "engine/widgets/button_widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"

#include <boost/signals2/connection.hpp>

#include <string>

namespace vo {

// State bits of the menus' widgets.
// A full-window or panel widget that keeps its frame and fills it.
constexpr int kMenuBackgroundState = WS_VISIBLE | WS_ENABLED | WS_FIXED_SIZE | WS_BACKGROUND;  // 0x826
// Centred in its cell or parent.
constexpr int kCentred = WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;  // 0x3c0
// A layout grid: centred, drawing nothing itself.
constexpr int kLayoutGridBits = WS_TRANSPARENT | kCentred;  // 0x7c0
// What a text line or layout grid drops from the default state.
constexpr int kNoBackgroundOrBorder = WS_BACKGROUND | WS_BORDER;  // 0x1800
// Added to a menu button's state: visible, enabled, centred, fixed size.
constexpr int kMenuButtonState = 0x1bc6;

// A menu button in the grid's cell whose click calls the screen's handler.
template <class Screen>
ButtonWidget* AddMenuButton(GridWidget* grid, unsigned row, unsigned column, const char* text, Screen* screen,
                            void (Screen::*handler)(Widget*)) {
    ButtonWidget* button = CreateMenuButton(grid, text, kMenuButtonState);
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
