#pragma once

#include <vector>

#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"

// Opens the physics handler's stages to the tests.
class PhysicsHandlerAccess : public vo::PhysicsHandler {
public:
    using PhysicsHandler::adjust_fluid_velocities;
    using PhysicsHandler::level_edges;
    using PhysicsHandler::find_entry;
    using PhysicsHandler::particle_grid;
    using PhysicsHandler::push_fluid_against_body;
    using PhysicsHandler::resolve_geometry_collisions;
    using PhysicsHandler::resolve_inter_body_collisions;
    using PhysicsHandler::search_whole_cells;
    using PhysicsHandler::SoftBodyEntry;

    bool contact(vo::SoftBody* a, vo::SoftBody* b) { return resolve_inter_body_collisions(find_entry(a), find_entry(b)); }
};

// A body of the given border points only (one particle each, inverse mass 1,
// at rest), without springs or triangles.
inline void MakePointBody(vo::SoftBody& body, const std::vector<vo::vector3>& points) {
    body.set_num_points(static_cast<int>(points.size()), 0, 0);
    for (int i = 0; i < static_cast<int>(points.size()); ++i) body.point_set_coords(i, points[static_cast<std::size_t>(i)]);
}
