#pragma once

#include "game/level/mesh/level_mesh.h"

namespace vo {

// The most edges one refinement splits.
constexpr int COARSE_REFINEMENT_BUDGET = 4096;

// Makes the mesh under a circle as fine as a carve needs, where it is
// coarse: when a triangle that reaches into the circle (x, y, radius) has an
// edge longer than 3 x spacing, every such triangle with an edge longer than
// 1.5 x spacing is bisected at the midpoint of its longest edge (which
// splits the triangle across that edge too), the edges around the new
// vertex are swapped until its triangles are Delaunay (only between two
// triangles of one subset, and only where both new triangles keep their
// area), and the new triangles are looked at again, until none is left or
// COARSE_REFINEMENT_BUDGET edges have been split. A new vertex takes the
// mean rim, lava and light of its edge's ends; new faces keep their
// parent's subset, the half edges their edge's, and the edges into the
// faces go to the edge subset. Where no triangle at the circle is that
// coarse the mesh is left as it is: the triangles of the disc's inner rings,
// and those that carves make of them, are finer. The selection must be empty and autoselect off;
// both are left so. Grid errors pass as MGError.
//
// A carve removes rock only at the vertices inside its circle: where the
// triangles are wider than the circle (the disc's outer band, whose
// triangles run from the last inner ring out to the border) it would find
// none, take nothing, and a later cut beside it would leave its new
// boundary inside this crater.
void RefineCoarseTriangles(LevelMesh& mesh, float x, float y, float radius);

}  // namespace vo
