#include "game/menus/menu_screen.h"

#include "engine/core/frame_transform.h"
#include "engine/sfml/input_events.h"
#include "engine/widgets/widget.h"
#include "game/menus/menu_kit.h"

namespace vo {

MenuScreen::~MenuScreen() { delete tree_; }

bool MenuScreen::update(double) { return !finished; }

bool MenuScreen::process_key_event(KeyEvent const& event) {
    if (event.type() == KEY_RELEASED && event.key() == KEY_ESCAPE) {
        escape_released();
        return true;
    }
    return IScreen::process_key_event(event);
}

void MenuScreen::set_tree(Widget* root) {
    tree_ = root;
    set_root_widget(root);
}

void MenuScreen::lay_out_for_window(bool resize) {
    tree_->adjust_to_content(resize);
    tree_->transform(MenuTransform());
    tree_->align_children(true);
}

void MenuScreen::transform_and_align(FrameTransform const& transform) {
    tree_->transform(transform);
    tree_->align_children(true);
}

void MenuScreen::escape_released() { finished = true; }

}  // namespace vo
