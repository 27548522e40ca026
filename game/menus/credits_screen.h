#pragma once

// The credits on a panel with an "Ok" button.

#include "game/menus/text_panel_screen.h"

namespace vo {

class CreditsScreen : public TextPanelScreen {
public:
    CreditsScreen();
};

}  // namespace vo
