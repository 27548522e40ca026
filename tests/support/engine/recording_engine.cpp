#include "support/engine/recording_engine.h"

#include "engine/sfml/default_buffers.h"
#include "engine/sfml/sfml_engine.h"

#include <sstream>

namespace vo_test {

namespace {

void Put(std::ostream& out, float v) { out << v; }
void Put(std::ostream& out, int v) { out << v; }
void Put(std::ostream& out, unsigned v) { out << v; }
void Put(std::ostream& out, bool v) { out << (v ? "true" : "false"); }
void Put(std::ostream& out, const char* v) { out << (v ? v : "null"); }
void Put(std::ostream& out, vo::Color const& c) { out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")"; }
void Put(std::ostream& out, vo::EffectHandle const& e) {
    if (e.valid) {
        out << "effect(" << e.id << ")";
    } else {
        out << "no effect";
    }
}
template <class T>
void PutHandle(std::ostream& out, T const& handle, const char* name) {
    out << (handle ? name : "null");
}

void PutAll(std::ostream&) {}
template <class First, class... Rest>
void PutAll(std::ostream& out, First const& first, Rest const&... rest) {
    Put(out, first);
    if (sizeof...(rest) > 0) out << ", ";
    PutAll(out, rest...);
}

template <class... Args>
std::string Text(const char* name, Args const&... args) {
    std::ostringstream out;
    out << name << "(";
    PutAll(out, args...);
    out << ")";
    return out.str();
}

std::string VariantText(vo::Variant const& v) {
    std::ostringstream out;
    switch (v.type()) {
        case vo::VT_INT:
        case vo::VT_FLOAT:
        case vo::VT_DOUBLE: out << v.to_float(); break;
        case vo::VT_VECTOR2: out << "(" << v.to_vector2().x << ", " << v.to_vector2().y << ")"; break;
        case vo::VT_VECTOR3:
            out << "(" << v.to_vector3().x << ", " << v.to_vector3().y << ", " << v.to_vector3().z << ")";
            break;
        case vo::VT_VECTOR4:
            out << "(" << v.to_vector4().x << ", " << v.to_vector4().y << ", " << v.to_vector4().z << ", "
                << v.to_vector4().w << ")";
            break;
        default: out << v.type_name(); break;
    }
    return out.str();
}

class FakeSoundBuffer : public vo::SoundBuffer {
public:
    bool load(const char*) override { return false; }
};

// Playing states without sound: play, pause and stop switch them.
template <class Base>
class FakePlayer : public Base {
public:
    void set_loop(bool loop) override { loop_ = loop; }
    bool loop() const override { return loop_; }
    void play() override { state_ = 2; }
    void pause() override {
        if (state_ == 2) state_ = 1;
    }
    void stop() override { state_ = 0; }
    bool is_playing() const override { return state_ == 2; }
    bool is_paused() const override { return state_ == 1; }
    bool is_stopped() const override { return state_ == 0; }
    void set_volume(float volume) override { volume_ = volume; }
    float volume() const override { return volume_; }

private:
    bool loop_ = false;
    int state_ = 0;
    float volume_ = 100.0f;
};

class FakeMusic : public FakePlayer<vo::Music> {
public:
    bool open(const char*) override { return false; }
};

class FakeSound : public FakePlayer<vo::Sound> {
public:
    void set_buffer(vo::SmartPtr<vo::SoundBuffer> buffer) override { buffer_ = buffer; }
    void set_pitch(float pitch) override { pitch_ = pitch; }
    float pitch() const override { return pitch_; }

private:
    vo::SmartPtr<vo::SoundBuffer> buffer_;
    float pitch_ = 1.0f;
};

}  // namespace

std::vector<std::string> RecordingEngine::calls_starting_with(std::string const& prefix) const {
    std::vector<std::string> out;
    for (auto const& c : calls_) {
        if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    }
    return out;
}

bool RecordingEngine::is_running() { return true; }
void RecordingEngine::stop() { record("stop()"); }
float RecordingEngine::time() { return clock; }
bool RecordingEngine::set_event_handler(vo::IEventHandler*) {
    record("set_event_handler()");
    return true;
}
vo::vector2 RecordingEngine::desktop_resolution() { return vo::vector2(1024.0f, 768.0f); }
bool RecordingEngine::create_window(unsigned width, unsigned height, const char* title, unsigned style) {
    record(Text("create_window", width, height, title, style));
    window_w_ = width;
    window_h_ = height;
    return true;
}
unsigned RecordingEngine::window_width() { return window_w_; }
unsigned RecordingEngine::window_height() { return window_h_; }
int RecordingEngine::screen_width() { return screen_w; }
int RecordingEngine::screen_height() { return screen_h; }

vo::SmartPtr<vo::VertexBuffer> RecordingEngine::create_vertex_buffer() {
    record("create_vertex_buffer()");
    return vo::SmartPtr<vo::VertexBuffer>(new vo::VertexBufferDefault());
}
vo::SmartPtr<vo::IndexBuffer> RecordingEngine::create_index_buffer() {
    record("create_index_buffer()");
    return vo::SmartPtr<vo::IndexBuffer>(new vo::IndexBufferDefault());
}
vo::SmartPtr<vo::Texture> RecordingEngine::create_texture() {
    record("create_texture()");
    return vo::SmartPtr<vo::Texture>(new FakeTexture());
}
vo::SmartPtr<vo::Music> RecordingEngine::create_music() {
    record("create_music()");
    return vo::SmartPtr<vo::Music>(new FakeMusic());
}
vo::SmartPtr<vo::SoundBuffer> RecordingEngine::create_sound_buffer() {
    record("create_sound_buffer()");
    return vo::SmartPtr<vo::SoundBuffer>(new FakeSoundBuffer());
}
vo::SmartPtr<vo::Sound> RecordingEngine::create_sound() {
    record("create_sound()");
    return vo::SmartPtr<vo::Sound>(new FakeSound());
}

bool RecordingEngine::process_events() { return true; }
bool RecordingEngine::is_key_down(vo::KeyCode key) { return keys_down.count(key) > 0; }
float RecordingEngine::mouse_x() { return pointer_x; }
float RecordingEngine::mouse_y() { return pointer_y; }
float RecordingEngine::mouse_wheel_delta() { return 0.0f; }
bool RecordingEngine::mouse_buttons_down(int mask) { return (buttons & mask) == mask; }
bool RecordingEngine::joystick_connected(unsigned) { return false; }
float RecordingEngine::joystick_axis(unsigned, int) { return 0.0f; }
bool RecordingEngine::joystick_button_down(unsigned, unsigned) { return false; }
void RecordingEngine::set_vsync(bool on) { record(Text("set_vsync", on)); }

void RecordingEngine::set_clear_color(vo::Color const& color) { record(Text("set_clear_color", color)); }
void RecordingEngine::clear() { record("clear()"); }
void RecordingEngine::display() { record("display()"); }
void RecordingEngine::create_render_target(const char* name, int width, int height, bool depth_buffer) {
    record(Text("create_render_target", name, width, height, depth_buffer));
}
void RecordingEngine::set_effect_render_target(const char* target, vo::EffectHandle effect, int texture_index) {
    record(Text("set_effect_render_target", target, effect, texture_index));
}
void RecordingEngine::bind_render_target_texture(const char* name) { record(Text("bind_render_target_texture", name)); }
vo::SmartPtr<vo::Texture> RecordingEngine::render_target_texture(const char* name) {
    record(Text("render_target_texture", name));
    return vo::SmartPtr<vo::Texture>(new FakeTexture());
}
void RecordingEngine::set_render_target(const char* name) { record(Text("set_render_target", name)); }

void RecordingEngine::push_viewport(int x, int y, int width, int height, bool relative) {
    record(Text("push_viewport", x, y, width, height, relative));
}
void RecordingEngine::pop_viewport() { record("pop_viewport()"); }
void RecordingEngine::push_scissor(int x, int y, int width, int height, bool relative) {
    record(Text("push_scissor", x, y, width, height, relative));
}
void RecordingEngine::pop_scissor() { record("pop_scissor()"); }
void RecordingEngine::set_state(int state, bool on) { record(Text("set_state", state, on)); }
void RecordingEngine::set_blend_mode(int mode) { record(Text("set_blend_mode", mode)); }
void RecordingEngine::set_point_size(float size) { record(Text("set_point_size", size)); }
void RecordingEngine::set_ambient_light(vo::Color const& color) { record(Text("set_ambient_light", color)); }
void RecordingEngine::set_material_ambient(vo::Color const& color) { record(Text("set_material_ambient", color)); }
void RecordingEngine::set_material_diffuse(vo::Color const& color) { record(Text("set_material_diffuse", color)); }

vo::EffectHandle RecordingEngine::create_effect(vo::EffectDesc const& desc) {
    const vo::EffectHandle h = create_effect_handle(vo::EFFECT_PIXEL_SHADER, next_effect_++);
    record(Text("create_effect", desc.name.c_str()) + " -> " + Text("effect", h.id));
    return h;
}
void RecordingEngine::init_effect(vo::EffectHandle effect, vo::EffectDesc const& desc) {
    record(Text("init_effect", effect, desc.name.c_str()));
}
void RecordingEngine::update_effect_texture(vo::EffectHandle effect, int texture_index, vo::SmartPtr<vo::Texture> t) {
    std::ostringstream out;
    out << "update_effect_texture(";
    Put(out, effect);
    out << ", " << texture_index << ", ";
    PutHandle(out, t, "texture");
    out << ")";
    record(out.str());
}
void RecordingEngine::set_effect_parameter(vo::EffectHandle effect, const char* name, vo::Variant const& value) {
    std::ostringstream out;
    out << "set_effect_parameter(";
    Put(out, effect);
    out << ", " << (name ? name : "null") << ", " << VariantText(value) << ")";
    record(out.str());
}
vo::EffectHandle RecordingEngine::free_effect(vo::EffectHandle effect) {
    record(Text("free_effect", effect));
    return vo::EffectHandle();
}
void RecordingEngine::apply_effect(vo::EffectHandle effect) { record(Text("apply_effect", effect)); }
void RecordingEngine::unapply_effect() { record("unapply_effect()"); }
void RecordingEngine::force_effect(vo::EffectHandle effect) { record(Text("force_effect", effect)); }
void RecordingEngine::unforce_effect() { record("unforce_effect()"); }

void RecordingEngine::set_vertex_buffer(vo::SmartPtr<vo::VertexBuffer> const& buffer) {
    vertex_buffer = buffer;
    std::ostringstream out;
    out << "set_vertex_buffer(";
    PutHandle(out, buffer, "vertices");
    out << ")";
    record(out.str());
}
void RecordingEngine::set_texture(vo::ConstSmartPtr<vo::Texture> const& t) {
    texture = t;
    std::ostringstream out;
    out << "set_texture(";
    PutHandle(out, t, "texture");
    out << ")";
    record(out.str());
}
void RecordingEngine::set_texture(vo::SmartPtr<vo::Texture> const& t) { set_texture(vo::ConstSmartPtr<vo::Texture>(t)); }
void RecordingEngine::set_index_buffer(vo::SmartPtr<vo::IndexBuffer> const& buffer) {
    index_buffer = buffer;
    std::ostringstream out;
    out << "set_index_buffer(";
    PutHandle(out, buffer, "indices");
    out << ")";
    record(out.str());
}
void RecordingEngine::draw_indexed(int first_vertex, int num_vertices, int first_index, int num_indices, int reserved,
                                   vo::PrimitiveType type) {
    record(Text("draw_indexed", first_vertex, num_vertices, first_index, num_indices, reserved, static_cast<int>(type)));
}
void RecordingEngine::draw_arrays(int first, int count, vo::PrimitiveType type) {
    record(Text("draw_arrays", first, count, static_cast<int>(type)));
}

void RecordingEngine::set_ortho(float left, float right, float bottom, float top, float near_plane, float far_plane) {
    record(Text("set_ortho", left, right, bottom, top, near_plane, far_plane));
}
void RecordingEngine::set_perspective(float fovy, float aspect, float near_plane, float far_plane) {
    record(Text("set_perspective", fovy, aspect, near_plane, far_plane));
}
void RecordingEngine::push_matrix(bool modelview, bool t, bool projection) {
    record(Text("push_matrix", modelview, t, projection));
}
void RecordingEngine::pop_matrix(bool modelview, bool t, bool projection) {
    record(Text("pop_matrix", modelview, t, projection));
}
void RecordingEngine::get_modelview_matrix(float* out) {
    record("get_modelview_matrix()");
    if (!out) return;
    for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}
void RecordingEngine::load_identity() { record("load_identity()"); }
void RecordingEngine::load_matrix(float const*) { record("load_matrix()"); }
void RecordingEngine::mult_matrix(float const*) { record("mult_matrix()"); }
void RecordingEngine::translate(float x, float y, float z) { record(Text("translate", x, y, z)); }
void RecordingEngine::rotate(float degrees, float x, float y, float z) { record(Text("rotate", degrees, x, y, z)); }
void RecordingEngine::scale(float x, float y, float z) { record(Text("scale", x, y, z)); }
void RecordingEngine::project(float* out_x, float* out_y, float* out_z, float x, float y, float z) {
    record(Text("project", x, y, z));
    if (out_x) *out_x = x;
    if (out_y) *out_y = y;
    if (out_z) *out_z = z;
}
void RecordingEngine::unproject(float* out_x, float* out_y, float* out_z, float x, float y, float z) {
    record(Text("unproject", x, y, z));
    if (out_x) *out_x = x;
    if (out_y) *out_y = y;
    if (out_z) *out_z = z;
}

bool FakeTexture::create(unsigned width, unsigned height) {
    width_ = width;
    height_ = height;
    return true;
}

vo::Frame FakeTexture::frame() const {
    return vo::Frame(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_));
}

EngineOverride::EngineOverride(vo::Engine& engine) { vo::OverrideEngineInstance(&engine); }
EngineOverride::~EngineOverride() { vo::OverrideEngineInstance(nullptr); }

}  // namespace vo_test
