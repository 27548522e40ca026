#pragma once

#include <memory>
#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/collision_nodes.h"

namespace vo {

// A collision tree of edges as CreateOctree builds it with the edges placed
// by centroid (two points per edge, no ids), kept up to date while its edges
// change. An update builds anew only the cells whose edges have changed,
// rewrites the point indices of the other leaves in place and leaves their
// nodes as they are; the tree it gives is, cell for cell and index for index,
// the one CreateOctree would build from the new points and edges. The root
// stays the same node from build to build.
class UpdatableEdgeTree {
public:
    UpdatableEdgeTree(int max_depth, int max_edges_per_leaf, int dimension);
    ~UpdatableEdgeTree();
    UpdatableEdgeTree(const UpdatableEdgeTree&) = delete;
    UpdatableEdgeTree& operator=(const UpdatableEdgeTree&) = delete;

    // The tree; null while it has no edges.
    const SmartPtr<CollisionTreeRootNode>& root() const { return root_; }

    // Builds the tree anew from the points and the num_edges edges (two
    // point indices each).
    void build(const vector3* points, unsigned int num_points, const int* indices, unsigned int num_edges);
    // Brings the tree to the given points and edges. earlier[k] is the
    // number that edge k had in the last build or update when it is that
    // edge unchanged (the same two positions, in the same order), -1 when
    // edge k is new or has changed; an earlier edge named by no edge (or
    // named twice: the second is taken as new) is gone. Builds anew when
    // there is no tree yet.
    void update(const vector3* points, unsigned int num_points, const int* indices, unsigned int num_edges,
                const int* earlier);

    // The cells built anew by the last build or update.
    unsigned int num_cells_built() const { return cells_built_; }

private:
    struct Cell;
    struct Split {
        std::vector<unsigned int> edges[8];
        vector3 min[8], max[8];
    };

    int split(const Cell& cell, const std::vector<unsigned int>& edges, Split& out) const;
    void build_cell(Cell& cell, std::vector<unsigned int>& edges, int depth);
    void renumber(Cell& cell);
    void place(Cell& cell);
    void rebuild(Cell& cell);
    void settle_leaf(Cell& cell);
    void reshape(Cell& cell, std::vector<unsigned int>& edges);
    void all_edges(const Cell& cell, std::vector<unsigned int>& edges) const;
    void gather(const Cell& cell, std::vector<unsigned int>& edges) const;
    void grow_box(const Cell& cell, vector3& min, vector3& max, bool& any) const;
    void grow_box(unsigned int edge, vector3& min, vector3& max, bool& any) const;
    void write_leaves(Cell& cell);
    vector3 centroid(unsigned int edge) const;

    int max_depth_;
    int max_per_leaf_;
    int dimension_;

    SmartPtr<CollisionTreeRootNode> root_;
    std::unique_ptr<Cell> root_cell_;
    std::vector<vector3> points_;
    std::vector<int> indices_;  // two per edge
    unsigned int num_edges_ = 0;
    unsigned int cells_built_ = 0;

    // Scratch space reused from update to update.
    std::vector<unsigned int> now_numbered_;  // per earlier edge: its number now
    std::vector<unsigned int> child_of_;      // per edge: the child of a reshaped cell that held it
    std::vector<int> leaf_indices_;
};

}  // namespace vo
