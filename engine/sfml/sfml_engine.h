#pragma once

// The SFML and OpenGL implementation of Engine. Only the back end and test
// programs include this header; everything else goes through Engine.

#include "engine/sfml/engine.h"

#include <array>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sf {
class Event;
class RenderTexture;
class RenderWindow;
class Shader;
}  // namespace sf

namespace vo {

class VertexBufferDefault;
class IndexBufferDefault;

class SFML_Engine : public Engine {
public:
    // A rectangle in the graphics library's window coordinates (origin at the
    // bottom left of the drawing area).
    struct GLRect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // One shader effect; the index in the record list is the handle's id.
    struct EffectRecord {
        std::shared_ptr<sf::Shader> shader;
        std::vector<SmartPtr<Texture>> textures;
        // Samplers bound to an offscreen target's image, by sampler index:
        // re-pointed when the target is replaced.
        std::map<int, std::string> target_samplers;
    };

    SFML_Engine();
    ~SFML_Engine() override;

    bool is_running() override;
    void stop() override;
    float time() override;
    bool set_event_handler(IEventHandler* handler) override;
    vector2 desktop_resolution() override;
    bool create_window(unsigned width, unsigned height, const char* title, unsigned style) override;
    unsigned window_width() override;
    unsigned window_height() override;
    int screen_width() override;
    int screen_height() override;

    SmartPtr<VertexBuffer> create_vertex_buffer() override;
    SmartPtr<IndexBuffer> create_index_buffer() override;
    SmartPtr<Texture> create_texture() override;
    SmartPtr<Music> create_music() override;
    SmartPtr<SoundBuffer> create_sound_buffer() override;
    SmartPtr<Sound> create_sound() override;

    bool process_events() override;
    bool is_key_down(KeyCode key) override;
    float mouse_x() override;
    float mouse_y() override;
    float mouse_wheel_delta() override;
    bool mouse_buttons_down(int mask) override;
    bool joystick_connected(unsigned joystick) override;
    float joystick_axis(unsigned joystick, int axis) override;
    bool joystick_button_down(unsigned joystick, unsigned button) override;
    void set_vsync(bool on) override;

    void set_clear_color(Color const& color) override;
    void clear() override;
    void display() override;
    void create_render_target(const char* name, int width, int height, bool depth_buffer) override;
    void set_effect_render_target(const char* target, EffectHandle effect, int texture_index) override;
    void bind_render_target_texture(const char* name) override;
    SmartPtr<Texture> render_target_texture(const char* name) override;
    void set_render_target(const char* name) override;

    void push_viewport(int x, int y, int width, int height, bool relative) override;
    void pop_viewport() override;
    void push_scissor(int x, int y, int width, int height, bool relative) override;
    void pop_scissor() override;
    void set_state(int state, bool on) override;
    void set_blend_mode(int mode) override;
    void set_point_size(float size) override;
    void set_ambient_light(Color const& color) override;
    void set_material_ambient(Color const& color) override;
    void set_material_diffuse(Color const& color) override;

    EffectHandle create_effect(EffectDesc const& desc) override;
    void init_effect(EffectHandle effect, EffectDesc const& desc) override;
    void update_effect_texture(EffectHandle effect, int texture_index, SmartPtr<Texture> texture) override;
    void set_effect_parameter(EffectHandle effect, const char* name, Variant const& value) override;
    EffectHandle free_effect(EffectHandle effect) override;
    void apply_effect(EffectHandle effect) override;
    void unapply_effect() override;
    void force_effect(EffectHandle effect) override;
    void unforce_effect() override;

    void set_vertex_buffer(SmartPtr<VertexBuffer> const& buffer) override;
    void set_texture(ConstSmartPtr<Texture> const& texture) override;
    void set_texture(SmartPtr<Texture> const& texture) override;
    void set_index_buffer(SmartPtr<IndexBuffer> const& buffer) override;
    void draw_indexed(int first_vertex, int num_vertices, int first_index, int num_indices, int reserved,
                      PrimitiveType type) override;
    void draw_arrays(int first, int count, PrimitiveType type) override;

    void set_ortho(float left, float right, float bottom, float top, float near_plane, float far_plane) override;
    void set_perspective(float fovy, float aspect, float near_plane, float far_plane) override;
    void push_matrix(bool modelview, bool texture, bool projection) override;
    void pop_matrix(bool modelview, bool texture, bool projection) override;
    void get_modelview_matrix(float* out) override;
    void load_identity() override;
    void load_matrix(float const* m) override;
    void mult_matrix(float const* m) override;
    void translate(float x, float y, float z) override;
    void rotate(float degrees, float x, float y, float z) override;
    void scale(float x, float y, float z) override;
    void project(float* out_x, float* out_y, float* out_z, float x, float y, float z) override;
    void unproject(float* out_x, float* out_y, float* out_z, float x, float y, float z) override;

    // Back-end only: sets sampler "userTex" + index of a shader.
    virtual void set_effect_texture(sf::Shader& shader, int index, SmartPtr<Texture> texture);
    // Back-end only: sets one uniform of a shader from an int, float, double
    // or vector value; other kinds throw Error.
    void set_shader_parameter(sf::Shader& shader, std::string const& name, Variant const& value);

    // Handles one window event as process_events does; false for Closed.
    // process_events feeds every polled event through here, and tests feed
    // it events of their own.
    bool handle_event(sf::Event const& event);

    // The window, or null before create_window (for the back end and tests).
    sf::RenderWindow* render_window() const { return window_.get(); }
    // Shader effects made and not yet freed.
    std::size_t live_effect_count() const { return effects_.size() - free_effects_.size(); }

    // The graphics library's buttons (0 left, 1 right, 2 middle, 3 and 4 the
    // extra buttons) as engine button bits; the extra buttons and unknown
    // values give 0, so their events are ignored.
    static int mouse_button_flag(int library_button);
    // The window library's key (0 to 100) as an engine key code, -1 for keys
    // outside that range.
    static int key_code_from_library(int library_key);

private:
    void apply_viewport(GLRect const& r);
    void apply_scissor(GLRect const& r);
    GLRect to_gl_rect(int x, int y, int width, int height, bool relative, GLRect const* reference) const;
    void set_key(int code, bool down);
    bool shift_down();
    void release_held_keys();
    void sync_button(int bit, bool pressed_now);
    bool has_context() const { return window_ != nullptr; }
    bool bind_vertex_arrays();
    // The record of a handle that names a live effect, or null.
    EffectRecord* live_effect(EffectHandle const& effect);
    // Points the samplers bound to the named target at its current image.
    void repoint_target_samplers(std::string const& target);

    using Clock = std::chrono::steady_clock;
    using Matrix = std::array<float, 16>;

    Clock::time_point clock_start_;
    IEventHandler* handler_ = nullptr;
    bool running_ = true;
    std::shared_ptr<sf::RenderWindow> window_;
    unsigned window_width_ = 0;
    unsigned window_height_ = 0;
    SmartPtr<VertexBuffer> vertex_buffer_;
    SmartPtr<IndexBuffer> index_buffer_;
    ConstSmartPtr<Texture> texture_;
    std::map<std::string, std::shared_ptr<sf::RenderTexture>> render_targets_;
    std::shared_ptr<sf::RenderTexture> active_target_;
    GLRect default_viewport_;
    std::deque<GLRect> viewport_stack_;
    std::deque<GLRect> scissor_stack_;
    Color clear_color_;
    bool key_down_[KEY_COUNT] = {};
    std::vector<EffectRecord> effects_;
    std::deque<int> free_effects_;
    EffectHandle current_effect_;
    bool effect_forced_ = false;
    float mouse_x_ = 0.0f;
    float mouse_y_ = 0.0f;
    float wheel_delta_ = 0.0f;
    int mouse_buttons_ = 0;

    // The back end's own views of the bound buffers (null when the bound
    // buffer is not one of ours).
    VertexBufferDefault* bound_vertices_ = nullptr;
    IndexBufferDefault* bound_indices_ = nullptr;
    // Matrix stacks kept here rather than in the graphics library, whose
    // texture and projection stacks may hold as few as two entries.
    std::vector<Matrix> modelview_stack_;
    std::vector<Matrix> texture_stack_;
    std::vector<Matrix> projection_stack_;
};

// Makes Engine::instance() return `engine` instead of the back end (null
// restores the back end). For test programs that record the engine calls;
// install it before anything fetches the instance.
void OverrideEngineInstance(Engine* engine);

}  // namespace vo
