#include "engine/visuals/simple_visual.h"

#include "engine/core/crc32.h"
#include "engine/core/variant.h"
#include "engine/core/vector.h"

#include <climits>
#include <cstdint>

namespace vo {

const char* SimpleVisual::TYPE_NAME() { return "SimpleVisual"; }
unsigned int SimpleVisual::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

SimpleVisual::SimpleVisual(PrimitiveType type, SmartPtr<Texture> texture)
    : texture_(texture), color_(1.0f, 1.0f, 1.0f, 1.0f), type_(type), point_size_(1.0f), num_primitives_(-1) {
    Engine& engine = Engine::instance();
    vertex_buffer_ = engine.create_vertex_buffer();
    index_buffer_ = engine.create_index_buffer();
}

SimpleVisual::~SimpleVisual() = default;

const char* SimpleVisual::object_type_name() const { return TYPE_NAME(); }
unsigned int SimpleVisual::object_type_id() const { return TYPE_ID(); }
bool SimpleVisual::is_animated() const { return false; }

int SimpleVisual::index_count(PrimitiveType type, int n, unsigned all_indices) {
    std::int64_t count = 0;
    if (n < 0) {
        count = all_indices;
    } else {
        const std::int64_t p = n;
        switch (type) {
            case PRIMITIVE_POINTS: count = p; break;
            case PRIMITIVE_LINES: count = 2 * p; break;
            case PRIMITIVE_LINE_STRIP: count = p + 1; break;
            case PRIMITIVE_TRIANGLES: count = 3 * p; break;
            case PRIMITIVE_TRIANGLE_STRIP: count = p + 2; break;
            default: count = 0; break;
        }
    }
    return count > INT_MAX ? INT_MAX : static_cast<int>(count);
}

void SimpleVisual::draw() const {
    Engine& engine = Engine::instance();
    engine.set_vertex_buffer(vertex_buffer_);
    engine.set_index_buffer(index_buffer_);
    if (effect_.valid) {
        engine.set_effect_parameter(effect_, "color", Variant(vector4(color_.r, color_.g, color_.b, color_.a)));
        engine.apply_effect(effect_);
    } else {
        engine.set_texture(texture_);
    }
    if (vertex_buffer_) {
        if (vertex_buffer_->format() & VERTEX_NORMAL) {
            engine.set_state(STATE_LIGHTING, true);
            engine.set_material_diffuse(color_);
        } else {
            engine.set_state(STATE_LIGHTING, false);
        }
    }
    if (type_ == PRIMITIVE_POINTS) engine.set_point_size(point_size_);
    const unsigned all = index_buffer_ ? index_buffer_->num_indices() : 0;
    const int vertices = vertex_buffer_ ? static_cast<int>(vertex_buffer_->num_vertices()) : 0;
    engine.draw_indexed(0, vertices, 0, index_count(type_, num_primitives_, all), 0, type_);
    if (effect_.valid) engine.unapply_effect();
}

}  // namespace vo
