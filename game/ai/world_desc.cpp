#include "game/ai/world_desc.h"

#include "engine/physics/physics_handler.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/traverser_intersect_edges_2d.h"
#include "game/level/level_scene.h"

#include <cmath>

namespace vo {

namespace {

// The (x, y) part of the gravity, normalised unless it is zero.
vector2 GravityDirection(const vector3& g) {
    vector2 d(g.x, g.y);
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    if (length > 0.0f) d *= 1.0f / length;
    return d;
}

}  // namespace

vector3 WorldDesc::gravity() const {
    if (!scene) return vector3();
    const PhysicsHandler* physics = static_cast<const Scene2d*>(scene)->physics_handler();
    return physics ? physics->get_gravity() : vector3();
}

vector3 WorldDesc::up_direction() const {
    const vector2 g = GravityDirection(gravity());
    return vector3(-g.x, -g.y, 0.0f);
}

vector3 WorldDesc::right_direction() const {
    const vector2 g = GravityDirection(gravity());
    return vector3(-g.y, g.x, 0.0f);
}

bool WorldDesc::segment_hits_level(const vector2& a, const vector2& b) const {
    if (!collision_node) return false;
    Traverser_IntersectEdges2d traverser;
    return traverser.intersect_edges(vector3(a.x, a.y, 0.0f), vector3(b.x, b.y, 0.0f),
                                     SmartPtr<Node>(collision_node)) > 0;
}

void WorldDesc::clear() {
    team_summaries.clear();
    entities.clear();
    collision_node = SmartPtr<GroupNode>();
    scene = nullptr;
    config = SmartPtr<MatchConfig>();
}

int WorldDesc::index_of(const Entity* entity) const {
    for (std::size_t i = 0; i < entities.size(); ++i)
        if (entities[i].entity == entity) return static_cast<int>(i);
    return -1;
}

}  // namespace vo
