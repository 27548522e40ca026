#pragma once

// An Engine that records the calls made to it, for tests of call orders
// (camera, visuals, images). It draws nothing: test pixels with TestWindow.
// Buffers are the back end's real main-memory buffers, so a test can read
// back what a drawer or visual wrote into them.

#include "engine/sfml/engine.h"

#include <set>
#include <string>
#include <vector>

namespace vo_test {

class RecordingEngine : public vo::Engine {
public:
    RecordingEngine() = default;

    // Every call, one text each, for instance "translate(-3, -4, -5)" or
    // "draw_indexed(0, 4, 0, 6, 0, 3)". Floats are written as a stream
    // writes them by default; handles as "null" or a name ("texture",
    // "vertices", "indices"); colours as "(r, g, b, a)"; effects as
    // "effect(id)" or "no effect".
    std::vector<std::string> const& calls() const { return calls_; }
    // The calls whose text starts with `prefix`.
    std::vector<std::string> calls_starting_with(std::string const& prefix) const;
    void clear_calls() { calls_.clear(); }

    // What the queries answer.
    float clock = 0.0f;
    int screen_w = 800;
    int screen_h = 600;
    std::set<int> keys_down;
    float pointer_x = 0.0f;
    float pointer_y = 0.0f;
    int buttons = 0;

    // The buffers and texture bound last.
    vo::SmartPtr<vo::VertexBuffer> vertex_buffer;
    vo::SmartPtr<vo::IndexBuffer> index_buffer;
    vo::ConstSmartPtr<vo::Texture> texture;

    bool is_running() override;
    void stop() override;
    float time() override;
    bool set_event_handler(vo::IEventHandler* handler) override;
    vo::vector2 desktop_resolution() override;
    bool create_window(unsigned width, unsigned height, const char* title, unsigned style) override;
    unsigned window_width() override;
    unsigned window_height() override;
    int screen_width() override;
    int screen_height() override;
    vo::SmartPtr<vo::VertexBuffer> create_vertex_buffer() override;
    vo::SmartPtr<vo::IndexBuffer> create_index_buffer() override;
    vo::SmartPtr<vo::Texture> create_texture() override;
    vo::SmartPtr<vo::Music> create_music() override;
    vo::SmartPtr<vo::SoundBuffer> create_sound_buffer() override;
    vo::SmartPtr<vo::Sound> create_sound() override;
    bool process_events() override;
    bool is_key_down(vo::KeyCode key) override;
    float mouse_x() override;
    float mouse_y() override;
    float mouse_wheel_delta() override;
    bool mouse_buttons_down(int mask) override;
    bool joystick_connected(unsigned joystick) override;
    float joystick_axis(unsigned joystick, int axis) override;
    bool joystick_button_down(unsigned joystick, unsigned button) override;
    void set_vsync(bool on) override;
    void set_clear_color(vo::Color const& color) override;
    void clear() override;
    void display() override;
    void create_render_target(const char* name, int width, int height, bool depth_buffer) override;
    void set_effect_render_target(const char* target, vo::EffectHandle effect, int texture_index) override;
    void bind_render_target_texture(const char* name) override;
    vo::SmartPtr<vo::Texture> render_target_texture(const char* name) override;
    void set_render_target(const char* name) override;
    void push_viewport(int x, int y, int width, int height, bool relative) override;
    void pop_viewport() override;
    void push_scissor(int x, int y, int width, int height, bool relative) override;
    void pop_scissor() override;
    void set_state(int state, bool on) override;
    void set_blend_mode(int mode) override;
    void set_point_size(float size) override;
    void set_ambient_light(vo::Color const& color) override;
    void set_material_ambient(vo::Color const& color) override;
    void set_material_diffuse(vo::Color const& color) override;
    vo::EffectHandle create_effect(vo::EffectDesc const& desc) override;
    void init_effect(vo::EffectHandle effect, vo::EffectDesc const& desc) override;
    void update_effect_texture(vo::EffectHandle effect, int texture_index, vo::SmartPtr<vo::Texture> texture) override;
    void set_effect_parameter(vo::EffectHandle effect, const char* name, vo::Variant const& value) override;
    vo::EffectHandle free_effect(vo::EffectHandle effect) override;
    void apply_effect(vo::EffectHandle effect) override;
    void unapply_effect() override;
    void force_effect(vo::EffectHandle effect) override;
    void unforce_effect() override;
    void set_vertex_buffer(vo::SmartPtr<vo::VertexBuffer> const& buffer) override;
    void set_texture(vo::ConstSmartPtr<vo::Texture> const& texture) override;
    void set_texture(vo::SmartPtr<vo::Texture> const& texture) override;
    void set_index_buffer(vo::SmartPtr<vo::IndexBuffer> const& buffer) override;
    void draw_indexed(int first_vertex, int num_vertices, int first_index, int num_indices, int reserved,
                      vo::PrimitiveType type) override;
    void draw_arrays(int first, int count, vo::PrimitiveType type) override;
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

private:
    void record(std::string text) { calls_.push_back(std::move(text)); }

    std::vector<std::string> calls_;
    int next_effect_ = 1;
    unsigned window_w_ = 0;
    unsigned window_h_ = 0;
};

// A texture of a given size that loads nothing (made by
// RecordingEngine::create_texture; `create` sets its size).
class FakeTexture : public vo::Texture {
public:
    FakeTexture(unsigned width = 0, unsigned height = 0) : width_(width), height_(height) {}
    bool load(const char*) override { return false; }
    bool create(unsigned width, unsigned height) override;
    void set_repeated(bool) override {}
    void set_smooth(bool) override {}
    vo::Frame frame() const override;
    void update(unsigned, unsigned, unsigned, unsigned, const void*) override {}

private:
    unsigned width_;
    unsigned height_;
};

// Makes Engine::instance() return `engine` while it lives. Code that keeps
// the instance in a function-local static sees the engine it first fetched,
// so install it before such code first runs (for instance from a global test
// environment).
class EngineOverride {
public:
    explicit EngineOverride(vo::Engine& engine);
    ~EngineOverride();
    EngineOverride(EngineOverride const&) = delete;
    EngineOverride& operator=(EngineOverride const&) = delete;
};

}  // namespace vo_test
