#pragma once

// The pause menu of a running match: "CONTINUE", "How To Play",
// "Restart Match" and "Main Menu". It only sets its public flags; the match
// clears them before every push and reads them when it is on top again.

#include "game/app/screen.h"

namespace vo {

class EscMenuScreen : public IScreen {
public:
    EscMenuScreen();
    // Deletes the widget tree it built.
    ~EscMenuScreen() override;

    // False once a button or a release of Escape has closed the menu.
    bool update(double dt) override;
    // The match stays visible below.
    bool is_opaque() override;
    // A release of Escape closes the menu like "CONTINUE".
    bool process_key_event(KeyEvent const& event) override;
    // Maps the tree with transform and lays it out again.
    void transform(FrameTransform const& transform) override;

    void continue_clicked(Widget* sender);
    // Pushes the instructions over the menu.
    void how_to_play_clicked(Widget* sender);
    void restart_clicked(Widget* sender);
    void main_menu_clicked(Widget* sender);

    bool finished = false;
    bool restart_requested = false;
    bool main_menu_requested = false;

private:
    Widget* root_ = nullptr;
};

}  // namespace vo
