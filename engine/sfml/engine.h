#pragma once

#include "engine/core/color.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/variant.h"
#include "engine/core/vector.h"
#include "engine/sfml/audio.h"
#include "engine/sfml/buffers.h"
#include "engine/sfml/effect.h"
#include "engine/sfml/input_events.h"
#include "engine/sfml/texture.h"

namespace vo {

enum PrimitiveType : int {
    PRIMITIVE_POINTS = 0,
    PRIMITIVE_LINES = 1,
    PRIMITIVE_LINE_STRIP = 2,
    PRIMITIVE_TRIANGLES = 3,
    PRIMITIVE_TRIANGLE_STRIP = 4
};

// Capabilities switched with Engine::set_state.
enum RenderState : int { STATE_TEXTURING = 0, STATE_LIGHTING = 1, STATE_BLENDING = 2 };

// Blend functions of Engine::set_blend_mode.
enum BlendMode : int {
    BLEND_ALPHA = 0,     // source alpha, one minus source alpha
    BLEND_ADDITIVE = 1,  // one, one
    BLEND_MULTIPLY = 2   // zero, source colour
};

// The one interface to the rendering, input and audio back end. The process
// holds exactly one instance, reached through Engine::instance(). The order of
// the virtual operations is part of the interface between the library and the
// game program: append, never reorder.
class Engine {
public:
    // The process-wide back end, made on the first call.
    static Engine& instance();

    Engine(const Engine&) {}
    Engine& operator=(const Engine&) { return *this; }
    virtual ~Engine();

    // Lifetime and window.
    virtual bool is_running() = 0;
    virtual void stop() = 0;
    virtual float time() = 0;
    virtual bool set_event_handler(IEventHandler* handler) = 0;
    virtual vector2 desktop_resolution() = 0;
    virtual bool create_window(unsigned width, unsigned height, const char* title, unsigned style) = 0;
    virtual unsigned window_width() = 0;
    virtual unsigned window_height() = 0;
    virtual int screen_width() = 0;
    virtual int screen_height() = 0;

    // Factories.
    virtual SmartPtr<VertexBuffer> create_vertex_buffer() = 0;
    virtual SmartPtr<IndexBuffer> create_index_buffer() = 0;
    virtual SmartPtr<Texture> create_texture() = 0;
    virtual SmartPtr<Music> create_music() = 0;
    virtual SmartPtr<SoundBuffer> create_sound_buffer() = 0;
    virtual SmartPtr<Sound> create_sound() = 0;

    // Input.
    virtual bool process_events() = 0;
    virtual bool is_key_down(KeyCode key) = 0;
    virtual float mouse_x() = 0;
    virtual float mouse_y() = 0;
    virtual float mouse_wheel_delta() = 0;
    virtual bool mouse_buttons_down(int mask) = 0;
    virtual bool joystick_connected(unsigned joystick) = 0;
    virtual float joystick_axis(unsigned joystick, int axis) = 0;
    virtual bool joystick_button_down(unsigned joystick, unsigned button) = 0;
    virtual void set_vsync(bool on) = 0;

    // Frames and offscreen targets.
    virtual void set_clear_color(Color const& color) = 0;
    virtual void clear() = 0;
    virtual void display() = 0;
    virtual void create_render_target(const char* name, int width, int height, bool depth_buffer) = 0;
    virtual void set_effect_render_target(const char* target, EffectHandle effect, int texture_index) = 0;
    virtual void bind_render_target_texture(const char* name) = 0;
    virtual SmartPtr<Texture> render_target_texture(const char* name) = 0;
    virtual void set_render_target(const char* name) = 0;

    // Viewport, scissor and render state. Rectangles are given with y
    // measured downward from the top of the reference area.
    virtual void push_viewport(int x, int y, int width, int height, bool relative) = 0;
    virtual void pop_viewport() = 0;
    virtual void push_scissor(int x, int y, int width, int height, bool relative) = 0;
    virtual void pop_scissor() = 0;
    virtual void set_state(int state, bool on) = 0;
    virtual void set_blend_mode(int mode) = 0;
    virtual void set_point_size(float size) = 0;
    virtual void set_ambient_light(Color const& color) = 0;
    virtual void set_material_ambient(Color const& color) = 0;
    virtual void set_material_diffuse(Color const& color) = 0;

    // Shader effects.
    virtual EffectHandle create_effect(EffectDesc const& desc) = 0;
    virtual void init_effect(EffectHandle effect, EffectDesc const& desc) = 0;
    virtual void update_effect_texture(EffectHandle effect, int texture_index, SmartPtr<Texture> texture) = 0;
    virtual void set_effect_parameter(EffectHandle effect, const char* name, Variant const& value) = 0;
    virtual EffectHandle free_effect(EffectHandle effect) = 0;
    virtual void apply_effect(EffectHandle effect) = 0;
    virtual void unapply_effect() = 0;
    virtual void force_effect(EffectHandle effect) = 0;
    virtual void unforce_effect() = 0;

    // Drawing.
    virtual void set_vertex_buffer(SmartPtr<VertexBuffer> const& buffer) = 0;
    virtual void set_texture(ConstSmartPtr<Texture> const& texture) = 0;
    virtual void set_texture(SmartPtr<Texture> const& texture) = 0;
    virtual void set_index_buffer(SmartPtr<IndexBuffer> const& buffer) = 0;
    virtual void draw_indexed(int first_vertex, int num_vertices, int first_index, int num_indices, int reserved,
                              PrimitiveType type) = 0;
    virtual void draw_arrays(int first, int count, PrimitiveType type) = 0;

    // Matrices: 16 floats column after column; the current matrix is the
    // model-view matrix.
    virtual void set_ortho(float left, float right, float bottom, float top, float near_plane, float far_plane) = 0;
    virtual void set_perspective(float fovy, float aspect, float near_plane, float far_plane) = 0;
    virtual void push_matrix(bool modelview, bool texture, bool projection) = 0;
    virtual void pop_matrix(bool modelview, bool texture, bool projection) = 0;
    virtual void get_modelview_matrix(float* out) = 0;
    virtual void load_identity() = 0;
    virtual void load_matrix(float const* m) = 0;
    virtual void mult_matrix(float const* m) = 0;
    virtual void translate(float x, float y, float z) = 0;
    virtual void rotate(float degrees, float x, float y, float z) = 0;
    virtual void scale(float x, float y, float z) = 0;
    // World to window coordinates (y from the bottom, z the depth 0 to 1)
    // with the current matrices and viewport, and back.
    virtual void project(float* out_x, float* out_y, float* out_z, float x, float y, float z) = 0;
    virtual void unproject(float* out_x, float* out_y, float* out_z, float x, float y, float z) = 0;

protected:
    Engine() = default;

    static EffectHandle create_effect_handle(EffectType type, int id);
};

}  // namespace vo
