#pragma once

#include "engine/core/vector.h"
#include "game/level/mesh/level_mesh.h"

#include <vector>

namespace vo {

// What a carve of the level removed and laid open, for the stone and lava
// particles. Filled by LevelGeometryImpl::explode (which empties it first)
// and by the spike removal it runs.
struct CarveResult {
    // The three corners of every removed triangle, three entries per triangle.
    std::vector<vector3> removed_corners;
    // The lava value of the corner at the same position of removed_corners.
    std::vector<float> removed_corner_lava;
    // Both ends of every collision edge at a vertex removed as a spike.
    std::vector<vector3> removed_boundary_points;
    // Both ends of every new boundary edge that touches lava, two per edge.
    std::vector<vector3> lava_edges;
    // The unit outer normal of each edge of lava_edges, one per edge.
    std::vector<vector3> lava_edge_normals;

    void clear()
    {
        removed_corners.clear();
        removed_corner_lava.clear();
        removed_boundary_points.clear();
        lava_edges.clear();
        lava_edge_normals.clear();
    }
};

inline vector3 ToVector3(const MeshVector& p) { return vector3(p[0], p[1], p[2]); }

// Appends the corners of a triangle about to be removed, with their lava.
inline void RecordRemovedTriangle(CarveResult& result, const LevelMesh& mesh, mg::Face* f)
{
    for (unsigned int i = 0; i < 3 && i < f->num_vertices(); ++i) {
        result.removed_corners.push_back(ToVector3(mesh.position[f->vertex(i)]));
        result.removed_corner_lava.push_back(mesh.lava[f->vertex(i)]);
    }
}

}  // namespace vo
