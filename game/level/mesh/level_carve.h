#pragma once

#include "game/level/mesh/carve_result.h"
#include "game/level/mesh/level_mesh.h"

#include <cstddef>
#include <vector>

namespace vo {

// Cuts a circular hole into the level mesh: refines the triangles under the
// circle where they are coarser than the cut needs, removes every vertex
// inside the circle with its triangles, splits the edges that cross the
// circle where they cross it, snaps vertices near the circle onto it,
// re-triangulates the cut triangles, makes the opposite edges of the removed
// triangles the new collision boundary, shades the surroundings (rim, glow),
// records what was removed, and removes the spikes left where the cut meets
// the old boundary.
// The drawable and collision tree are not touched (LevelGeometryImpl rebuilds
// them). run() does every step in order; a test may call the steps itself to
// look at the mesh in between.
class LevelCarve {
public:
    // The radius must be above 0 and finite. With a result record, it is
    // emptied and filled; without one no particle data is gathered.
    LevelCarve(LevelMesh& mesh, float x, float y, float radius, CarveResult* result = nullptr);

    // All steps.
    void run();
    // The steps up to (not including) spike removal and finish().
    void cut();

    // Remembers the selector's autoselect flag, switches it off, clears the
    // selection (and empties the result record).
    void prepare();
    // Bisects the triangles reaching into the circle that are too coarse
    // for the cut (RefineCoarseTriangles).
    void refine();
    // Selects the vertices less than the snap distance inside the circle and
    // exactly the edges with one end among them; moves the other vertices
    // inside the circle onto it (where that turns no triangle over); shades
    // every vertex near the circle.
    void vertex_pass();
    // Splits each selected (crossing) edge where it crosses the circle (a new
    // vertex with the edge as parent and the edge's two halves; the edge
    // stays selected and the faces at it are selected), or moves its outer
    // end onto the circle when the crossing lies within the snap distance of
    // it (where that turns no triangle over and no edge at it is split
    // already). The edge is deselected when it is not split: also when it
    // crosses the circle other than once, or when another edge of one of its
    // triangles was split within a hundredth of the spacing of its crossing
    // (two such split vertices would leave a sliver too thin to keep its
    // orientation).
    void edge_pass();
    // With autoselect on: replaces each selected face by its refinement at
    // the split vertices of its selected edges, then triangulates the
    // quadrilaterals.
    void cut_faces();
    // Every selected edge without a subset goes to the edge subset.
    void assign_new_edges();
    // Selects the faces at the inside vertices and finds the new boundary:
    // the edges opposite the inside vertices that keep a face and touch no
    // inside vertex go to the collision subset; old boundary edges that lose
    // their only face are selected for removal.
    void find_boundary();
    // Records the corners of the triangles about to go (with a result record).
    void gather_removed_triangles();
    // Erases the selected edges and the inside vertices, then any new
    // boundary edge left without a face (with its ends when they keep no
    // edge); clears the selection.
    void remove();
    // Records the new boundary edges that touch lava (with a result record).
    void gather_lava_edges();
    // Selects the new boundary edges and the vertices where a chain of them
    // ends (where the cut meets the old boundary).
    void mark_boundary_ends();
    // Spike removal at the chain ends, when there are any.
    void remove_spikes();
    // Restores the autoselect flag.
    void finish();

    const std::vector<mg::Vertex*>& inside_vertices() const { return inside_vertices_; }
    const std::vector<mg::Edge*>& new_boundary() const { return new_boundary_; }
    size_t num_split_edges() const { return num_split_edges_; }

private:
    float dist_sq(const MeshVector& p) const;
    // Moves v onto the circle unless that would turn over (or flatten) one
    // of its triangles that stays; false when it stays where it is.
    bool move_onto_circle(mg::Vertex* v);
    // True when a split vertex of another edge of a triangle at e lies that
    // close to point that splitting e there would leave a sliver.
    bool near_split_vertex(mg::Edge* e, const MeshVector& point);

    LevelMesh& mesh_;
    CarveResult* result_;
    MeshVector centre_;
    float radius_;
    float inner_sq_;
    bool autoselect_ = false;
    size_t num_split_edges_ = 0;
    std::vector<mg::Vertex*> inside_vertices_;
    std::vector<mg::Edge*> new_boundary_;
};

}  // namespace vo
