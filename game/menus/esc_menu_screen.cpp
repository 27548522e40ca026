#include "game/menus/esc_menu_screen.h"

#include "engine/core/smart_ptr.h"
#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/how_to_play_screen.h"
#include "game/menus/menu_screen_helpers.h"

namespace vo {

EscMenuScreen::EscMenuScreen() {
    auto* root = new Widget(nullptr, WS_DEFAULT_STATE);
    set_tree(root);
    root->enable_state(WS_VIRTUAL);

    auto* grid = new GridWidget(root, WS_DEFAULT_STATE);
    grid->enable_state(kLayoutGridBits);
    grid->set_vertical_spacing(8.0f);

    AddMenuButton(grid, 0, 0, "CONTINUE", this, &EscMenuScreen::continue_clicked);
    AddMenuButton(grid, 1, 0, "How To Play", this, &EscMenuScreen::how_to_play_clicked);
    AddMenuButton(grid, 2, 0, "Restart Match", this, &EscMenuScreen::restart_clicked);
    AddMenuButton(grid, 3, 0, "Main Menu", this, &EscMenuScreen::main_menu_clicked);

    lay_out_for_window(true);
}

bool EscMenuScreen::is_opaque() { return false; }

void EscMenuScreen::transform(FrameTransform const& transform) { transform_and_align(transform); }

void EscMenuScreen::continue_clicked(Widget*) { finished = true; }

void EscMenuScreen::how_to_play_clicked(Widget*) { PushScreen(SmartPtr<IScreen>(new HowToPlayScreen())); }

void EscMenuScreen::restart_clicked(Widget*) {
    finished = true;
    restart_requested = true;
}

void EscMenuScreen::main_menu_clicked(Widget*) {
    finished = true;
    main_menu_requested = true;
}

}  // namespace vo
