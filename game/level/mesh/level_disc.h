#pragma once

#include "game/level/mesh/level_mesh.h"

#include <cstddef>
#include <vector>

namespace vo {

// The vertices of a disc in the order they were made: ring 0 is the centre,
// ring i holds int(i x 2 pi) vertices running clockwise from the +y axis.
struct LevelDisc {
    std::vector<std::vector<mg::Vertex*>> rings;
    size_t num_triangles = 0;
};

// The level's initial disc: n = max(1, int(radius / spacing + 0.5)) rings
// around a centre vertex, ring 1 joined to the centre by a fan and every
// further ring to the one inside by a zipper, triangles counter-clockwise
// (made with create<Triangle>, no parent), the outermost ring then pushed out
// to twice its distance from the origin. Positions are written through
// position (bound to the grid's vertices). Radius 100 and spacing 2 give
// 7,987 vertices and 15,658 triangles.
LevelDisc BuildLevelDisc(mg::Grid& grid, MeshPositions& position, const MeshVector& centre,
                         float radius, float spacing);

}  // namespace vo
