#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/edge_occupancy.h"
#include "engine/scene/scene_node.h"

namespace vo {

class Traverser_CollectEdges;

// A level edge ready for the swept test.
struct PreparedEdge {
    float ax, ay;  // first point
    float ex, ey;  // second point - first point
    float nx, ny;  // unit normal, pointing to the front
    float c;       // n . p + c: signed distance of p from the edge's line
};

// The level's edges as the physics reads them: the collision tree copied
// into flat arrays, which answer the box queries of Traverser_CollectEdges
// (the same edges in the same order) without walking the nodes, with every
// edge prepared for the swept test, and the map of where the tree has edges.
//
// Both follow the tree through the nodes' revisions (see Node): refresh
// rebuilds them when the newest revision in the tree differs from the one
// they were built at, and looks at the tree at all only when some node
// anywhere has changed since the last look. So every change made through
// the nodes' own operations is seen by the next refresh, among them the
// level's carve, which replaces the single child of the group it handed to
// the physics as its collision tree; nobody has to announce a change.
class LevelEdges {
public:
    LevelEdges();
    ~LevelEdges();
    LevelEdges(const LevelEdges&) = delete;
    LevelEdges& operator=(const LevelEdges&) = delete;

    // Builds the copy and the map for tree unless they were built from the
    // tree as it is now. A null tree has no edges.
    void refresh(const SmartPtr<Node>& tree);
    // Forgets the copy: the next refresh rebuilds.
    void invalidate();

    // Puts the edges of the tree that reach [min, max] (faces included)
    // into out, in the tree's order, leaving out edges of no length (they
    // have no side to be hit from). True when the tree has any edge there,
    // also one of no length, as Traverser_CollectEdges::collect_edges says.
    bool collect(const vector3& min, const vector3& max, std::vector<PreparedEdge>& out) const;

    // Where the tree has edges.
    const EdgeOccupancy& map() const { return map_; }
    // The number of builds so far.
    std::uint64_t num_builds() const { return num_builds_; }

private:
    // The nodes a query tests, in the order the traverser visits them:
    // boxed groups (their subtree is skipped when the box misses the
    // query's) and edge leaves inside a collision tree root. Plain groups
    // only pass their children on and are left out.
    struct FlatNode {
        vector3 min, max;
        bool boxed;
        std::uint32_t skip;  // the first node after this one's subtree
        std::uint32_t first_edge, end_edge;
    };
    struct FlatEdge {
        vector3 a;  // first point
        vector3 d;  // second point - first point
        bool usable;  // has a length
    };

    void build(const SmartPtr<Node>& tree);
    void flatten(const Node* node, const Node* root);

    std::vector<FlatNode> nodes_;
    std::vector<FlatEdge> edges_;
    std::vector<PreparedEdge> prepared_;  // one per edge
    EdgeOccupancy map_;
    std::unique_ptr<Traverser_CollectEdges> map_query_;

    // What refresh last saw.
    bool built_ = false;
    const Node* built_root_ = nullptr;
    std::uint64_t built_revision_ = 0;  // the newest revision in the tree when built
    std::uint64_t checked_at_ = 0;      // Node::latest_revision() at the last look
    std::uint64_t num_builds_ = 0;
};

}  // namespace vo
