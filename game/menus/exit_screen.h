#pragma once

// The farewell screen pushed by the main menu's "Quit": thanks the player
// and offers "Back" (to the menu), "Visit" (the product's web page, then
// quit) and "Quit". It only sets flags; the main menu reads them when it is
// the top screen again.

#include "game/menus/menu_screen.h"

namespace vo {

class ExitScreen : public MenuScreen {
public:
    ExitScreen();

    void draw() override;
    bool is_opaque() override;
    // Maps the tree with the menu transform for the new window size.
    void new_resolution(int width, int height) override;
    // Clears both flags.
    void activate(IScreen* previous) override;
    // Maps the tree with transform and lays it out again.
    void transform(FrameTransform const& transform) override;

    void back_clicked(Widget* sender);
    // Opens the web page, then closes like "Quit". When no browser can be
    // started a warning names the address and the screen still closes.
    void visit_clicked(Widget* sender);
    void quit_clicked(Widget* sender);

    // Set only by "Back": the main menu carries on instead of ending. A
    // release of Escape leaves like "Quit".
    bool back_pressed = false;
};

}  // namespace vo
