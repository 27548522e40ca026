#pragma once

// The devices of a human player as a test holds them: the match's controls
// read this snapshot instead of the engine's keyboard, mouse and joystick.

#include "game/ai/input_source.h"
#include "game/ai/player_controls.h"

#include <memory>

namespace vo_test {

struct ScriptedDevices : vo::InputSource {
    vo::InputSnapshot now;
    vo::InputSnapshot snapshot() override { return now; }
    void hold(vo::KeyCode key, bool down) { now.keys[static_cast<std::size_t>(key)] = down; }

    // New devices, handed to controls (which own them), for a window of
    // 1024 x 768 pixels.
    static ScriptedDevices* install(vo::PlayerControls& controls) {
        auto* devices = new ScriptedDevices;
        devices->now.screen_width = 1024;
        devices->now.screen_height = 768;
        controls.set_input_source(std::unique_ptr<vo::InputSource>(devices));
        return devices;
    }
};

}  // namespace vo_test
