#include "game/menus/esc_menu_screen.h"

#include "engine/core/smart_ptr.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/how_to_play_screen.h"
#include "game/menus/menu_kit.h"
#include "game/menus/menu_screen_helpers.h"

namespace vo {

namespace {

constexpr int kGridEnable = WS_TRANSPARENT | 0x3c0;  // 0x7c0: centred, draws nothing itself

}  // namespace

EscMenuScreen::EscMenuScreen() {
    root_ = new Widget(nullptr, WS_DEFAULT_STATE);
    try {
        root_->enable_state(WS_VIRTUAL);

        auto* grid = new GridWidget(root_, WS_DEFAULT_STATE);
        grid->enable_state(kGridEnable);
        grid->set_vertical_spacing(8.0f);

        AddMenuButton(grid, 0, 0, "CONTINUE", this, &EscMenuScreen::continue_clicked);
        AddMenuButton(grid, 1, 0, "How To Play", this, &EscMenuScreen::how_to_play_clicked);
        AddMenuButton(grid, 2, 0, "Restart Match", this, &EscMenuScreen::restart_clicked);
        AddMenuButton(grid, 3, 0, "Main Menu", this, &EscMenuScreen::main_menu_clicked);

        root_->adjust_to_content(true);
        root_->transform(MenuTransform());
        root_->align_children(true);
    } catch (...) {
        delete root_;
        throw;
    }
    set_root_widget(root_);
}

EscMenuScreen::~EscMenuScreen() { delete root_; }

bool EscMenuScreen::update(double) { return !finished; }

bool EscMenuScreen::is_opaque() { return false; }

bool EscMenuScreen::process_key_event(KeyEvent const& event) {
    if (IsEscapeRelease(event)) {
        finished = true;
        return true;
    }
    return IScreen::process_key_event(event);
}

void EscMenuScreen::transform(FrameTransform const& transform) {
    root_->transform(transform);
    root_->align_children(true);
}

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
