#pragma once

// The pause menu of a running match: "CONTINUE", "How To Play",
// "Restart Match" and "Main Menu". It only sets its public flags (finished
// and the two below); the match clears them before every push and reads
// them when it is on top again. A release of Escape closes it like
// "CONTINUE".

#include "game/menus/menu_screen.h"

namespace vo {

class EscMenuScreen : public MenuScreen {
public:
    EscMenuScreen();

    // The match stays visible below.
    bool is_opaque() override;
    // Maps the tree with transform and lays it out again.
    void transform(FrameTransform const& transform) override;

    void continue_clicked(Widget* sender);
    // Pushes the instructions over the menu.
    void how_to_play_clicked(Widget* sender);
    void restart_clicked(Widget* sender);
    void main_menu_clicked(Widget* sender);

    bool restart_requested = false;
    bool main_menu_requested = false;
};

}  // namespace vo
