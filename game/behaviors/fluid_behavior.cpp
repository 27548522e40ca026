#include "game/behaviors/fluid_behavior.h"

#include "engine/core/crc32.h"
#include "engine/core/vertex.h"
#include "engine/physics/physics_handler.h"
#include "engine/scene/scene.h"
#include "engine/sfml/buffers.h"

#include <algorithm>

namespace vo {
namespace behaviors {

namespace {

// Corners of a particle's quad in vertex order, as signs of the half size;
// their colours give the corner's place in the quad (red: 0 left, 1 right;
// green: 0 bottom, 1 top) for the fluid shaders.
const float kCornerX[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
const float kCornerY[4] = {1.0f, -1.0f, -1.0f, 1.0f};
const Color kCornerColor[4] = {Color(0.0f, 1.0f, 1.0f, 1.0f), Color(0.0f, 0.0f, 1.0f, 1.0f),
                               Color(1.0f, 0.0f, 1.0f, 1.0f), Color(1.0f, 1.0f, 1.0f, 1.0f)};
// The two triangles of quad q: 4q + these.
const unsigned kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

}  // namespace

Fluid::Fluid() : root_node_(GroupNode::create()) {
    for (int i = 0; i < kNumLayers; ++i) layers_[i] = SmartPtr<SimpleVisual>(new SimpleVisual(PRIMITIVE_TRIANGLES));
    for (int i = 0; i < kNumLayers; ++i) {
        layer_nodes_[i] = VisualNode::create();
        layer_nodes_[i]->set_visual(layers_[i]);
        root_node_->add_child(layer_nodes_[i]);
    }
}

Fluid::~Fluid() {
    // The fluid is a member: it must not stay registered once it is gone.
    if (physics_handler_) physics_handler_->remove(&fluid_);
}

IBehavior* Fluid::clone() const {
    Fluid* copy = new Fluid();
    copy->set_texture(layers_[0]->texture());
    copy->set_effect(layers_[0]->effect());
    return copy;
}

void Fluid::initialize(Entity* entity) {
    entity_ = entity;
    IScene* scene = entity->get_scene();
    if (!scene) return;
    scene->add_visual(root_node_, entity, IScene::VISUAL_TYPE_1);
    physics_handler_ = scene->physics_handler();
    if (physics_handler_) physics_handler_->add(&fluid_, entity);
}

void Fluid::finalize(Entity* entity) {
    if (IScene* scene = entity->get_scene()) scene->remove_visual(root_node_, entity);
    if (physics_handler_) physics_handler_->remove(&fluid_);
    entity_ = nullptr;
    physics_handler_ = nullptr;
}

void Fluid::update(float) {
    // Every layer moves down one position and fades; the one that comes back
    // to the top position is rebuilt with this update's particles.
    for (int i = 0; i < kNumLayers; ++i) {
        const int j = (newest_layer_ + i) % kNumLayers;
        const float t = static_cast<float>(i + 1) / static_cast<float>(kNumLayers);
        const float alpha = static_cast<float>(t * 0.4 + 0.4);
        const float grey = std::min(static_cast<float>(t + 0.5), 1.0f);
        layers_[j]->set_color(Color(grey, grey, grey, alpha));
        layer_nodes_[i]->set_visual(layers_[j]);
    }
    newest_layer_ = (newest_layer_ + 1) % kNumLayers;

    box_ = fluid_.calculate_bounding_box();
    has_box_ = fluid_.num_active_particles() != 0;
    rebuild_newest_layer();
}

void Fluid::rebuild_newest_layer() {
    SimpleVisual& layer = *layer_at(kNumLayers - 1);
    const unsigned n = fluid_.num_active_particles();

    // The buffers grow by the current need and never shrink; the quad
    // pattern of the indices is written only when they grow.
    VertexBuffer& vertices = *layer.vertex_buffer();
    if (4 * n > vertices.num_vertices()) {
        vertices.create(vertices.num_vertices() + 4 * n, sizeof(ColorVertex), ColorVertex::VRT_DESC);
    }
    IndexBuffer& indices = *layer.index_buffer();
    if (6 * n > indices.num_indices()) {
        indices.create(indices.num_indices() + 6 * n);
        const unsigned total = indices.num_indices();
        unsigned* data = nullptr;
        if (total > 0 && indices.lock(&data, 0, total)) {
            BufferLockGuard<IndexBuffer> unlock(indices);
            for (unsigned k = 0; k < total; ++k) {
                const unsigned q = k / 6;
                data[k] = 4 * q + kQuadIndices[k % 6];
            }
        }
    }

    unsigned quads = 0;
    void* raw = nullptr;
    if (n > 0 && vertices.lock(&raw, 0, 4 * n)) {
        BufferLockGuard<VertexBuffer> unlock(vertices);
        ColorVertex* out = static_cast<ColorVertex*>(raw);
        const float s = static_cast<float>(static_cast<double>(fluid_.particle_desc().particleRadius) * 2.5);
        const vector2 uv_scale = fluid_.uv_scale();
        const std::vector<vector2>& uvs = fluid_.particle_uvs();
        const unsigned slots = std::min<unsigned>(fluid_.num_particles(), static_cast<unsigned>(uvs.size()));
        // Particles whose life has not started count as live but are not
        // drawn: only the quads written are drawn.
        for (unsigned i = 0; i < slots && quads < n; ++i) {
            if (!fluid_.is_active(i)) continue;
            const vector3 p = fluid_.position(i);
            for (int k = 0; k < 4; ++k) {
                const float dx = kCornerX[k] * s;
                const float dy = kCornerY[k] * s;
                *out++ = ColorVertex(vector3(p.x + dx, p.y + dy, p.z), kCornerColor[k],
                                     vector2(uvs[i].x + dx * uv_scale.x, uvs[i].y + dy * uv_scale.y));
            }
            ++quads;
        }
    }
    layer.set_num_primitives(static_cast<int>(2 * quads));
}

bool Fluid::bounding_box(AABox& box) const {
    box = box_;
    return has_box_;
}

void Fluid::set_texture(SmartPtr<Texture> texture) {
    for (SmartPtr<SimpleVisual>& layer : layers_) layer->set_texture(texture);
}

void Fluid::set_effect(EffectHandle effect) {
    for (SmartPtr<SimpleVisual>& layer : layers_) layer->set_effect(effect);
}

SmartPtr<SimpleVisual> Fluid::layer_at(int position) const {
    return layer_nodes_[position]->get_visual().static_cast_to<SimpleVisual>();
}

}  // namespace behaviors

// FluidEntity

const char* FluidEntity::TYPE_NAME() { return "FluidEntity"; }

unsigned int FluidEntity::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

FluidEntity::FluidEntity() { fluid_ = add_behavior<behaviors::Fluid>("fluid"); }

FluidEntity::~FluidEntity() = default;

const char* FluidEntity::object_type_name() const { return TYPE_NAME(); }

unsigned int FluidEntity::object_type_id() const { return TYPE_ID(); }

}  // namespace vo
