#include "game/ai/player_controls.h"

#include "game/ai/input_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vo;
namespace A = PlayerAction;

InputSnapshot Screen(float mouse_x = 0, float mouse_y = 0, int buttons = 0) {
    InputSnapshot s;
    s.screen_width = 200;
    s.screen_height = 100;
    s.mouse_x = mouse_x;
    s.mouse_y = mouse_y;
    s.mouse_buttons = buttons;
    return s;
}

struct Joystick {
    std::map<int, float> axes;
    std::vector<int> buttons;
    bool connected = true;
};

struct KeyCase {
    std::string name;
    std::vector<KeyCode> keys;
    Joystick joystick;
    std::map<int, float> expected;  // every other action 0
    int timer_buttons = PlayerControls::DEFAULT_TIMER_BUTTONS;
};

TEST(PlayerControls, KeysDigitsAndTheJoystickMapToTheirActions) {
    const Joystick none{{}, {}, false};
    const std::vector<KeyCase> cases = {
        {"left arrow and A count once", {KEY_LEFT, KEY_A}, none, {{A::move, -1}}},
        {"left and right cancel", {KEY_LEFT, KEY_D}, none, {}},
        {"D", {KEY_D}, none, {{A::move, 1}}},
        {"up, down", {KEY_UP, KEY_S}, none, {{A::jump, 1}, {A::down, 1}}},
        {"W, down arrow", {KEY_W, KEY_DOWN}, none, {{A::jump, 1}, {A::down, 1}}},
        {"shifts", {KEY_LSHIFT, KEY_RSHIFT}, none, {{A::modifier, 1}}},
        {"space, tab, return", {KEY_SPACE, KEY_TAB, KEY_RETURN}, none,
         {{A::fire, 1}, {A::end_turn, 1}, {A::confirm, 1}}},
        {"the 0 key is the contact timer", {KEY_0}, none, {{A::timer_key, -1}}},
        {"the highest held digit wins", {KEY_0, KEY_3, KEY_5}, none, {{A::timer_key, 5}}},
        {"the last timer button", {KEY_6}, none, {{A::timer_key, 6}}},
        {"digits without a timer button are ignored", {KEY_3, KEY_7}, none, {{A::timer_key, 3}}},
        {"digit 9 alone chooses nothing", {KEY_9}, none, {}},
        {"with ten buttons digit 7 counts", {KEY_3, KEY_7}, none, {{A::timer_key, 7}}, 10},
        {"other keys do nothing", {KEY_B, KEY_ESCAPE, KEY_F1, KEY_NUMPAD4}, none, {}},
        {"stick beyond the dead zone replaces the keys", {KEY_LEFT}, {{{0, 0.3f}}, {}}, {{A::move, 0.3f}}},
        {"stick within the dead zone leaves them", {KEY_LEFT}, {{{0, 0.2f}}, {}}, {{A::move, -1}}},
        {"exactly the dead zone is within", {KEY_D}, {{{0, -0.25f}, {2, 0.25f}, {6, 0.25f}}, {}}, {{A::move, 1}}},
        {"stick down, buttons jump and fire", {}, {{{1, 0.3f}}, {0, 1}}, {{A::down, 1}, {A::jump, 1}, {A::fire, 1}}},
        {"stick up is not down", {}, {{{1, -0.9f}}, {}}, {}},
        {"aim axis is negated", {}, {{{2, 0.5f}}, {}}, {{A::aim, -0.5f}}},
        {"rotate buttons", {}, {{}, {4}}, {{A::rotate, -1}}},
        {"both rotate buttons cancel", {}, {{}, {4, 5}}, {}},
        {"pan axes", {}, {{{4, 0.5f}, {3, -0.75f}}, {}}, {{A::pan_x, 0.5f}, {A::pan_y, -0.75f}}},
        {"pad axes", {}, {{{6, -0.3f}, {7, 0.3f}}, {}}, {{A::timer_step, -1}, {A::pad_y, 1}}},
        {"a stick that is not connected is not read", {}, {{{0, 1}, {1, 1}}, {0, 1}, false}, {}},
    };
    for (const KeyCase& c : cases) {
        PlayerControls controls(c.timer_buttons);
        InputSnapshot in = Screen();
        for (KeyCode k : c.keys) in.keys[k] = true;
        in.joystick_connected = c.joystick.connected;
        for (const auto& axis : c.joystick.axes) in.joystick_axes[axis.first] = axis.second;
        for (int b : c.joystick.buttons) in.joystick_buttons[b] = true;
        controls.poll(in);
        for (int action = 0; action < A::count; ++action) {
            const auto it = c.expected.find(action);
            EXPECT_EQ(controls.get(action), it == c.expected.end() ? 0.0f : it->second)
                << c.name << ", action " << action;
        }
    }
}

TEST(PlayerControls, AQuarterTurnDragIsPaidOutTenDegreesAPoll) {
    PlayerControls controls;
    // The centre of the 200 x 100 area is (100, 50): from straight above it
    // to its right is a quarter turn clockwise.
    controls.poll(Screen(100, 10, MOUSE_BUTTON_RIGHT));
    EXPECT_EQ(controls.get(A::rotate_drag), 1.0f);  // the first poll only arms the drag
    EXPECT_EQ(controls.get(A::rotate), 0.0f);
    controls.poll(Screen(160, 50, MOUSE_BUTTON_RIGHT));
    EXPECT_EQ(controls.get(A::rotate_drag), 1.0f);
    EXPECT_NEAR(controls.get(A::rotate), 10.0f, 1e-4f);
    // Let go: the rest keeps coming.
    for (int poll = 2; poll <= 9; ++poll) {
        controls.poll(Screen(160, 50));
        EXPECT_EQ(controls.get(A::rotate_drag), 1.0f) << "poll " << poll;
        EXPECT_NEAR(controls.get(A::rotate), 10.0f, 1e-4f) << "poll " << poll;
    }
    controls.poll(Screen(160, 50));
    EXPECT_NEAR(controls.get(A::rotate), 0.0f, 1e-4f);
    EXPECT_EQ(controls.get(A::rotate_drag), 0.0f);
}

TEST(PlayerControls, DragsAcrossStraightUpOrDownTurnTheShortWay) {
    struct Point {
        float x, y;
    };
    struct Case {
        std::string name;
        Point from, to;
        float degrees;  // about
    };
    // 1.146 degrees: the angle of (1, 50) from the vertical, twice.
    const Case cases[] = {
        {"across the bottom, right to left: clockwise", {101, 100}, {99, 100}, 2.2918f},
        {"across the bottom, left to right", {99, 100}, {101, 100}, -2.2918f},
        {"across the top, left to right: clockwise", {99, 0}, {101, 0}, 2.2918f},
        {"across the top, right to left", {101, 0}, {99, 0}, -2.2918f},
    };
    for (const Case& c : cases) {
        PlayerControls controls;
        controls.poll(Screen(c.from.x, c.from.y, MOUSE_BUTTON_RIGHT));
        controls.poll(Screen(c.to.x, c.to.y, MOUSE_BUTTON_RIGHT));
        EXPECT_NEAR(controls.get(A::rotate), c.degrees, 1e-3f) << c.name;
        controls.poll(Screen(c.to.x, c.to.y));
        EXPECT_EQ(controls.get(A::rotate), 0.0f) << c.name << ": paid out at once";
    }
}

TEST(PlayerControls, TheLeftButtonPansByThePointersMoveAndTheWheelZooms) {
    PlayerControls controls;
    controls.poll(Screen(10, 10));
    controls.poll(Screen(30, 5));  // no button: no pan, but the position is kept
    EXPECT_EQ(controls.get(A::pan_x), 0.0f);
    EXPECT_EQ(controls.get(A::pan_y), 0.0f);
    InputSnapshot in = Screen(40, 25, MOUSE_BUTTON_LEFT);
    in.mouse_wheel = -2;
    controls.poll(in);
    EXPECT_EQ(controls.get(A::pan_x), 10.0f);
    EXPECT_EQ(controls.get(A::pan_y), -20.0f);  // upward is positive
    EXPECT_EQ(controls.get(A::zoom), -2.0f);
    EXPECT_EQ(controls.get(A::rotate_drag), 0.0f);
}

TEST(PlayerControls, WasPressedHoldsInTheStepAnActionComesDown) {
    PlayerControls controls;
    InputSnapshot held = Screen();
    held.keys[KEY_RETURN] = true;
    const bool expected[] = {true, false, false};
    for (bool e : expected) {
        controls.poll(held);
        EXPECT_TRUE(controls.is_down(A::confirm));
        EXPECT_EQ(controls.was_pressed(A::confirm), e);
    }
    controls.poll(Screen());
    EXPECT_FALSE(controls.is_down(A::confirm));
    EXPECT_FALSE(controls.was_pressed(A::confirm));
    controls.poll(held);
    EXPECT_TRUE(controls.was_pressed(A::confirm));

    // A computer player writes the actions and ends its steps itself.
    PlayerControls cpu;
    cpu.press(A::fire);
    EXPECT_TRUE(cpu.was_pressed(A::fire));
    cpu.end_step();
    EXPECT_FALSE(cpu.is_down(A::fire));
    cpu.press(A::fire);
    EXPECT_FALSE(cpu.was_pressed(A::fire));  // held through
    cpu.end_step();
    cpu.end_step();
    cpu.set(A::move, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(cpu.is_down(A::move));  // NaN counts as down
    cpu.set(A::fire, 0.5f);
    EXPECT_TRUE(cpu.was_pressed(A::fire));
    EXPECT_EQ(cpu.get(A::fire), 0.5f);
}

TEST(PlayerControls, ResetClearsTheActionsButNotTheDeviceState) {
    PlayerControls controls;
    controls.poll(Screen(100, 10, MOUSE_BUTTON_RIGHT));
    controls.poll(Screen(160, 50, MOUSE_BUTTON_RIGHT));  // 80 degrees still to pay out
    controls.press(A::jump);
    controls.reset();
    for (int action = 0; action < A::count; ++action) EXPECT_EQ(controls.get(action), 0.0f) << action;
    controls.press(A::jump);
    EXPECT_TRUE(controls.was_pressed(A::jump));
    // The drag state survives: the next poll pays out the next 10 degrees
    // and sees no pan, since the last pointer position was kept.
    controls.poll(Screen(160, 50, MOUSE_BUTTON_LEFT | MOUSE_BUTTON_RIGHT));
    EXPECT_NEAR(controls.get(A::rotate), 10.0f, 1e-4f);
    EXPECT_EQ(controls.get(A::pan_x), 0.0f);
}

TEST(DirectionAngle, MeasuresClockwiseFromUpOnTheScreen) {
    struct Row {
        float x, y, degrees;
    };
    const Row rows[] = {{0, -1, 0}, {1, 0, 90}, {0, 1, 180}, {-1, 0, 270}, {0, 0, 90},
                        {3, -3, 45}, {-2, -2, 315}, {0, -1e-30f, 0}, {5, 0, 90}};
    for (const Row& r : rows) EXPECT_NEAR(DirectionAngle(vector2(r.x, r.y)), r.degrees, 1e-4f) << r.x << ", " << r.y;
}

}  // namespace
