#include "game/menus/debug_screen.h"

#include "engine/core/color.h"
#include "engine/core/frame_transform.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/menus/menu_kit.h"

namespace vo {

namespace {

const char* const HELP_TEXT =
    "Press TAB to select the next slob.\n"
    "Place it somewhere using the right mouse button.\n"
    "Use the left mouse button to scroll the camera.\n"
    "ARROW-KEYS: move (left, right), jump (up).\n"
    "X, Y: rotate crosshairs.\n"
    "Press and release Space: SHOOTING!!!";

}  // namespace

DebugScreen::DebugScreen() : DebugScreen(MenuTransform()) {}

DebugScreen::DebugScreen(FrameTransform const& menu_transform) {
    root_ = new Widget(nullptr, WS_DEFAULT_STATE);
    root_->enable_state(WS_VIRTUAL);
    set_root_widget(root_);

    TextWidget* text = new TextWidget(root_, WS_DEFAULT_STATE);
    text->enable_state(WS_ALIGN_LEFT | WS_ALIGN_BOTTOM);
    text->set_text_height(30.0f * menu_transform.scale().y);
    text->set_text(HELP_TEXT);

    root_->adjust_to_content(true);
    root_->align_children(true);
}

DebugScreen::~DebugScreen() { delete root_; }

bool DebugScreen::update(double) { return true; }

void DebugScreen::draw() {
    Engine& engine = Engine::instance();
    engine.set_clear_color(Color(0.2f, 0.2f, 0.2f, 1.0f));
    engine.clear();
    SetupOrthoView();
    root_->draw();
}

bool DebugScreen::is_opaque() { return true; }

}  // namespace vo
