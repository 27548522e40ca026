#pragma once

#include "game/level/mesh/level_mesh.h"

namespace vo {

// Selection states of a lava field's vertices.
enum LavaZone : unsigned char { LAVA_CORE = 1, LAVA_RIM = 2 };

// Marks a circular lava field of the given radius (above 0 and finite) at
// (x, y): raises lava and light of the vertices in and around it and moves
// the triangles touching it into a lava subset. The selection is cleared
// first and left holding the field's vertices (core state 1, rim state 2) and
// the touched faces. Values only grow; the mesh keeps its shape.
void MarkLava(LevelMesh& mesh, float x, float y, float radius);

}  // namespace vo
