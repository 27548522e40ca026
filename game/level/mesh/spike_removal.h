#pragma once

#include "game/level/mesh/carve_result.h"
#include "game/level/mesh/level_mesh.h"

namespace vo {

// The most vertices one spike removal looks at.
constexpr int SPIKE_REMOVAL_BUDGET = 100;

// A circle cut out of the level.
struct CarveCircle {
    float x;
    float y;
    float radius;
};

// Removes thin sharp corners of rock at the selected vertices of the mesh's
// selector, which works as a queue: the first selected vertex is taken and
// deselected, and the neighbours of a removed spike are selected (appended).
// A boundary vertex whose boundary turns by more than acos(maxCos) towards
// the rock is removed with its triangles, after its interior edges have
// been flipped away where the quadrilateral around them allows it; the
// opposite edges of its triangles become collision boundary, and those longer
// than 1.25 x spacing are split with the midpoint pushed outwards by an
// eighth of their length (less where that would turn a triangle over or put
// the new vertex into the carved circle, when one is given). An opposite edge left without a face goes with
// its ends when nothing else holds them. At most SPIKE_REMOVAL_BUDGET
// vertices are taken; the rest stay selected. With a result record the
// removed triangles and collision edges are appended to it. Nothing created
// here is selected. Grid errors pass as MGError.
void RemoveSpikes(LevelMesh& mesh, float maxCos, CarveResult* result,
                  const CarveCircle* carved = nullptr);

}  // namespace vo
