#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/grid.h"

#include <vector>

namespace mg_test {

// A block of nx x ny x nz cubes of edge length `spacing`, each cut into six
// test tetrahedra around its diagonal, all positively oriented (corner 3
// above the counter-clockwise triangle 0, 1, 2). The grid has the default
// options, so the tetrahedra bring their triangles and edges along;
// positions are in aPosition. Vertices are registered x fastest, then y,
// then z; the tetrahedra cube by cube.
struct TetrahedronBlock {
    TetrahedronBlock(int nx, int ny, int nz, float spacing = 0.5f);

    mg::Grid grid;
    mg::AttachmentAccessor<mg::Vertex, mg::MathVector<3, float>> aaPos;
    std::vector<mg::Vertex*> vertices;
    std::vector<mg::Volume*> tetrahedra;
};

}  // namespace mg_test
