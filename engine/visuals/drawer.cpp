#include "engine/visuals/drawer.h"

#include "engine/core/vertex.h"
#include "engine/sfml/engine.h"

#include <cmath>
#include <cstring>

namespace vo {

namespace {

constexpr unsigned QUAD_VERTICES = 4;
constexpr unsigned QUAD_INDICES = 6;

bool WriteIndices(IndexBuffer& buffer, const unsigned* indices, unsigned count) {
    unsigned* out = nullptr;
    if (!buffer.lock(&out, 0, count)) return false;
    BufferLockGuard<IndexBuffer> guard(buffer);
    std::memcpy(out, indices, count * sizeof(unsigned));
    return true;
}

}  // namespace

Drawer::Drawer() : color_(1.0f, 1.0f, 1.0f, 1.0f) {
    Engine& engine = Engine::instance();
    vertex_buffer_ = engine.create_vertex_buffer();
    vertex_buffer_->create(QUAD_VERTICES, sizeof(ColorVertex), ColorVertex::VRT_DESC);
    index_buffer_ = engine.create_index_buffer();
    index_buffer_->create(QUAD_INDICES);
    // Start from zeros rather than whatever the storage held: lines leave the
    // texture coordinates as they were.
    void* v = nullptr;
    if (vertex_buffer_->lock(&v, 0, QUAD_VERTICES)) {
        BufferLockGuard<VertexBuffer> guard(*vertex_buffer_);
        std::memset(v, 0, QUAD_VERTICES * sizeof(ColorVertex));
    }
}

Drawer::~Drawer() = default;

void Drawer::draw_line(float x1, float y1, float x2, float y2, float z) {
    Engine& engine = Engine::instance();
    {
        void* v = nullptr;
        if (!vertex_buffer_->lock(&v, 0, 2)) return;
        BufferLockGuard<VertexBuffer> guard(*vertex_buffer_);
        auto* cv = static_cast<ColorVertex*>(v);
        cv[0].position = vector3(x1, y1, z);
        cv[0].color = color_;
        cv[1].position = vector3(x2, y2, z);
        cv[1].color = color_;
    }
    engine.set_texture(SmartPtr<Texture>());
    const unsigned line[2] = {0, 1};
    if (!WriteIndices(*index_buffer_, line, 2)) return;
    engine.set_vertex_buffer(vertex_buffer_);
    engine.set_index_buffer(index_buffer_);
    engine.draw_indexed(0, 2, 0, 2, 0, PRIMITIVE_LINE_STRIP);
}

void Drawer::draw_rect(Frame const& dest, Frame const& tex_frame, bool filled, float z, ConstSmartPtr<Texture> texture,
                       float angle) {
    Engine::instance().set_texture(texture);
    draw_tex_rect(dest, tex_frame, filled, z, angle);
}

void Drawer::draw_tex_rect(Frame const& dest, Frame const& tex_frame, bool filled, float z, float angle) {
    draw_quad(dest, tex_frame, filled, z, angle);
}

void Drawer::draw_rect(float left, float top, float right, float bottom, bool filled, float z) {
    draw_rect(Frame(left, top, right, bottom), Frame(0.0f, 0.0f, 1.0f, 1.0f), filled, z, ConstSmartPtr<Texture>(),
              0.0f);
}

void Drawer::draw_rect(Frame const& frame, bool filled, float z) {
    draw_rect(frame.left(), frame.top(), frame.right(), frame.bottom(), filled, z);
}

void Drawer::draw_rect(vector3 const& centre, float width, float height, bool filled) {
    const Frame frame(centre.x - width / 2.0f, centre.y - height / 2.0f, centre.x + width / 2.0f,
                      centre.y + height / 2.0f);
    draw_rect(frame, Frame(0.0f, 0.0f, 1.0f, 1.0f), filled, centre.z, ConstSmartPtr<Texture>(), 0.0f);
}

void Drawer::draw_quad(Frame const& dest, Frame const& tex, bool filled, float z, float angle) {
    // angle + 180 degrees, as the quad's corners below expect.
    const float pi = 3.1415927f;
    const float numerator = angle * pi + 180.0f * pi;
    const float theta = static_cast<float>(numerator / 180.0);
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float hw = std::fabs(dest.right() - dest.left()) / 2.0f;
    const float hh = std::fabs(dest.bottom() - dest.top()) / 2.0f;
    const float cx = (dest.left() + dest.right()) / 2.0f;
    const float cy = (dest.top() + dest.bottom()) / 2.0f;
    {
        void* v = nullptr;
        if (!vertex_buffer_->lock(&v, 0, QUAD_VERTICES)) return;
        BufferLockGuard<VertexBuffer> guard(*vertex_buffer_);
        auto* cv = static_cast<ColorVertex*>(v);
        cv[0] = ColorVertex(vector3(cx + hw * c - hh * s, cy - hw * s - hh * c, z), color_,
                            vector2(tex.left(), tex.bottom()));
        cv[1] = ColorVertex(vector3(cx - hw * c - hh * s, cy + hw * s - hh * c, z), color_,
                            vector2(tex.right(), tex.bottom()));
        cv[2] = ColorVertex(vector3(cx - hw * c + hh * s, cy + hw * s + hh * c, z), color_,
                            vector2(tex.right(), tex.top()));
        cv[3] = ColorVertex(vector3(cx + hw * c + hh * s, cy - hw * s + hh * c, z), color_,
                            vector2(tex.left(), tex.top()));
    }
    static const unsigned FILLED[QUAD_INDICES] = {0, 1, 2, 0, 2, 3};
    static const unsigned OUTLINE[5] = {0, 1, 2, 3, 0};
    const unsigned count = filled ? QUAD_INDICES : 5;
    if (!WriteIndices(*index_buffer_, filled ? FILLED : OUTLINE, count)) return;
    Engine& engine = Engine::instance();
    engine.set_vertex_buffer(vertex_buffer_);
    engine.set_index_buffer(index_buffer_);
    engine.draw_indexed(0, QUAD_VERTICES, 0, static_cast<int>(count), 0,
                        filled ? PRIMITIVE_TRIANGLES : PRIMITIVE_LINE_STRIP);
}

Drawer& SharedDrawer() {
    static Drawer drawer;
    return drawer;
}

}  // namespace vo
