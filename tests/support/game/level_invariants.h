#pragma once

// Checks of the destructible level's boundary and buffers, run after carves
// by the level's tests, the match tests and the soak.

#include "game/level/level_geometry_impl.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vo_test {

struct LevelCircle {
    float x;
    float y;
    float radius;
};

struct LevelInvariantReport {
    // Every broken invariant, one line each (at most a few per kind).
    std::vector<std::string> problems;
    // Collision vertices where two boundary loops touch (more than two
    // boundary edges); spike removal leaves them ("Irregular vertex").
    std::vector<vo::vector3> irregular_vertices;
    size_t num_collision_edges = 0;
    size_t num_triangles = 0;

    bool ok() const { return problems.empty(); }
    // The problems, one per line.
    std::string text() const;
};

// Checks the level as it stands:
// - every collision edge (subset 3) has exactly one face, which lies on its
//   left (the edge runs in the corner order of the face, which is
//   counter-clockwise, see below);
// - the boundary is made of closed loops: at every vertex of a collision
//   edge as many boundary edges (edges with one face, collision or not, each
//   taken in its face's corner order) leave as enter; a vertex with more than
//   one of each (a pinch point where two loops touch) is listed as irregular;
// - no vertex lies strictly inside one of the circles, minus the level's
//   snap distance;
// - every face is a counter-clockwise triangle with positive area;
// - the collision node holds exactly the collision tree (nothing while there
//   are no collision edges) and the tree holds as many edges as subset 3 and
//   one point per collision vertex;
// - the vertex buffer holds one vertex per grid vertex and the index buffer
//   three indices per triangle of each draw pass (a subset drawn by two
//   passes counts twice), each below the vertex count, split into the
//   visual's subsets without gaps.
LevelInvariantReport CheckLevelInvariants(vo::LevelGeometryImpl& level,
                                          const std::vector<LevelCircle>& carved);

// The carve circles of the level's edit log.
std::vector<LevelCircle> CarvedCircles(const vo::LevelGeometryImpl& level);

// The carved circles, each less the sagitta of the longest boundary chord
// the mesh makes: where no vertex may be, also after later carves. Edges on
// a carved circle are chords of it; a later carve splits such an edge where
// its own circle crosses it, and the new vertex lies inside the earlier
// circle by up to the chord's sagitta.
std::vector<LevelCircle> CarveInteriors(const vo::LevelGeometryImpl& level);

// The edges held by a collision tree (below any group nodes); 0 for null.
size_t CountCollisionTreeEdges(const vo::SmartPtr<vo::Node>& node);

}  // namespace vo_test
