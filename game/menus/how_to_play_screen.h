#pragma once

// The instructions: the game's controls on a panel with an "Ok" button.

#include "game/menus/text_panel_screen.h"

namespace vo {

class HowToPlayScreen : public TextPanelScreen {
public:
    HowToPlayScreen();
};

}  // namespace vo
