// Real input into a real window: xdotool drives a private X server, and the
// engine's event pump turns what arrives into key and mouse events.

#include "engine/sfml/sfml_engine.h"
#include "support/engine/recording_handler.h"
#include "support/engine/test_window.h"
#include "support/engine/x_display.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using vo_test::RecordingEventHandler;
using vo_test::PumpUntil;
using vo_test::RunXdotool;

class PrivateDisplay : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_FALSE(vo_test::UsePrivateXServer().empty()) << "Xvfb did not start"; }
};

const auto* const g_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

class LiveInput : public ::testing::Test {
protected:
    void SetUp() override {
        engine.set_event_handler(&handler);
        window_id = std::to_string(window.window().getSystemHandle());
        // Start from a known pointer position inside the window, once the
        // window sees the pointer there.
        ASSERT_TRUE(RunXdotool({"mousemove", "--window", window_id, "6", "6"}));
        ASSERT_TRUE(RunXdotool({"mousemove", "--window", window_id, "5", "5"}));
        ASSERT_TRUE(PumpUntil(engine, [&] { return engine.mouse_x() == 5.0f && engine.mouse_y() == 5.0f; }));
        handler.clear();
    }
    void TearDown() override { engine.set_event_handler(nullptr); }

    size_t count_keys() const { return handler.key_events().size(); }
    size_t count_mouse() const { return handler.mouse_events().size(); }

    vo_test::TestWindow window{320, 240};
    vo::Engine& engine = window.engine();
    RecordingEventHandler handler;
    std::string window_id;
};

TEST_F(LiveInput, ShiftAGivesTheKeyEventsWithCapitalA) {
    ASSERT_TRUE(RunXdotool({"keydown", "Shift_L"}));
    ASSERT_TRUE(RunXdotool({"key", "a"}));
    ASSERT_TRUE(RunXdotool({"keyup", "Shift_L"}));
    ASSERT_TRUE(PumpUntil(engine, [&] { return count_keys() >= 4; }));
    const auto keys = handler.key_events();
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].type(), vo::KEY_PRESSED);
    EXPECT_EQ(keys[0].key(), vo::KEY_LSHIFT);
    EXPECT_EQ(keys[1].type(), vo::KEY_PRESSED);
    EXPECT_EQ(keys[1].key(), vo::KEY_A);
    EXPECT_EQ(keys[1].character(), 'A');
    EXPECT_EQ(keys[2].type(), vo::KEY_RELEASED);
    EXPECT_EQ(keys[2].key(), vo::KEY_A);
    EXPECT_EQ(keys[2].character(), 'A');  // shift still held
    EXPECT_EQ(keys[3].type(), vo::KEY_RELEASED);
    EXPECT_EQ(keys[3].key(), vo::KEY_LSHIFT);
    EXPECT_FALSE(engine.is_key_down(vo::KEY_A));
    EXPECT_FALSE(engine.is_key_down(vo::KEY_LSHIFT));
}

TEST_F(LiveInput, KeyStateFollowsKeyDownAndUp) {
    ASSERT_TRUE(RunXdotool({"keydown", "Right"}));
    ASSERT_TRUE(PumpUntil(engine, [&] { return engine.is_key_down(vo::KEY_RIGHT); }));
    EXPECT_FALSE(engine.is_key_down(vo::KEY_LEFT));
    ASSERT_TRUE(RunXdotool({"keyup", "Right"}));
    ASSERT_TRUE(PumpUntil(engine, [&] { return !engine.is_key_down(vo::KEY_RIGHT); }));
}

TEST_F(LiveInput, PressMoveReleaseGiveTypesOneThreeTwo) {
    ASSERT_TRUE(RunXdotool({"mousemove", "--window", window_id, "40", "30"}));
    ASSERT_TRUE(RunXdotool({"mousedown", "1"}));
    ASSERT_TRUE(RunXdotool({"mousemove", "--window", window_id, "60", "50"}));
    ASSERT_TRUE(RunXdotool({"mouseup", "1"}));
    ASSERT_TRUE(PumpUntil(engine, [&] {
        const auto m = handler.mouse_events();
        return !m.empty() && m.back().type() == vo::MOUSE_RELEASED;
    }));
    // Keep press, moves and the release; the first move to (40, 30) came
    // before the press.
    std::vector<vo::MouseEvent> seen;
    bool pressed = false;
    for (auto const& e : handler.mouse_events()) {
        if (e.type() == vo::MOUSE_PRESSED) pressed = true;
        if (pressed) seen.push_back(e);
    }
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front().type(), vo::MOUSE_PRESSED);
    EXPECT_EQ(seen.front().button(), vo::MOUSE_BUTTON_LEFT);
    EXPECT_EQ(seen.front().pressed_buttons(), 1);
    EXPECT_FLOAT_EQ(seen.front().x(), 40.0f);
    EXPECT_FLOAT_EQ(seen.front().y(), 30.0f);
    for (size_t i = 1; i + 1 < seen.size(); ++i) {
        EXPECT_EQ(seen[i].type(), vo::MOUSE_MOVED);
        EXPECT_EQ(seen[i].button(), vo::MOUSE_BUTTON_NONE);
        EXPECT_EQ(seen[i].pressed_buttons(), 1);
    }
    EXPECT_EQ(seen.back().type(), vo::MOUSE_RELEASED);
    EXPECT_EQ(seen.back().button(), vo::MOUSE_BUTTON_LEFT);
    EXPECT_EQ(seen.back().pressed_buttons(), 0);
    EXPECT_FLOAT_EQ(seen.back().x(), 60.0f);
    EXPECT_FLOAT_EQ(seen.back().y(), 50.0f);
    EXPECT_FLOAT_EQ(engine.mouse_x(), 60.0f);
    EXPECT_FLOAT_EQ(engine.mouse_y(), 50.0f);
    EXPECT_TRUE(engine.mouse_buttons_down(0));
    EXPECT_FALSE(engine.mouse_buttons_down(1));
}

TEST_F(LiveInput, RightButtonHeldShowsInTheMask) {
    ASSERT_TRUE(RunXdotool({"mousedown", "3"}));
    ASSERT_TRUE(PumpUntil(engine, [&] { return engine.mouse_buttons_down(vo::MOUSE_BUTTON_RIGHT); }));
    EXPECT_FALSE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_LEFT | vo::MOUSE_BUTTON_RIGHT));
    ASSERT_TRUE(RunXdotool({"mouseup", "3"}));
    ASSERT_TRUE(PumpUntil(engine, [&] { return !engine.mouse_buttons_down(vo::MOUSE_BUTTON_RIGHT); }));
}

TEST_F(LiveInput, SideButtonsAreIgnored) {
    // X buttons 8 and 9 are the window library's two extra buttons.
    ASSERT_TRUE(RunXdotool({"mousedown", "8"}));
    ASSERT_TRUE(RunXdotool({"mouseup", "8"}));
    ASSERT_TRUE(RunXdotool({"key", "b"}));  // a marker behind them
    ASSERT_TRUE(PumpUntil(engine, [&] { return count_keys() >= 2; }));
    EXPECT_EQ(count_mouse(), 0u);
    EXPECT_TRUE(engine.mouse_buttons_down(0));
    EXPECT_FALSE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_LEFT));
}

TEST_F(LiveInput, WheelDeltaLastsOnePass) {
    ASSERT_TRUE(RunXdotool({"click", "4"}));  // wheel up
    ASSERT_TRUE(PumpUntil(engine, [&] { return engine.mouse_wheel_delta() != 0.0f; }));
    EXPECT_FLOAT_EQ(engine.mouse_wheel_delta(), 1.0f);
    EXPECT_EQ(count_mouse(), 0u);  // the wheel sends no mouse event
    ASSERT_TRUE(engine.process_events());
    EXPECT_FLOAT_EQ(engine.mouse_wheel_delta(), 0.0f);
}

TEST_F(LiveInput, ClosingTheWindowEndsEventPollingAndKeepsLaterEvents) {
    ASSERT_TRUE(vo_test::SendCloseRequest(window.window().getSystemHandle()));
    ASSERT_TRUE(RunXdotool({"key", "c"}));
    bool closed = false;
    PumpUntil(engine, [] { return false; }, 3.0, &closed);
    ASSERT_TRUE(closed);
    // The key behind the close request is delivered by the next calls.
    EXPECT_TRUE(PumpUntil(engine, [&] { return count_keys() >= 2; }));
    EXPECT_EQ(handler.key_events().front().key(), vo::KEY_C);
}

TEST_F(LiveInput, WithoutAHandlerNothingChanges) {
    engine.set_event_handler(nullptr);
    ASSERT_TRUE(RunXdotool({"keydown", "d"}));
    ASSERT_TRUE(RunXdotool({"mousedown", "1"}));
    PumpUntil(engine, [] { return false; }, 0.3);
    EXPECT_FALSE(engine.is_key_down(vo::KEY_D));
    EXPECT_FALSE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_LEFT));
    EXPECT_TRUE(handler.events().empty());
    RunXdotool({"keyup", "d"});
    RunXdotool({"mouseup", "1"});
}

}  // namespace

namespace {

TEST_F(LiveInput, EnteringWithAButtonPressedOutsideCatchesUp) {
    // Press on the bare screen beside the window, then move in: the window
    // never saw the press, and learns of it when the pointer enters.
    ASSERT_TRUE(RunXdotool({"mousemove", "0", "0"}));
    ASSERT_TRUE(RunXdotool({"mousedown", "1"}));
    ASSERT_TRUE(RunXdotool({"mousemove", "--window", window_id, "20", "25"}));
    ASSERT_TRUE(PumpUntil(engine, [&] { return engine.mouse_buttons_down(vo::MOUSE_BUTTON_LEFT); }));
    const auto mouse = handler.mouse_events();
    auto press = std::find_if(mouse.begin(), mouse.end(), [](vo::MouseEvent const& e) { return e.type() == vo::MOUSE_PRESSED; });
    ASSERT_NE(press, mouse.end());
    EXPECT_EQ(press->button(), vo::MOUSE_BUTTON_LEFT);
    EXPECT_EQ(press->pressed_buttons(), 1);
    RunXdotool({"mouseup", "1"});
}

}  // namespace
