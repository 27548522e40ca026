#include "game/ai/player_controls.h"

#include "game/ai/input_source.h"

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;
// The most degrees of dragged rotation paid out in one step.
constexpr float kMaxRotationStep = 10.0f;

bool BeyondDeadZone(float value) { return std::fabs(value) > PlayerControls::DEAD_ZONE; }

// -1 below the negative dead zone, +1 above the positive one, else 0.
float Direction(float value) {
    if (value < -PlayerControls::DEAD_ZONE) return -1.0f;
    if (value > PlayerControls::DEAD_ZONE) return 1.0f;
    return 0.0f;
}

}  // namespace

PlayerControls::PlayerControls(int num_timer_buttons) : num_timer_buttons_(num_timer_buttons) {
    std::fill(std::begin(current_), std::end(current_), 0.0f);
    std::fill(std::begin(previous_), std::end(previous_), 0.0f);
}

PlayerControls::~PlayerControls() = default;

void PlayerControls::end_step() {
    std::copy(std::begin(current_), std::end(current_), std::begin(previous_));
    std::fill(std::begin(current_), std::end(current_), 0.0f);
}

void PlayerControls::reset() {
    std::fill(std::begin(current_), std::end(current_), 0.0f);
    std::fill(std::begin(previous_), std::end(previous_), 0.0f);
}

void PlayerControls::poll_devices() {
    if (!devices_) devices_.reset(new EngineInputSource());
    poll(devices_->snapshot());
}

void PlayerControls::set_input_source(std::unique_ptr<InputSource> source) { devices_ = std::move(source); }

void PlayerControls::poll(const InputSnapshot& in) {
    using namespace PlayerAction;
    end_step();
    float* const a = current_;

    const float mx = in.mouse_x;
    const float my = in.mouse_y;

    if (in.buttons_down(MOUSE_BUTTON_LEFT)) {
        a[pan_x] = mx - last_mouse_x_;
        a[pan_y] = -(my - last_mouse_y_);
    }

    if (!in.buttons_down(MOUSE_BUTTON_RIGHT)) {
        right_button_was_down_ = false;
    } else {
        a[rotate_drag] = 1.0f;
        if (right_button_was_down_) {
            // The turn of the pointer about the centre of the drawing area
            // since the last poll, taken the short way round.
            const float cx = in.screen_width / 2.0f;
            const float cy = in.screen_height / 2.0f;
            float d = DirectionAngle(vector2(mx - cx, my - cy)) -
                      DirectionAngle(vector2(last_mouse_x_ - cx, last_mouse_y_ - cy));
            if (d > 180.0f)
                d -= 360.0f;
            else if (d < -180.0f)
                d += 360.0f;
            pending_rotation_ += d;
        }
        right_button_was_down_ = true;
    }

    // A fast drag keeps turning in steps of at most 10 degrees, also after
    // the button is let go.
    if (std::fabs(pending_rotation_) > 1e-6f) {
        a[rotate_drag] = 1.0f;
        if (pending_rotation_ > kMaxRotationStep) {
            a[rotate] = kMaxRotationStep;
            pending_rotation_ -= kMaxRotationStep;
        } else if (pending_rotation_ < -kMaxRotationStep) {
            a[rotate] = -kMaxRotationStep;
            pending_rotation_ += kMaxRotationStep;
        } else {
            a[rotate] = pending_rotation_;
            pending_rotation_ = 0.0f;
        }
    }

    a[zoom] = in.mouse_wheel;
    last_mouse_x_ = mx;
    last_mouse_y_ = my;

    if (in.key(KEY_RETURN)) a[confirm] = 1.0f;
    if (in.key(KEY_LEFT) || in.key(KEY_A)) a[move] -= 1.0f;
    if (in.key(KEY_RIGHT) || in.key(KEY_D)) a[move] += 1.0f;
    if (in.key(KEY_UP) || in.key(KEY_W)) a[jump] = 1.0f;
    if (in.key(KEY_DOWN) || in.key(KEY_S)) a[down] = 1.0f;
    if (in.key(KEY_LSHIFT) || in.key(KEY_RSHIFT)) a[modifier] = 1.0f;
    // The highest held digit wins; a digit without a timer button of its
    // number is ignored.
    for (int digit = 0; digit <= 9; ++digit) {
        if (!in.key(static_cast<KeyCode>(KEY_0 + digit))) continue;
        if (digit == 0)
            a[timer_key] = -1.0f;
        else if (digit < num_timer_buttons_)
            a[timer_key] = static_cast<float>(digit);
    }
    if (in.key(KEY_SPACE)) a[fire] = 1.0f;
    if (in.key(KEY_TAB)) a[end_turn] = 1.0f;

    if (!in.joystick_connected) return;
    const float* axis = in.joystick_axes;
    const bool* button = in.joystick_buttons;
    if (BeyondDeadZone(axis[0])) a[move] = axis[0];
    if (axis[1] > DEAD_ZONE) a[down] = 1.0f;
    if (button[0]) a[jump] = 1.0f;
    if (button[1]) a[fire] = 1.0f;
    if (BeyondDeadZone(axis[2])) a[aim] = -axis[2];
    if (button[4]) a[rotate] -= 1.0f;
    if (button[5]) a[rotate] += 1.0f;
    if (BeyondDeadZone(axis[4])) a[pan_x] = axis[4];
    if (BeyondDeadZone(axis[3])) a[pan_y] = axis[3];
    if (const float step = Direction(axis[6])) a[timer_step] = step;
    if (const float pad = Direction(axis[7])) a[pad_y] = pad;
}

float DirectionAngle(vector2 v) {
    double x = v.x;
    double y = v.y;
    const double length = std::sqrt(x * x + y * y);
    if (length > 0.0) {
        x /= length;
        y /= length;
    }
    // Rounding may carry a unit component a hair beyond 1.
    const double a = std::acos(std::clamp(y, -1.0, 1.0)) * kDegrees;
    const double b = std::asin(std::clamp(x, -1.0, 1.0)) * kDegrees;
    return static_cast<float>(b >= 0.0 ? 180.0 - a : a + 180.0);
}

}  // namespace vo
