#include "engine/physics/level_edges.h"

#include <cmath>

#include "engine/scene/clip_line_to_box.h"
#include "engine/scene/collision_nodes.h"
#include "engine/scene/traverser_collect_edges.h"

namespace vo {

namespace {

bool IsGroup(unsigned int id) {
    return id == NODE_ID_GROUP || id == NODE_ID_BOXED_GROUP || id == NODE_ID_COLLISION_TREE_ROOT;
}

// The newest revision of node and everything below it.
std::uint64_t NewestRevision(const Node* node) {
    if (!node) return 0;
    std::uint64_t newest = node->revision();
    if (IsGroup(node->get_node_id())) {
        const GroupNode* group = static_cast<const GroupNode*>(node);
        const int n = group->num_children();
        for (int i = 0; i < n; ++i) {
            const std::uint64_t r = NewestRevision(group->get_child(i).get());
            if (r > newest) newest = r;
        }
    }
    return newest;
}

// The edge from a to b for the swept test; false for an edge of no length.
bool Prepare(const vector3& a, const vector3& b, PreparedEdge& e) {
    float dx = b.x - a.x;
    float dy = b.y - a.y;
    const float len = static_cast<float>(std::sqrt(static_cast<double>((dx * dx + 0.0f) + dy * dy)));
    if (!(len > 0.0f)) return false;
    dx = dx / len;
    dy = dy / len;
    e.ax = a.x;
    e.ay = a.y;
    e.ex = b.x - a.x;
    e.ey = b.y - a.y;
    e.nx = dy;
    e.ny = -dx;
    e.c = dx * a.y - dy * a.x;
    return true;
}

}  // namespace

LevelEdges::LevelEdges() : map_query_(new Traverser_CollectEdges()) {}

LevelEdges::~LevelEdges() = default;

void LevelEdges::invalidate() {
    built_ = false;
    map_.invalidate();
}

void LevelEdges::refresh(const SmartPtr<Node>& tree) {
    const std::uint64_t latest = Node::latest_revision();
    if (built_ && built_root_ == tree.get() && latest == checked_at_) return;
    checked_at_ = latest;
    const std::uint64_t newest = NewestRevision(tree.get());
    if (built_ && built_root_ == tree.get() && newest == built_revision_) return;
    build(tree);
    built_ = true;
    built_root_ = tree.get();
    built_revision_ = newest;
}

void LevelEdges::build(const SmartPtr<Node>& tree) {
    ++num_builds_;
    nodes_.clear();
    edges_.clear();
    prepared_.clear();
    flatten(tree.get(), nullptr);
    map_.build(tree, *map_query_);
}

// As Traverser_CollectEdges dispatches: groups pass on to their children,
// boxed groups and roots test their box first, edge leaves read their
// points from the innermost root above them (and are skipped outside any
// root); every other node is skipped.
void LevelEdges::flatten(const Node* node, const Node* root) {
    if (!node) return;
    const unsigned int id = node->get_node_id();
    if (id == NODE_ID_GROUP || id == NODE_ID_BOXED_GROUP || id == NODE_ID_COLLISION_TREE_ROOT) {
        const GroupNode* group = static_cast<const GroupNode*>(node);
        std::size_t index = nodes_.size();
        if (id != NODE_ID_GROUP) {
            const BoxedGroupNode* boxed = static_cast<const BoxedGroupNode*>(node);
            nodes_.push_back(FlatNode{boxed->min_corner(), boxed->max_corner(), true, 0, 0, 0});
            if (id == NODE_ID_COLLISION_TREE_ROOT) root = node;
        }
        const int n = group->num_children();
        for (int i = 0; i < n; ++i) flatten(group->get_child(i).get(), root);
        if (id != NODE_ID_GROUP) nodes_[index].skip = static_cast<std::uint32_t>(nodes_.size());
    } else if (id == NODE_ID_COLLISION_EDGES && root) {
        const CollisionEdgesNode* leaf = static_cast<const CollisionEdgesNode*>(node);
        const vector3* points = static_cast<const CollisionTreeRootNode*>(root)->get_points();
        const int n = leaf->num_edges();
        const int* indices = leaf->get_edges();
        const std::uint32_t first = static_cast<std::uint32_t>(edges_.size());
        for (int k = 0; k < n; ++k) {
            const vector3& a = points[indices[2 * k]];
            const vector3& b = points[indices[2 * k + 1]];
            PreparedEdge prepared{};
            const bool usable = Prepare(a, b, prepared);
            edges_.push_back(FlatEdge{a, vector3(b.x - a.x, b.y - a.y, b.z - a.z), usable});
            prepared_.push_back(prepared);
        }
        const std::uint32_t end = static_cast<std::uint32_t>(edges_.size());
        nodes_.push_back(FlatNode{vector3(), vector3(), false, static_cast<std::uint32_t>(nodes_.size() + 1), first, end});
    }
}

bool LevelEdges::collect(const vector3& min, const vector3& max, std::vector<PreparedEdge>& out) const {
    out.clear();
    bool found = false;
    const std::size_t n = nodes_.size();
    for (std::size_t i = 0; i < n;) {
        const FlatNode& node = nodes_[i];
        if (node.boxed && (min.x > node.max.x || node.min.x > max.x || min.y > node.max.y || node.min.y > max.y ||
                           min.z > node.max.z || node.min.z > max.z)) {
            i = node.skip;
            continue;
        }
        for (std::uint32_t k = node.first_edge; k < node.end_edge; ++k) {
            const FlatEdge& e = edges_[k];
            if (!SegmentMeetsBox(e.a, e.d, min, max)) continue;
            found = true;
            if (e.usable) out.push_back(prepared_[k]);
        }
        ++i;
    }
    return found;
}

}  // namespace vo
