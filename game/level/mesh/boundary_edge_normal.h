#pragma once

#include "game/level/mesh/level_mesh.h"

namespace vo {

// The outward direction of a boundary edge, not normalised: false when the
// edge has other than exactly one face. Otherwise, with c the corner of that
// face off the edge and q the foot of the perpendicular from c onto the
// edge's line (the edge's first vertex when the edge has no length),
// out = q - c: it points from the face out of the mesh.
bool BoundaryEdgeNormal(MeshVector& out, mg::Grid& grid, mg::Edge* e,
                        const MeshPositions& position);

// Small helpers on level positions.
inline float Dot(const MeshVector& a, const MeshVector& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
float Length(const MeshVector& v);
// v / |v|, or v unchanged when its length is 0.
MeshVector Unit(const MeshVector& v);

}  // namespace vo
