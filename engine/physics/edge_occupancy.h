#pragma once

#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/scene_node.h"

namespace vo {

class Traverser_CollectEdges;

// A coarse map of where a collision tree has edges, which tells the fluid
// stage when a particle's path cannot meet any edge, so that the search for
// edges can be left out. Only boxes inside the map's box are answered: the
// root's own box, or for a plain group at the top the box around the boxed
// groups below it (reached through plain groups only). The map never calls a
// box empty that an edge reaches.
class EdgeOccupancy {
public:
    // Maps the edges of tree (found with query over the map's box). A tree
    // without a box gives no map.
    void build(const SmartPtr<Node>& tree, Traverser_CollectEdges& query);
    // Forgets the map: every box may hold edges.
    void invalidate() { valid_ = false; }
    // True only when no edge of the tree can reach the box [min, max].
    bool certainly_empty(float min_x, float min_y, float max_x, float max_y) const;

    // Bringing a map up to a changed tree a part at a time, as build would
    // map it: the map's box, which build finds for the tree (false when it
    // finds none, or one other than the map's); the cells an edge from a to
    // b marks (inclusive ranges); and the cells of a range cleared, or marked
    // where an edge marks them.
    bool has_box_of(const SmartPtr<Node>& tree) const;
    const vector3& min() const { return min_; }
    const vector3& max() const { return max_; }
    void cells_of(const vector3& a, const vector3& b, int& x0, int& y0, int& x1, int& y1) const;
    void clear_cells(int x0, int y0, int x1, int y1);
    void mark(const vector3& a, const vector3& b, int x0, int y0, int x1, int y1);

private:
    static constexpr int kCells = 128;

    bool valid_ = false;
    vector3 min_;
    vector3 max_;
    float inv_cell_x_ = 0.0f;
    float inv_cell_y_ = 0.0f;
    std::vector<unsigned char> cells_;  // kCells x kCells, row by row
};

}  // namespace vo
