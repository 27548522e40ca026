#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/edge_occupancy.h"
#include "engine/scene/scene_node.h"

namespace vo {

class CollisionEdgesNode;
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
// level's carve, which brings the tree below the group it handed to the
// physics up to date; nobody has to announce a change.
//
// A rebuild for the tree of the last build keeps what has not changed: a
// leaf whose edges lie where they lay (the same leaf node, the same points)
// keeps its prepared edges, and the map is worked out again only around the
// edges that are gone or new. Both come out as a whole build would give
// them.
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
        vector3 b;  // second point
        vector3 d;  // second point - first point
        bool usable;  // has a length
    };

    void build(const SmartPtr<Node>& tree);
    void flatten(const Node* node, const Node* root);
    // Copies the edges of leaf into the flat arrays, those of its place in
    // the last build when they are the same.
    void copy_leaf(const CollisionEdgesNode* leaf, const vector3* points);
    // The flat node of the last build that held the leaf; -1 when none did.
    long earlier_leaf(const Node* leaf) const;
    // The map around the edges that are gone or new since the last build.
    void update_map(const SmartPtr<Node>& tree);
    // Calls visit with the number of every edge that reaches [min, max], in
    // the tree's order, as Traverser_CollectEdges finds them.
    template <class Visit>
    void for_each_edge_reaching(const vector3& min, const vector3& max, Visit visit) const;

    std::vector<FlatNode> nodes_;
    std::vector<FlatEdge> edges_;
    std::vector<PreparedEdge> prepared_;  // one per edge
    std::vector<const Node*> leaf_of_;  // per flat node: the leaf it copies, null for a boxed group
    std::vector<char> edge_is_new_;     // per edge: not kept from the last build
    EdgeOccupancy map_;

    // The last build's flat arrays while the next is made, and its leaves by
    // node (open addressing: (node, flat node) pairs).
    bool keeping_ = false;
    std::vector<FlatNode> earlier_nodes_;
    std::vector<FlatEdge> earlier_edges_;
    std::vector<PreparedEdge> earlier_prepared_;
    std::vector<const Node*> earlier_leaf_of_;
    std::vector<char> earlier_kept_;  // per earlier flat node: a leaf kept in this build
    std::vector<std::pair<const Node*, std::uint32_t>> earlier_leaves_;
    std::unique_ptr<Traverser_CollectEdges> map_query_;

    // What refresh last saw.
    bool built_ = false;
    const Node* built_root_ = nullptr;
    std::uint64_t built_revision_ = 0;  // the newest revision in the tree when built
    std::uint64_t checked_at_ = 0;      // Node::latest_revision() at the last look
    std::uint64_t num_builds_ = 0;
};

}  // namespace vo
