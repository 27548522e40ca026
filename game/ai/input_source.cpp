#include "game/ai/input_source.h"

#include "engine/sfml/engine.h"

namespace vo {

InputSource::~InputSource() = default;

EngineInputSource::EngineInputSource(Engine* engine) : engine_(engine ? *engine : Engine::instance()) {}

InputSnapshot EngineInputSource::snapshot() {
    InputSnapshot s;
    s.screen_width = static_cast<float>(engine_.screen_width());
    s.screen_height = static_cast<float>(engine_.screen_height());
    s.mouse_x = engine_.mouse_x();
    s.mouse_y = engine_.mouse_y();
    for (int bit : {MOUSE_BUTTON_LEFT, MOUSE_BUTTON_RIGHT, MOUSE_BUTTON_MIDDLE}) {
        if (engine_.mouse_buttons_down(bit)) s.mouse_buttons |= bit;
    }
    s.mouse_wheel = engine_.mouse_wheel_delta();
    for (int code = 0; code < KEY_COUNT; ++code) s.keys[code] = engine_.is_key_down(static_cast<KeyCode>(code));
    s.joystick_connected = engine_.joystick_connected(0);
    if (s.joystick_connected) {
        for (int axis = 0; axis < InputSnapshot::NUM_AXES; ++axis) s.joystick_axes[axis] = engine_.joystick_axis(0, axis);
        for (unsigned button = 0; button < InputSnapshot::NUM_BUTTONS; ++button)
            s.joystick_buttons[button] = engine_.joystick_button_down(0, button);
    }
    return s;
}

}  // namespace vo
