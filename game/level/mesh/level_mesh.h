#pragma once

// The level's triangle mesh with everything kept per element: a grid of the
// grid library, the subset handler that sorts its elements, the selector the
// level operations work with, and the per-vertex shading values. This part
// of the level needs only the grid library; the drawable, the collision tree
// and the edit log live in LevelGeometryImpl.

#include "common/math/math_vector.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "dez_odor/tools/selector.h"

namespace vo {

// A vertex position of the level (x, y, 0), as the grid stores it.
using MeshVector = mg::MathVector<3, float>;
using MeshPositions = mg::AttachmentAccessor<mg::Vertex, MeshVector>;

// The subsets of the level's elements.
enum LevelSubset : int {
    LEVEL_SUBSET_ROCK = 0,          // "geometry": ordinary rock triangles
    LEVEL_SUBSET_LAVA_ON_ROCK = 1,  // triangles touched by lava: rock, then lava on top
    LEVEL_SUBSET_LAVA = 2,          // triangles drawn with lava alone
    LEVEL_SUBSET_COLLISION = 3,     // "collision": the boundary made by carving
    LEVEL_SUBSET_EDGES = 5          // "edgeGeometry": every other edge
};

class LevelMesh {
public:
    // An empty grid with the level's options (0x90003), a subset handler
    // with strict inheritance and a selector that selects every new element
    // and inherits no selection, both for all element kinds; the positions
    // and the attachments below, which start at 0 (null) on every new element.
    LevelMesh();
    ~LevelMesh();

    LevelMesh(const LevelMesh&) = delete;
    LevelMesh& operator=(const LevelMesh&) = delete;

    // Sets spacing (at least 1e-12), the snap distance (a fifth of it) and
    // the rim width (at least 1e-12), builds the disc of the given radius
    // around the origin (BuildLevelDisc) with rim 1 on every ring vertex, puts
    // every triangle into the rock subset and every edge into the edge
    // subset, and names subsets 0, 3 and 5. The grid must be empty. Grid
    // errors pass as MGError.
    void build_disc(float radius, float spacing, float rimWidth);

    mg::Grid grid;
    mg::GridSubsetHandler subsets;
    mg::Selector selector;

    MeshPositions position;
    // The vertex a carve puts on an edge.
    mg::AttachmentAccessor<mg::Edge, mg::Vertex*> split_vertex;
    // The index of a vertex in the vertex buffer or in the collision points.
    mg::AttachmentAccessor<mg::Vertex, int> vertex_index;
    // 0 at a cut, rising to 1 one rim width away.
    mg::AttachmentAccessor<mg::Vertex, float> rim;
    // Lava amount 0..1.
    mg::AttachmentAccessor<mg::Vertex, float> lava;
    // Glow 0..1 around carves and lava.
    mg::AttachmentAccessor<mg::Vertex, float> light;

    // Target edge length.
    float spacing = 1.0f;
    // Width of the rim band around cuts and lava fields.
    float rim_width = 3.0f;
    // Vertices closer than this to a cut circle are moved onto it.
    float snap_distance = 0.2f;
    // Full glow out to this multiple of (radius + rim width), none beyond
    // the second factor.
    float light_radius_min_factor = 1.5f;
    float light_radius_max_factor = 3.0f;

private:
    mg::Attachment<mg::Vertex*> a_split_vertex_;
    mg::Attachment<int> a_vertex_index_;
    mg::Attachment<float> a_rim_;
    mg::Attachment<float> a_lava_;
    mg::Attachment<float> a_light_;
};

// Twice the signed area of a face's corner polygon in the x-y plane:
// positive when counter-clockwise.
float TwiceSignedArea(mg::Face* f, const MeshPositions& position);

// Twice the signed area of the triangle (a, b, c) in the x-y plane.
inline float TwiceArea(const MeshVector& a, const MeshVector& b, const MeshVector& c)
{
    return (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
}

// Erases an edge and those of its ends that keep no other edge.
void EraseEdgeAndLonelyEnds(mg::Grid& grid, mg::Edge* e);

// The shading zones around a carve or a lava field of the given radius: the
// inside (below radius), the rim band (below radius + rim width = rim), full
// glow (below light_min = min factor x rim) and fading glow (below
// light_max = max factor x rim). Limits are kept squared for comparing.
struct ShadeZones {
    ShadeZones(const LevelMesh& mesh, float radius);

    float radius_sq;
    float rim;
    float rim_sq;
    float light_min;
    float light_min_sq;
    float light_max_sq;
    float light_range;

    // The glow at distance d in the fading zone.
    float fading_light(float d) const { return 1.0f - (d - light_min) / light_range; }
};

}  // namespace vo
