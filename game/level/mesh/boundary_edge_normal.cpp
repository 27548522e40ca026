#include "game/level/mesh/boundary_edge_normal.h"

#include "dez_odor/algorithms/topology_queries.h"

#include <cmath>

namespace vo {

float Length(const MeshVector& v) { return std::sqrt(Dot(v, v)); }

MeshVector Unit(const MeshVector& v)
{
    const float len = Length(v);
    return len > 0 ? v * (1.0f / len) : v;
}

bool BoundaryEdgeNormal(MeshVector& out, mg::Grid& grid, mg::Edge* e,
                        const MeshPositions& position)
{
    mg::Face* face = nullptr;
    if (mg::GetAssociatedFaces(&face, grid, e, 1) != 1)
        return false;
    mg::Vertex* corner = mg::GetConnectedVertex(e, face);
    if (!corner)
        return false;
    const MeshVector& c = position[corner];
    const MeshVector& p0 = position[e->vertex(0)];
    const MeshVector d = position[e->vertex(1)] - p0;
    const float lenSq = Dot(d, d);
    MeshVector q = p0;
    if (lenSq > 1e-12f) {
        const float t = Dot(c - p0, d) / lenSq;
        q = p0 + d * t;
    }
    out = q - c;
    return true;
}

}  // namespace vo
