#pragma once

// The control state through which a slob is steered in a turn: human teams
// fill it from their devices once per step, computer players write it
// themselves, and the turn control reads it the same way in both cases.

#include "engine/core/vector.h"

#include <memory>

namespace vo {

class InputSource;
struct InputSnapshot;

// The action indices of PlayerControls.
namespace PlayerAction {
enum : int {
    move = 0,         // -1 left .. 1 right
    down = 1,         // let go of the surface
    jump = 2,
    fire = 3,
    modifier = 4,     // Shift
    aim = 5,          // -1 .. 1, joystick
    rotate_drag = 6,  // a right-button world rotation is dragged or paid out
    rotate = 7,       // degrees of world rotation this step
    pan_x = 8,        // pixels (mouse) or -1 .. 1 (joystick)
    pan_y = 9,        // upward positive
    zoom = 10,        // wheel steps
    pad_y = 11,
    timer_step = 12,  // -1 previous, 1 next fuse timer
    timer_key = 13,   // -1 for the 0 key, n for digit n
    end_turn = 14,
    confirm = 15,
    spare = 16,
    count = 17
};
}  // namespace PlayerAction

class PlayerControls {
public:
    // The dead zone of every joystick axis.
    static constexpr float DEAD_ZONE = 0.25f;
    // The fuse timer buttons of the head-up display: "contact" and "1" to "6".
    static constexpr int DEFAULT_TIMER_BUTTONS = 7;

    // Everything 0. Digit keys choose timer buttons: digit n only when a
    // button n exists (n < num_timer_buttons); the 0 key always.
    explicit PlayerControls(int num_timer_buttons = DEFAULT_TIMER_BUTTONS);
    ~PlayerControls();
    PlayerControls(const PlayerControls&) = delete;
    PlayerControls& operator=(const PlayerControls&) = delete;

    // Action indices are 0 .. 16 and not checked.
    void press(int action) { current_[action] = 1.0f; }
    void set(int action, float value) { current_[action] = value; }
    float get(int action) const { return current_[action]; }
    // Not 0 (a NaN counts as down).
    bool is_down(int action) const { return current_[action] != 0.0f; }
    // Came down in this step.
    bool was_pressed(int action) const { return current_[action] != 0.0f && previous_[action] == 0.0f; }

    // Every action's value becomes its previous one and is cleared.
    void end_step();
    // Clears current and previous values; the device state carried from
    // poll to poll stays.
    void reset();

    // Fills the actions from the devices: the engine's keyboard, mouse and
    // joystick 0 unless another source was given.
    void poll_devices();
    // Where poll_devices reads the devices from from now on (tests script
    // a player this way); null goes back to the engine's devices.
    void set_input_source(std::unique_ptr<InputSource> source);
    // The same from a snapshot of the devices.
    void poll(const InputSnapshot& input);

private:
    float current_[PlayerAction::count];
    float previous_[PlayerAction::count];
    float last_mouse_x_ = 0.0f;
    float last_mouse_y_ = 0.0f;
    float pending_rotation_ = 0.0f;  // degrees dragged, not yet paid out
    bool right_button_was_down_ = false;
    int num_timer_buttons_;
    std::unique_ptr<InputSource> devices_;  // made on the first poll_devices
};

// The screen direction of v in degrees, clockwise from up (y grows downward):
// up 0, right 90, down 180, left 270; the zero vector gives 90.
float DirectionAngle(vector2 v);

}  // namespace vo
