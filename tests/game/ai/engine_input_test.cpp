// The player controls read the engine's real devices: keys and a mouse drag
// sent with xdotool to a window on a private X server.

#include "game/ai/input_source.h"
#include "game/ai/player_controls.h"

#include "support/engine/recording_handler.h"
#include "support/engine/test_window.h"
#include "support/engine/x_display.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace vo;
namespace A = PlayerAction;
using vo_test::PumpUntil;
using vo_test::RunXdotool;

void ExpectActions(const PlayerControls& controls, const std::map<int, float>& expected, const char* when) {
    for (int action = 0; action < A::count; ++action) {
        const auto it = expected.find(action);
        EXPECT_EQ(controls.get(action), it == expected.end() ? 0.0f : it->second) << when << ", action " << action;
    }
}

TEST(EngineInput, KeysAndALeftDragInARealWindowReachTheControls) {
    ASSERT_FALSE(vo_test::UsePrivateXServer(640, 480).empty()) << "Xvfb did not start";
    vo_test::TestWindow window(320, 240, "quorvane controls");
    Engine& engine = window.engine();
    vo_test::RecordingEventHandler handler;  // the engine keeps key state while it has a handler
    engine.set_event_handler(&handler);
    const std::string id = std::to_string(window.window().getSystemHandle());
    ASSERT_TRUE(RunXdotool({"mousemove", "--window", id, "10", "10"}));
    ASSERT_TRUE(PumpUntil(engine, [&] { return engine.mouse_x() == 10.0f && engine.mouse_y() == 10.0f; }));

    EngineInputSource source;
    const InputSnapshot screen = source.snapshot();
    EXPECT_EQ(screen.screen_width, 320.0f);
    EXPECT_EQ(screen.screen_height, 240.0f);
    EXPECT_FALSE(screen.keys.any());

    PlayerControls controls;
    controls.poll_devices();  // remembers the pointer at (10, 10)
    ExpectActions(controls, {}, "nothing held");

    for (const char* key : {"Left", "space", "3", "8", "Tab"}) ASSERT_TRUE(RunXdotool({"keydown", key}));
    ASSERT_TRUE(RunXdotool({"mousedown", "1"}));
    ASSERT_TRUE(RunXdotool({"mousemove", "--window", id, "40", "30"}));
    ASSERT_TRUE(PumpUntil(engine, [&] {
        return engine.is_key_down(KEY_LEFT) && engine.is_key_down(KEY_SPACE) && engine.is_key_down(KEY_3) &&
               engine.is_key_down(KEY_8) && engine.is_key_down(KEY_TAB) &&
               engine.mouse_buttons_down(MOUSE_BUTTON_LEFT) && engine.mouse_x() == 40.0f && engine.mouse_y() == 30.0f;
    }));
    controls.poll_devices();
    // Digit 8 has no timer button and is ignored.
    ExpectActions(controls,
                  {{A::move, -1}, {A::fire, 1}, {A::timer_key, 3}, {A::end_turn, 1}, {A::pan_x, 30}, {A::pan_y, -20}},
                  "held");
    EXPECT_TRUE(controls.was_pressed(A::fire));

    for (const char* key : {"Left", "space", "3", "8", "Tab"}) ASSERT_TRUE(RunXdotool({"keyup", key}));
    ASSERT_TRUE(RunXdotool({"mouseup", "1"}));
    ASSERT_TRUE(PumpUntil(engine, [&] {
        return !engine.is_key_down(KEY_LEFT) && !engine.is_key_down(KEY_SPACE) && !engine.is_key_down(KEY_3) &&
               !engine.is_key_down(KEY_8) && !engine.is_key_down(KEY_TAB) &&
               !engine.mouse_buttons_down(MOUSE_BUTTON_LEFT);
    }));
    controls.poll_devices();
    ExpectActions(controls, {}, "let go");
    engine.set_event_handler(nullptr);
}

}  // namespace
