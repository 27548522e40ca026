#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/grid.h"

#include <cstddef>
#include <vector>

namespace mg_test {

using vector3 = mg::MathVector<3, float>;
using PositionAccessor = mg::AttachmentAccessor<mg::Vertex, vector3>;

// The vertices of a disc in the order they were made: ring 0 is the centre,
// ring i holds floor(i x 2 pi) vertices running clockwise from the +y axis.
struct LevelDisc {
    std::vector<std::vector<mg::Vertex*>> rings;
    size_t num_triangles = 0;
};

// The level's initial disc, built exactly as the match builds it: n =
// max(1, int(radius / spacing + 0.5)) rings around a centre vertex, ring 1
// joined to the centre by a fan and every further ring to the one inside by
// a zipper, triangles counter-clockwise, the outermost ring then pushed out to
// twice its radius. Vertices are registered without parent and their
// positions written through aaPos (bound to the grid's vertex positions);
// triangles are made with create<Triangle>. Radius 100 and spacing 2 give
// 7,987 vertices and 15,658 triangles.
LevelDisc BuildLevelDisc(mg::Grid& grid, PositionAccessor& aaPos, const vector3& centre,
                         float radius, float spacing);

// A grid (by default with the level's options 0x90003) with aPosition on its
// vertices, holding the level disc of the given size around the origin.
struct LevelDiscGrid {
    explicit LevelDiscGrid(float radius = 100.0f, float spacing = 2.0f,
                           unsigned int options = mg::GRIDOPT_LEVEL_MESH);

    mg::Grid grid;
    PositionAccessor aaPos;
    LevelDisc disc;
};

}  // namespace mg_test
