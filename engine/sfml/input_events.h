#pragma once

namespace vo {

// The engine's key codes. Codes below 256 are the characters the keys stand
// for (one code per letter whatever the shift state, the digit row as '0' to
// '9'); the other keys follow from 256 on. Every per-key table has KEY_COUNT
// entries, and codes that no key produces are still valid indices.
enum KeyCode : int {
    KEY_0 = 48, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
    KEY_A = 97, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
    KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
    KEY_ESCAPE = 256,
    KEY_LCONTROL, KEY_LSHIFT, KEY_LALT, KEY_LSYSTEM,
    KEY_RCONTROL, KEY_RSHIFT, KEY_RALT, KEY_RSYSTEM,
    KEY_MENU,
    KEY_LBRACKET, KEY_RBRACKET, KEY_SEMICOLON, KEY_COMMA, KEY_PERIOD, KEY_QUOTE, KEY_SLASH,
    KEY_BACKSLASH, KEY_TILDE, KEY_EQUAL, KEY_DASH,
    KEY_SPACE, KEY_RETURN, KEY_BACKSPACE, KEY_TAB,
    KEY_PAGEUP, KEY_PAGEDOWN, KEY_END, KEY_HOME, KEY_INSERT, KEY_DELETE,
    KEY_ADD, KEY_SUBTRACT, KEY_MULTIPLY, KEY_DIVIDE,
    KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN,
    KEY_NUMPAD0, KEY_NUMPAD1, KEY_NUMPAD2, KEY_NUMPAD3, KEY_NUMPAD4,
    KEY_NUMPAD5, KEY_NUMPAD6, KEY_NUMPAD7, KEY_NUMPAD8, KEY_NUMPAD9,
    KEY_F1, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8,
    KEY_F9, KEY_F10, KEY_F11, KEY_F12, KEY_F13, KEY_F14, KEY_F15,
    KEY_PAUSE,
    KEY_COUNT  // 321: size of every per-key table
};

enum KeyEvents : int { KEY_PRESSED = 1, KEY_RELEASED = 2 };

// The character a key types: 'a' to 'z', '0' to '9' and ' ' unshifted,
// 'A' to 'Z' shifted, 0 for everything else (and for codes outside the
// key range).
char KeyCodeToChar(KeyCode key, bool shifted);

class KeyEvent {
public:
    KeyEvent() : type_(KEY_PRESSED), key_(static_cast<KeyCode>(0)), character_(0) {}
    KeyEvent(KeyEvents type, KeyCode key, bool shifted)
        : type_(type), key_(key), character_(KeyCodeToChar(key, shifted)) {}

    KeyEvents type() const { return type_; }
    KeyCode key() const { return key_; }
    char character() const { return character_; }

private:
    KeyEvents type_;
    KeyCode key_;
    char character_;
};

// Mouse events from the back end are 1 to 3; the widget toolkit makes the
// others itself.
enum MouseEvents : int {
    MOUSE_PRESSED = 1,
    MOUSE_RELEASED = 2,
    MOUSE_MOVED = 3,
    MOUSE_ENTERED = 4,
    MOUSE_LEFT = 5,
    MOUSE_CLICKED = 6
};

// Button bits.
enum MouseButtons : int {
    MOUSE_BUTTON_NONE = 0,
    MOUSE_BUTTON_LEFT = 1,
    MOUSE_BUTTON_RIGHT = 2,
    MOUSE_BUTTON_MIDDLE = 4
};

class MouseEvent {
public:
    MouseEvent() : type_(MOUSE_MOVED), button_(MOUSE_BUTTON_NONE), buttons_(0), x_(0.0f), y_(0.0f) {}
    MouseEvent(MouseEvents type, MouseButtons button, int buttons, float x, float y)
        : type_(type), button_(button), buttons_(buttons), x_(x), y_(y) {}

    MouseEvents type() const { return type_; }
    // The button that changed; none for a move.
    MouseButtons button() const { return button_; }
    // The buttons held as the event is delivered.
    int pressed_buttons() const { return buttons_; }
    // True when every bit of mask is held.
    bool button_is_pressed(int mask) const { return (buttons_ & mask) == mask; }
    // Pointer position in window pixels, origin top left, y downward.
    float x() const { return x_; }
    float y() const { return y_; }

private:
    MouseEvents type_;
    MouseButtons button_;
    int buttons_;
    float x_;
    float y_;
};

// Receiver of the back end's input events. The back end ignores the results.
class IEventHandler {
public:
    IEventHandler() = default;
    IEventHandler(const IEventHandler&) = default;
    IEventHandler& operator=(const IEventHandler&) = default;
    virtual ~IEventHandler();

    virtual bool process_mouse_event(MouseEvent const& event);
    virtual bool process_key_event(KeyEvent const& event);
    // Called whenever the window is created or re-created, with the size
    // that was asked for.
    virtual void new_resolution(int width, int height);
};

}  // namespace vo
