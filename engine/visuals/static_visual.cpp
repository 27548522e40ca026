#include "engine/visuals/static_visual.h"

#include "engine/core/crc32.h"

namespace vo {

const char* StaticVisual::TYPE_NAME() { return "StaticVisual"; }
unsigned int StaticVisual::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

StaticVisual::StaticVisual() {
    Engine& engine = Engine::instance();
    vertex_buffer_ = engine.create_vertex_buffer();
    index_buffer_ = engine.create_index_buffer();
}

StaticVisual::~StaticVisual() = default;

const char* StaticVisual::object_type_name() const { return TYPE_NAME(); }
unsigned int StaticVisual::object_type_id() const { return TYPE_ID(); }
bool StaticVisual::is_animated() const { return false; }

void StaticVisual::draw() const {
    Engine& engine = Engine::instance();
    engine.set_vertex_buffer(vertex_buffer_);
    engine.set_index_buffer(index_buffer_);
    // Lighting exactly for lit geometry (vertices with normals).
    if (vertex_buffer_) engine.set_state(STATE_LIGHTING, (vertex_buffer_->format() & VERTEX_NORMAL) != 0);
    for (Subset const& s : subsets_) {
        if (s.effect.valid) {
            engine.apply_effect(s.effect);
        } else {
            engine.set_texture(s.texture);
            engine.set_material_diffuse(s.color);
        }
        engine.draw_indexed(s.first_vertex, s.num_vertices, s.first_index, s.num_indices, s.reserved, s.type);
        if (s.effect.valid) engine.unapply_effect();
    }
}

}  // namespace vo
