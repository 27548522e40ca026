#pragma once

// Small helpers shared by the level's tests.

#include "game/level/level_geometry_handle.h"

#include <string>
#include <vector>

namespace level_test {

// create() with the game's look values: spacing 2, rim width 3, uv scale 0.1,
// glow factors 1 and 3, no effects.
void CreateDisc(vo::LevelGeometryHandle& level, float radius = 100.0f);

// The mesh as plain values: vertex positions and shading (rim, lava, light)
// in list order, every triangle as three vertex numbers with its subset, and
// every edge as (numbers, subset), sorted.
struct MeshImage {
    std::vector<float> positions;
    std::vector<float> shading;
    std::vector<int> triangles;
    std::vector<int> edges;

    bool same_shape(const MeshImage& o) const
    {
        return positions == o.positions && triangles == o.triangles && edges == o.edges;
    }
    bool operator==(const MeshImage& o) const { return same_shape(o) && shading == o.shading; }
};
MeshImage ImageOf(vo::LevelGeometryImpl& level);

// The same records, byte for byte.
bool SameLog(const std::vector<vo::LevelEditRecord>& a, const std::vector<vo::LevelEditRecord>& b);

// The vertex nearest to a point.
mg::Vertex* NearestVertex(vo::LevelMesh& mesh, float x, float y);
float DistanceTo(vo::LevelMesh& mesh, mg::Vertex* v, float x, float y);

}  // namespace level_test
