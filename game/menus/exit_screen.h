#pragma once

// The farewell screen pushed by the main menu's "Quit": thanks the player
// and offers "Back" (to the menu), "Visit" (the product's web page, then
// quit) and "Quit". It only sets flags; the main menu reads them when it is
// the top screen again.

#include "game/app/screen.h"

namespace vo {

class ExitScreen : public IScreen {
public:
    ExitScreen();
    // Deletes the widget tree it built.
    ~ExitScreen() override;

    // False once a button or a release of Escape has closed the screen.
    bool update(double dt) override;
    void draw() override;
    bool is_opaque() override;
    // A release of Escape closes the screen like "Quit".
    bool process_key_event(KeyEvent const& event) override;
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

    bool finished = false;
    // Set only by "Back": the main menu carries on instead of ending.
    bool back_pressed = false;

private:
    Widget* root_ = nullptr;
};

}  // namespace vo
