#pragma once

// What a human player's devices hold at one moment, and where it comes from.
// The player controls map such a snapshot to their actions by plain code, so
// the mapping can be driven without devices.

#include "engine/sfml/input_events.h"

#include <bitset>

namespace vo {

class Engine;

struct InputSnapshot {
    static constexpr int NUM_AXES = 8;
    static constexpr int NUM_BUTTONS = 32;

    float screen_width = 0.0f;  // the drawing area in pixels
    float screen_height = 0.0f;
    float mouse_x = 0.0f;  // window pixels, origin top left, y downward
    float mouse_y = 0.0f;
    int mouse_buttons = 0;       // MouseButtons bits held
    float mouse_wheel = 0.0f;    // wheel steps of this step
    std::bitset<KEY_COUNT> keys;  // held keys by KeyCode
    bool joystick_connected = false;
    float joystick_axes[NUM_AXES] = {};  // joystick 0, each -1 .. 1
    bool joystick_buttons[NUM_BUTTONS] = {};

    bool key(KeyCode code) const { return code >= 0 && code < KEY_COUNT && keys[code]; }
    bool buttons_down(int mask) const { return (mouse_buttons & mask) == mask; }
};

class InputSource {
public:
    virtual ~InputSource();
    // The devices' state now.
    virtual InputSnapshot snapshot() = 0;
};

// The engine's keyboard, mouse and joystick 0, as its event pump last left
// them.
class EngineInputSource : public InputSource {
public:
    // Engine::instance() when engine is null.
    explicit EngineInputSource(Engine* engine = nullptr);
    InputSnapshot snapshot() override;

private:
    Engine& engine_;
};

}  // namespace vo
