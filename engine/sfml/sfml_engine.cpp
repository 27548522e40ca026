#include "engine/sfml/sfml_engine.h"

#include "engine/core/profiler.h"
#include "engine/sfml/audio_device.h"
#include "engine/sfml/default_buffers.h"
#include "engine/sfml/sfml_audio.h"
#include "engine/sfml/silent_audio.h"
#include "engine/sfml/sfml_texture.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <cstdio>
#include <locale>

namespace vo {

namespace {

Engine* g_instance_override = nullptr;

// The window library's keys from Escape to Pause follow the engine's codes
// 256 to 320 in the same order.
constexpr int LIBRARY_KEY_OFFSET = KEY_ESCAPE - sf::Keyboard::Escape;
static_assert(LIBRARY_KEY_OFFSET == 220, "key tables out of line");
static_assert(sf::Keyboard::Pause + LIBRARY_KEY_OFFSET == KEY_PAUSE, "key tables out of line");

struct KeyTable {
    int codes[sf::Keyboard::KeyCount];
    KeyTable() {
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k) codes[k] = -1;
        for (int k = sf::Keyboard::A; k <= sf::Keyboard::Z; ++k) codes[k] = KEY_A + (k - sf::Keyboard::A);
        for (int k = sf::Keyboard::Num0; k <= sf::Keyboard::Num9; ++k) codes[k] = KEY_0 + (k - sf::Keyboard::Num0);
        for (int k = sf::Keyboard::Escape; k <= sf::Keyboard::Pause; ++k) codes[k] = k + LIBRARY_KEY_OFFSET;
    }
};

const sf::Joystick::Axis JOYSTICK_AXES[sf::Joystick::AxisCount] = {
    sf::Joystick::X, sf::Joystick::Y, sf::Joystick::Z,    sf::Joystick::R,
    sf::Joystick::U, sf::Joystick::V, sf::Joystick::PovX, sf::Joystick::PovY};

constexpr std::size_t MATRIX_STACK_RESERVE = 64;

}  // namespace

Engine::~Engine() = default;

EffectHandle Engine::create_effect_handle(EffectType type, int id) { return EffectHandle(id, type, true); }

Engine& Engine::instance() {
    if (g_instance_override) return *g_instance_override;
    static SFML_Engine engine;
    return engine;
}

void OverrideEngineInstance(Engine* engine) { g_instance_override = engine; }

SFML_Engine::SFML_Engine() : clear_color_(0.2f, 0.2f, 0.2f, 1.0f) {
    modelview_stack_.reserve(MATRIX_STACK_RESERVE);
    texture_stack_.reserve(MATRIX_STACK_RESERVE);
    projection_stack_.reserve(MATRIX_STACK_RESERVE);
    clock_start_ = Clock::now();
}

SFML_Engine::~SFML_Engine() = default;

int SFML_Engine::mouse_button_flag(int library_button) {
    switch (library_button) {
        case sf::Mouse::Left: return MOUSE_BUTTON_LEFT;
        case sf::Mouse::Right: return MOUSE_BUTTON_RIGHT;
        case sf::Mouse::Middle: return MOUSE_BUTTON_MIDDLE;
        default: return 0;
    }
}

int SFML_Engine::key_code_from_library(int library_key) {
    static const KeyTable table;
    if (library_key < 0 || library_key >= sf::Keyboard::KeyCount) return -1;
    return table.codes[library_key];
}

bool SFML_Engine::is_running() { return running_; }

void SFML_Engine::stop() {
    std::fputs("STOPPING ENGINE\n", stdout);
    std::fflush(stdout);
    effects_.clear();
    free_effects_.clear();
    current_effect_ = EffectHandle();
    effect_forced_ = false;
    texture_ = nullptr;
    vertex_buffer_ = nullptr;
    index_buffer_ = nullptr;
    bound_vertices_ = nullptr;
    bound_indices_ = nullptr;
    if (window_) window_->close();
    running_ = false;
}

float SFML_Engine::time() {
    return std::chrono::duration<float>(Clock::now() - clock_start_).count();
}

bool SFML_Engine::set_event_handler(IEventHandler* handler) {
    handler_ = handler;
    return true;
}

vector2 SFML_Engine::desktop_resolution() {
    const sf::VideoMode mode = sf::VideoMode::getDesktopMode();
    return vector2(static_cast<float>(mode.width), static_cast<float>(mode.height));
}

bool SFML_Engine::create_window(unsigned width, unsigned height, const char* title, unsigned style) {
    const sf::ContextSettings settings;  // library defaults: no depth, stencil or antialiasing
    const sf::VideoMode mode(width, height, 32);
    const sf::String window_title(title ? title : "", std::locale());
    if (!window_) {
        window_ = std::make_shared<sf::RenderWindow>(mode, window_title, style, settings);
    } else {
        window_->create(mode, window_title, style, settings);
    }
    window_->setVerticalSyncEnabled(true);
    window_width_ = width;
    window_height_ = height;

    const sf::Vector2u size = window_->getSize();
    default_viewport_ = GLRect{0, 0, static_cast<int>(size.x), static_cast<int>(size.y)};
    window_->setActive(true);
    apply_viewport(default_viewport_);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);

    if (handler_) handler_->new_resolution(static_cast<int>(width), static_cast<int>(height));
    return window_->isOpen();
}

unsigned SFML_Engine::window_width() { return window_width_; }
unsigned SFML_Engine::window_height() { return window_height_; }
int SFML_Engine::screen_width() { return default_viewport_.width; }
int SFML_Engine::screen_height() { return default_viewport_.height; }

SmartPtr<VertexBuffer> SFML_Engine::create_vertex_buffer() {
    return SmartPtr<VertexBuffer>(new VertexBufferDefault());
}

SmartPtr<IndexBuffer> SFML_Engine::create_index_buffer() { return SmartPtr<IndexBuffer>(new IndexBufferDefault()); }

SmartPtr<Texture> SFML_Engine::create_texture() { return SmartPtr<Texture>(new SFML_Texture()); }

// Without an audio device, sounds and music are silent stand-ins: no object
// of the audio library is made, so nothing calls into the missing device.
SmartPtr<Music> SFML_Engine::create_music() {
    if (!AudioDeviceOpens()) return SmartPtr<Music>(new SilentMusic());
    return SmartPtr<Music>(new SFML_Music());
}

SmartPtr<SoundBuffer> SFML_Engine::create_sound_buffer() {
    if (!AudioDeviceOpens()) return SmartPtr<SoundBuffer>(new SilentSoundBuffer());
    return SmartPtr<SoundBuffer>(new SFML_SoundBuffer());
}

SmartPtr<Sound> SFML_Engine::create_sound() {
    if (!AudioDeviceOpens()) return SmartPtr<Sound>(new SilentSound());
    return SmartPtr<Sound>(new SFML_Sound());
}

bool SFML_Engine::process_events() {
    VO_PROFILE_ZONE("engine_processEvents");
    wheel_delta_ = 0.0f;
    if (!window_) return true;
    sf::Event event;
    while (window_->pollEvent(event)) {
        if (!handle_event(event)) return false;
    }
    return true;
}

bool SFML_Engine::handle_event(sf::Event const& event) {
    if (event.type == sf::Event::Closed) return false;
    if (!handler_) return true;

    switch (event.type) {
        case sf::Event::KeyPressed:
        case sf::Event::KeyReleased: {
            const int code = key_code_from_library(event.key.code);
            if (code < 0) break;
            const bool pressed = event.type == sf::Event::KeyPressed;
            key_down_[code] = pressed;
            const bool shifted = shift_down();
            handler_->process_key_event(
                KeyEvent(pressed ? KEY_PRESSED : KEY_RELEASED, static_cast<KeyCode>(code), shifted));
            break;
        }
        case sf::Event::MouseWheelMoved:
            wheel_delta_ = static_cast<float>(event.mouseWheel.delta);
            break;
        case sf::Event::MouseButtonPressed: {
            const int bit = mouse_button_flag(event.mouseButton.button);
            if (bit == 0) break;  // the extra buttons have no engine bit: ignored
            mouse_x_ = static_cast<float>(event.mouseButton.x);
            mouse_y_ = static_cast<float>(event.mouseButton.y);
            const MouseButtons button = static_cast<MouseButtons>(bit);
            if ((mouse_buttons_ & bit) == bit) {
                // A press of a button still held: release it first.
                handler_->process_mouse_event(MouseEvent(MOUSE_RELEASED, button, mouse_buttons_, mouse_x_, mouse_y_));
            }
            mouse_buttons_ |= bit;
            handler_->process_mouse_event(MouseEvent(MOUSE_PRESSED, button, mouse_buttons_, mouse_x_, mouse_y_));
            break;
        }
        case sf::Event::MouseButtonReleased: {
            const int bit = mouse_button_flag(event.mouseButton.button);
            if (bit == 0) break;
            mouse_x_ = static_cast<float>(event.mouseButton.x);
            mouse_y_ = static_cast<float>(event.mouseButton.y);
            mouse_buttons_ &= ~bit;
            handler_->process_mouse_event(
                MouseEvent(MOUSE_RELEASED, static_cast<MouseButtons>(bit), mouse_buttons_, mouse_x_, mouse_y_));
            break;
        }
        case sf::Event::MouseMoved:
            mouse_x_ = static_cast<float>(event.mouseMove.x);
            mouse_y_ = static_cast<float>(event.mouseMove.y);
            handler_->process_mouse_event(MouseEvent(MOUSE_MOVED, MOUSE_BUTTON_NONE, mouse_buttons_, mouse_x_, mouse_y_));
            break;
        case sf::Event::MouseEntered: {
            if (window_) {
                const sf::Vector2i position = sf::Mouse::getPosition(*window_);
                mouse_x_ = static_cast<float>(position.x);
                mouse_y_ = static_cast<float>(position.y);
            }
            sync_button(MOUSE_BUTTON_LEFT, sf::Mouse::isButtonPressed(sf::Mouse::Left));
            sync_button(MOUSE_BUTTON_RIGHT, sf::Mouse::isButtonPressed(sf::Mouse::Right));
            sync_button(MOUSE_BUTTON_MIDDLE, sf::Mouse::isButtonPressed(sf::Mouse::Middle));
            break;
        }
        case sf::Event::LostFocus:
            // Keys released while another window has the focus never reach
            // us: let go of every key still held.
            release_held_keys();
            break;
        default:
            break;
    }
    return true;
}

void SFML_Engine::sync_button(int bit, bool pressed_now) {
    const bool held = (mouse_buttons_ & bit) != 0;
    if (held == pressed_now) return;
    if (pressed_now) {
        mouse_buttons_ |= bit;
    } else {
        mouse_buttons_ &= ~bit;
    }
    handler_->process_mouse_event(MouseEvent(pressed_now ? MOUSE_PRESSED : MOUSE_RELEASED,
                                             static_cast<MouseButtons>(bit), mouse_buttons_, mouse_x_, mouse_y_));
}

void SFML_Engine::release_held_keys() {
    for (int code = 0; code < KEY_COUNT; ++code) {
        if (!key_down_[code]) continue;
        key_down_[code] = false;
        handler_->process_key_event(KeyEvent(KEY_RELEASED, static_cast<KeyCode>(code), shift_down()));
    }
}

bool SFML_Engine::shift_down() { return is_key_down(KEY_LSHIFT) || is_key_down(KEY_RSHIFT); }

bool SFML_Engine::is_key_down(KeyCode key) {
    const int index = static_cast<int>(key);
    return index >= 0 && index < KEY_COUNT && key_down_[index];
}

float SFML_Engine::mouse_x() { return mouse_x_; }
float SFML_Engine::mouse_y() { return mouse_y_; }
float SFML_Engine::mouse_wheel_delta() { return wheel_delta_; }
bool SFML_Engine::mouse_buttons_down(int mask) { return (mouse_buttons_ & mask) == mask; }

bool SFML_Engine::joystick_connected(unsigned joystick) {
    return joystick < sf::Joystick::Count && sf::Joystick::isConnected(joystick);
}

float SFML_Engine::joystick_axis(unsigned joystick, int axis) {
    if (joystick >= sf::Joystick::Count || axis < 0 || axis >= sf::Joystick::AxisCount) return 0.0f;
    return sf::Joystick::getAxisPosition(joystick, JOYSTICK_AXES[axis]) / 100.0f;
}

bool SFML_Engine::joystick_button_down(unsigned joystick, unsigned button) {
    if (joystick >= sf::Joystick::Count || button >= sf::Joystick::ButtonCount) return false;
    return sf::Joystick::isButtonPressed(joystick, button);
}

void SFML_Engine::set_vsync(bool on) {
    if (window_) window_->setVerticalSyncEnabled(on);
}

}  // namespace vo
