#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/scene_node.h"

namespace vo {

class Traverser_CollectEdges;

// A coarse map of where a collision tree has edges, which tells the fluid
// stage when a particle's path cannot meet any edge, so that the tree query
// for it can be left out. Only boxes inside the map's box are answered: the
// root's own box, or for a plain group at the top the box around the boxed
// groups below it (reached through plain groups only). The map never calls a
// box empty that an edge reaches.
//
// The map follows the tree through the nodes' revisions (see Node): refresh
// rebuilds it only when the newest revision in the tree differs from the one
// it was built at, and looks at the tree at all only when some node anywhere
// has changed since the last look. So every change made through the nodes'
// own operations is seen by the next refresh, among them the level's carve,
// which replaces the single child of the group it handed to the physics as
// its collision tree; nobody has to announce a change. Handing in another
// tree calls invalidate().
class EdgeOccupancy {
public:
    // Builds the map for tree unless it was built from the tree as it is now.
    void refresh(const SmartPtr<Node>& tree, Traverser_CollectEdges& query);
    // Maps the edges of tree (found with query over the map's box). A tree
    // without a box gives no map.
    void build(const SmartPtr<Node>& tree, Traverser_CollectEdges& query);
    // Forgets the map: every box may hold edges until the next refresh.
    void invalidate() {
        valid_ = false;
        built_ = false;
    }
    // True only when no edge of the tree can reach the box [min, max].
    bool certainly_empty(float min_x, float min_y, float max_x, float max_y) const;

    // The number of builds so far.
    std::uint64_t num_builds() const { return num_builds_; }

private:
    static constexpr int kCells = 128;

    bool valid_ = false;
    vector3 min_;
    vector3 max_;
    float inv_cell_x_ = 0.0f;
    float inv_cell_y_ = 0.0f;
    std::vector<unsigned char> cells_;  // kCells x kCells, row by row

    // What refresh last saw.
    bool built_ = false;
    const Node* built_root_ = nullptr;
    std::uint64_t built_revision_ = 0;  // the newest revision in the tree when built
    std::uint64_t checked_at_ = 0;      // Node::latest_revision() at the last look
    std::uint64_t num_builds_ = 0;
};

}  // namespace vo
