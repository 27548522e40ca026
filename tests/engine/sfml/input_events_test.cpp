// Key and mouse events, the key tables, and the event pump's translation of
// window events, fed with real window-library events through
// SFML_Engine::handle_event.

#include "engine/sfml/sfml_engine.h"
#include "support/engine/recording_handler.h"
#include "support/engine/test_window.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <gtest/gtest.h>

namespace {

using vo::KeyCode;
using vo_test::RecordingEventHandler;

TEST(KeyCodeToChar, CharacterTables) {
    struct Case {
        int key;
        bool shifted;
        char expected;
    };
    const Case cases[] = {
        {97, false, 'a'},  {97, true, 'A'},   {122, false, 'z'}, {122, true, 'Z'}, {48, false, '0'},
        {57, false, '9'},  {49, true, 0},     {277, false, ' '}, {277, true, 0},   {256, false, 0},
        {0, false, 0},     {320, false, 0},   {65, false, 0},
        // Outside the table: no character rather than a read past it.
        {321, false, 0},   {-1, true, 0},     {100000, false, 0},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(vo::KeyCodeToChar(static_cast<KeyCode>(c.key), c.shifted), c.expected)
            << "key " << c.key << " shifted " << c.shifted;
    }
    EXPECT_EQ(vo::KeyEvent(vo::KEY_PRESSED, vo::KEY_A, true).character(), 'A');
    EXPECT_EQ(vo::KeyEvent(vo::KEY_PRESSED, vo::KEY_1, true).character(), 0);
}

TEST(MouseEvent, ButtonIsPressedWantsEveryBitOfTheMask) {
    const vo::MouseEvent e(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_RIGHT, 3, 10.0f, 20.0f);
    EXPECT_TRUE(e.button_is_pressed(1));
    EXPECT_TRUE(e.button_is_pressed(3));
    EXPECT_FALSE(e.button_is_pressed(4));
    EXPECT_FALSE(e.button_is_pressed(5));
    EXPECT_TRUE(e.button_is_pressed(0));
    EXPECT_EQ(e.pressed_buttons(), 3);
    EXPECT_FLOAT_EQ(e.x(), 10.0f);
    EXPECT_FLOAT_EQ(e.y(), 20.0f);
}

struct HandleMaker : vo::SFML_Engine {
    using vo::Engine::create_effect_handle;
};

TEST(EngineInterface, EffectHandlesAndTheOneInstance) {
    const vo::EffectHandle h = HandleMaker::create_effect_handle(vo::EFFECT_PIXEL_SHADER, 5);
    EXPECT_EQ(h.id, 5);
    EXPECT_EQ(h.type, vo::EFFECT_PIXEL_SHADER);
    EXPECT_TRUE(h.valid);
    const vo::EffectHandle invalid{};
    EXPECT_FALSE(invalid.valid);
    EXPECT_EQ(invalid.id, 0);
    EXPECT_NE(h, invalid);

    vo::Engine& a = vo::Engine::instance();
    vo::Engine& b = vo::Engine::instance();
    EXPECT_EQ(&a, &b);
    EXPECT_NE(dynamic_cast<vo::SFML_Engine*>(&a), nullptr);
    EXPECT_TRUE(a.is_running());
}

TEST(KeyTable, EveryLibraryKeyHasItsCode) {
    for (int k = sf::Keyboard::A; k <= sf::Keyboard::Z; ++k) {
        EXPECT_EQ(vo::SFML_Engine::key_code_from_library(k), 'a' + k);
    }
    for (int k = sf::Keyboard::Num0; k <= sf::Keyboard::Num9; ++k) {
        EXPECT_EQ(vo::SFML_Engine::key_code_from_library(k), '0' + (k - sf::Keyboard::Num0));
    }
    for (int k = sf::Keyboard::Escape; k <= sf::Keyboard::Pause; ++k) {
        EXPECT_EQ(vo::SFML_Engine::key_code_from_library(k), k + 220);
    }
    EXPECT_EQ(vo::SFML_Engine::key_code_from_library(sf::Keyboard::LShift), vo::KEY_LSHIFT);
    EXPECT_EQ(vo::SFML_Engine::key_code_from_library(sf::Keyboard::Space), vo::KEY_SPACE);
    EXPECT_EQ(vo::SFML_Engine::key_code_from_library(sf::Keyboard::Down), vo::KEY_DOWN);
    EXPECT_EQ(vo::SFML_Engine::key_code_from_library(sf::Keyboard::F15), 319);
    EXPECT_EQ(vo::SFML_Engine::key_code_from_library(sf::Keyboard::Unknown), -1);
    EXPECT_EQ(vo::SFML_Engine::key_code_from_library(sf::Keyboard::KeyCount), -1);
}

// ---- the event pump's translation ----

sf::Event Key(sf::Event::EventType type, sf::Keyboard::Key code) {
    sf::Event e;
    e.type = type;
    e.key.code = code;
    e.key.alt = e.key.control = e.key.shift = e.key.system = false;
    return e;
}

sf::Event Button(sf::Event::EventType type, sf::Mouse::Button button, int x, int y) {
    sf::Event e;
    e.type = type;
    e.mouseButton.button = button;
    e.mouseButton.x = x;
    e.mouseButton.y = y;
    return e;
}

sf::Event Plain(sf::Event::EventType type) {
    sf::Event e;
    e.type = type;
    return e;
}

class Translation : public ::testing::Test {
protected:
    Translation() { engine.set_event_handler(&handler); }

    vo::SFML_Engine engine;
    RecordingEventHandler handler;
};

TEST_F(Translation, RightShiftAThenReleases) {
    EXPECT_TRUE(engine.handle_event(Key(sf::Event::KeyPressed, sf::Keyboard::RShift)));
    engine.handle_event(Key(sf::Event::KeyPressed, sf::Keyboard::A));
    engine.handle_event(Key(sf::Event::KeyReleased, sf::Keyboard::A));
    engine.handle_event(Key(sf::Event::KeyReleased, sf::Keyboard::RShift));
    const auto keys = handler.key_events();
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[1].type(), vo::KEY_PRESSED);
    EXPECT_EQ(keys[1].key(), vo::KEY_A);
    EXPECT_EQ(keys[1].character(), 'A');
    EXPECT_EQ(keys[2].type(), vo::KEY_RELEASED);
    EXPECT_EQ(keys[2].character(), 'A');
    EXPECT_EQ(keys[3].key(), vo::KEY_RSHIFT);
    EXPECT_EQ(keys[3].character(), 0);
}

TEST_F(Translation, UnknownKeysAreIgnored) {
    engine.handle_event(Key(sf::Event::KeyPressed, sf::Keyboard::Unknown));
    EXPECT_TRUE(handler.events().empty());
}

TEST_F(Translation, WithoutAHandlerNoStateChanges) {
    engine.set_event_handler(nullptr);
    engine.handle_event(Key(sf::Event::KeyPressed, sf::Keyboard::W));
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Left, 7, 8));
    EXPECT_FALSE(engine.is_key_down(vo::KEY_W));
    EXPECT_FALSE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_LEFT));
    EXPECT_FLOAT_EQ(engine.mouse_x(), 0.0f);
    EXPECT_TRUE(handler.events().empty());
}

TEST_F(Translation, SecondPressOfAHeldButtonReleasesItFirst) {
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Left, 1, 2));
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Left, 3, 4));
    const auto mouse = handler.mouse_events();
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[1].type(), vo::MOUSE_RELEASED);
    EXPECT_EQ(mouse[1].button(), vo::MOUSE_BUTTON_LEFT);
    EXPECT_EQ(mouse[1].pressed_buttons(), 1);  // sent before the mask changes
    EXPECT_FLOAT_EQ(mouse[1].x(), 3.0f);
    EXPECT_EQ(mouse[2].type(), vo::MOUSE_PRESSED);
    EXPECT_EQ(mouse[2].pressed_buttons(), 1);
    EXPECT_TRUE(engine.mouse_buttons_down(1));
}

TEST_F(Translation, ButtonMasksTrackEveryButton) {
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Middle, 5, 6));
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Right, 5, 6));
    EXPECT_TRUE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_MIDDLE | vo::MOUSE_BUTTON_RIGHT));
    engine.handle_event(Button(sf::Event::MouseButtonReleased, sf::Mouse::Middle, 9, 10));
    const auto mouse = handler.mouse_events();
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[0].pressed_buttons(), 4);
    EXPECT_EQ(mouse[1].pressed_buttons(), 6);
    EXPECT_EQ(mouse[2].button(), vo::MOUSE_BUTTON_MIDDLE);
    EXPECT_EQ(mouse[2].pressed_buttons(), 2);
    EXPECT_FLOAT_EQ(engine.mouse_x(), 9.0f);
    EXPECT_FLOAT_EQ(engine.mouse_y(), 10.0f);
}

TEST_F(Translation, ExtraButtonsChangeNothing) {
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Left, 1, 1));
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::XButton1, 50, 60));
    engine.handle_event(Button(sf::Event::MouseButtonReleased, sf::Mouse::XButton2, 50, 60));
    engine.handle_event(Button(sf::Event::MouseButtonReleased, sf::Mouse::XButton1, 50, 60));
    EXPECT_EQ(handler.mouse_events().size(), 1u);
    EXPECT_TRUE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_LEFT));
    EXPECT_FALSE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_RIGHT));
    EXPECT_FLOAT_EQ(engine.mouse_x(), 1.0f);
}

TEST_F(Translation, MoveCarriesTheHeldButtons) {
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Right, 0, 0));
    sf::Event move = Plain(sf::Event::MouseMoved);
    move.mouseMove.x = 30;
    move.mouseMove.y = 40;
    engine.handle_event(move);
    const auto mouse = handler.mouse_events();
    ASSERT_EQ(mouse.size(), 2u);
    EXPECT_EQ(mouse[1].type(), vo::MOUSE_MOVED);
    EXPECT_EQ(mouse[1].button(), vo::MOUSE_BUTTON_NONE);
    EXPECT_EQ(mouse[1].pressed_buttons(), 2);
    EXPECT_FLOAT_EQ(engine.mouse_y(), 40.0f);
}

TEST_F(Translation, EnteringAfterAReleaseOutsideReleasesTheButton) {
    // Nobody presses the buttons of this display, so the live state says
    // every button is up. (The window keeps the display connection open for
    // the live queries.)
    vo_test::TestWindow window(32, 32);
    engine.handle_event(Button(sf::Event::MouseButtonPressed, sf::Mouse::Left, 1, 1));
    handler.clear();
    engine.handle_event(Plain(sf::Event::MouseEntered));
    const auto mouse = handler.mouse_events();
    ASSERT_EQ(mouse.size(), 1u);
    EXPECT_EQ(mouse[0].type(), vo::MOUSE_RELEASED);
    EXPECT_EQ(mouse[0].button(), vo::MOUSE_BUTTON_LEFT);
    EXPECT_EQ(mouse[0].pressed_buttons(), 0);
    EXPECT_FALSE(engine.mouse_buttons_down(vo::MOUSE_BUTTON_LEFT));
}

TEST_F(Translation, LosingTheFocusReleasesHeldKeys) {
    engine.handle_event(Key(sf::Event::KeyPressed, sf::Keyboard::LShift));
    engine.handle_event(Key(sf::Event::KeyPressed, sf::Keyboard::D));
    handler.clear();
    engine.handle_event(Plain(sf::Event::LostFocus));
    EXPECT_FALSE(engine.is_key_down(vo::KEY_D));
    EXPECT_FALSE(engine.is_key_down(vo::KEY_LSHIFT));
    const auto keys = handler.key_events();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].type(), vo::KEY_RELEASED);
    EXPECT_EQ(keys[0].key(), vo::KEY_D);
    EXPECT_EQ(keys[0].character(), 'D');  // shift still held then
    EXPECT_EQ(keys[1].key(), vo::KEY_LSHIFT);
    // Nothing is held any more: a second loss sends nothing.
    engine.handle_event(Plain(sf::Event::LostFocus));
    EXPECT_EQ(handler.key_events().size(), 2u);
}

TEST_F(Translation, ClosedIsReportedAndOtherKindsIgnored) {
    EXPECT_FALSE(engine.handle_event(Plain(sf::Event::Closed)));
    sf::Event resized = Plain(sf::Event::Resized);
    resized.size.width = 10;
    resized.size.height = 10;
    EXPECT_TRUE(engine.handle_event(resized));
    EXPECT_TRUE(engine.handle_event(Plain(sf::Event::GainedFocus)));
    sf::Event text = Plain(sf::Event::TextEntered);
    text.text.unicode = 'x';
    EXPECT_TRUE(engine.handle_event(text));
    EXPECT_TRUE(handler.events().empty());
}

TEST_F(Translation, WheelMovesTheDeltaOnly) {
    sf::Event wheel = Plain(sf::Event::MouseWheelMoved);
    wheel.mouseWheel.delta = -2;
    wheel.mouseWheel.x = wheel.mouseWheel.y = 0;
    engine.handle_event(wheel);
    EXPECT_FLOAT_EQ(engine.mouse_wheel_delta(), -2.0f);
    EXPECT_TRUE(handler.events().empty());
    // A pass with no window events starts with the delta cleared.
    EXPECT_TRUE(engine.process_events());
    EXPECT_FLOAT_EQ(engine.mouse_wheel_delta(), 0.0f);
}

TEST(InputQueries, OutOfRangeArgumentsAnswerNothing) {
    vo::SFML_Engine engine;
    EXPECT_FALSE(engine.is_key_down(static_cast<KeyCode>(321)));
    EXPECT_FALSE(engine.is_key_down(static_cast<KeyCode>(-5)));
    EXPECT_FALSE(engine.is_key_down(static_cast<KeyCode>(1 << 30)));
    EXPECT_FALSE(engine.joystick_connected(8));
    EXPECT_FALSE(engine.joystick_connected(0xFFFFFFFFu));
    EXPECT_FLOAT_EQ(engine.joystick_axis(0, 8), 0.0f);
    EXPECT_FLOAT_EQ(engine.joystick_axis(0, -1), 0.0f);
    EXPECT_FLOAT_EQ(engine.joystick_axis(100, 0), 0.0f);
    EXPECT_FALSE(engine.joystick_button_down(0, 32));
    EXPECT_FALSE(engine.joystick_button_down(9, 0));
    // No joystick is plugged into this machine.
    EXPECT_FALSE(engine.joystick_connected(0));
    EXPECT_FLOAT_EQ(engine.joystick_axis(0, 1), 0.0f);
    EXPECT_TRUE(engine.mouse_buttons_down(0));
}

}  // namespace
