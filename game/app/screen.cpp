#include "game/app/screen.h"

#include "engine/core/error.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/widget.h"
#include "game/app/my_app.h"

namespace vo {

IScreen::~IScreen() = default;

void IScreen::draw() {
    if (root_widget_) root_widget_->draw();
}

bool IScreen::process_mouse_event(MouseEvent const& event) {
    return root_widget_ ? root_widget_->process_mouse_event(event) : false;
}

bool IScreen::process_key_event(KeyEvent const& event) {
    return root_widget_ ? root_widget_->process_key_event(event) : false;
}

void IScreen::new_resolution(int, int) {}

void IScreen::activate(IScreen*) {}

void IScreen::deactivate() {}

void IScreen::step(double) {}

void IScreen::transform(FrameTransform const& transform) {
    if (root_widget_) root_widget_->transform(transform);
}

void PushScreen(SmartPtr<IScreen> screen) {
    if (!g_app) throw Error("PushScreen: there is no application to push the screen onto.");
    g_app->push_screen(screen);
}

void SetupOrthoView() {
    Engine& engine = Engine::instance();
    engine.set_ortho(0.0f, static_cast<float>(engine.screen_width()), static_cast<float>(engine.screen_height()),
                     0.0f, -1.0f, 1.0f);
    engine.set_state(STATE_TEXTURING, true);
    engine.set_state(STATE_BLENDING, true);
    engine.set_blend_mode(BLEND_ALPHA);
}

}  // namespace vo
