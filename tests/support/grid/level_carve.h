#pragma once

#include "dez_odor/tools/grid_subset_handler.h"
#include "dez_odor/tools/selector.h"
#include "support/grid/level_disc.h"

#include <vector>

namespace mg_test {

// The level's mesh as the match keeps it: a grid with the level's options
// (0x90003), a subset handler for all kinds with strict inheritance, a
// selector for all kinds that selects new elements and inherits nothing, the
// positions and the edge attachment "split_vertex" (default null). The disc
// is built with all three in place; then every triangle goes to subset 0 and
// every edge to subset 5, and subsets 0, 3 and 5 get their names.
struct LevelMesh {
    static constexpr int SUBSET_GEOMETRY = 0;
    static constexpr int SUBSET_COLLISION = 3;
    static constexpr int SUBSET_EDGES = 5;

    explicit LevelMesh(float radius = 100.0f, float spacing = 2.0f);

    mg::Grid grid;
    mg::GridSubsetHandler sh;
    mg::Selector sel;
    PositionAccessor aaPos;
    mg::Attachment<mg::Vertex*> aSplitVertex;
    mg::AttachmentAccessor<mg::Edge, mg::Vertex*> aaSplitVertex;
    float spacing;
    float snapDistance;
    LevelDisc disc;
};

// Cuts a circular hole into a LevelMesh with the grid operations the level's
// carve uses, step by step (the shading, particle data and spike removal of
// the game are left out). run() does every step in order; a test may call the
// steps itself to look at the mesh in between.
class CircleCarve {
public:
    CircleCarve(LevelMesh& level, float x, float y, float radius);

    // All steps.
    void run();

    // 0: remember the selector's autoselect flag, switch it off, clear.
    void prepare();
    // 1: select the vertices inside the circle (less than the snap distance
    // inside it) and exactly the edges with one end among them; move the
    // other vertices inside the circle onto it.
    void vertex_pass();
    // 2: split each crossing edge where it crosses the circle (a new vertex
    // with the edge as parent and the edge's two halves; the edge stays
    // selected and the faces at it are selected), or snap its outer end onto
    // the circle when the crossing lies that close to it (and deselect it).
    void edge_pass();
    // 3, first part: with autoselect on, replace each selected face by its
    // refinement at the split vertices of its selected edges, then
    // triangulate the quadrilaterals.
    void cut_faces();
    // 3, last part: every selected edge without subset goes to subset 5.
    void assign_new_edges();
    // 4: select the faces at the inside vertices and find the new boundary:
    // the opposite edges that keep a face and touch no inside vertex go to
    // subset 3; old boundary edges that lose their only face are selected.
    void find_boundary();
    // 6: erase the selected edges and the inside vertices; clear.
    void remove();
    // 8: select the new boundary edges and the vertices where a chain of
    // them ends.
    void mark_boundary_ends();
    // 10: restore the autoselect flag.
    void finish();

    const std::vector<mg::Vertex*>& inside_vertices() const { return m_insideVertices; }
    const std::vector<mg::Edge*>& new_boundary() const { return m_newBoundary; }
    size_t num_split_edges() const { return m_numSplitEdges; }

private:
    float dist_sq(const vector3& p) const;
    void move_onto_circle(mg::Vertex* v);

    LevelMesh& m_level;
    vector3 m_centre;
    float m_radius;
    float m_innerSq;
    bool m_autoselect = false;
    size_t m_numSplitEdges = 0;
    std::vector<mg::Vertex*> m_insideVertices;
    std::vector<mg::Edge*> m_newBoundary;
};

// Twice the signed area of a face's corner polygon in the x-y plane:
// positive when counter-clockwise.
float TwiceSignedArea(mg::Face* f, const PositionAccessor& aaPos);

}  // namespace mg_test
