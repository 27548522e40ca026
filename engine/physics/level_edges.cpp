#include "engine/physics/level_edges.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

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

namespace {

std::size_t LeafSlot(const Node* leaf, std::size_t mask) {
    return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(leaf) >> 4) * 0x9E3779B97F4A7C15ull) & mask;
}

bool SameBits(const vector3& a, const vector3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

long LevelEdges::earlier_leaf(const Node* leaf) const {
    if (earlier_leaves_.empty()) return -1;
    const std::size_t mask = earlier_leaves_.size() - 1;
    for (std::size_t i = LeafSlot(leaf, mask);; i = (i + 1) & mask) {
        if (earlier_leaves_[i].first == leaf) return static_cast<long>(earlier_leaves_[i].second);
        if (!earlier_leaves_[i].first) return -1;
    }
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
    // The same tree again: the last build's leaves by node, to keep from.
    keeping_ = built_ && built_root_ == tree.get();
    if (keeping_) {
        nodes_.swap(earlier_nodes_);
        edges_.swap(earlier_edges_);
        prepared_.swap(earlier_prepared_);
        leaf_of_.swap(earlier_leaf_of_);
        earlier_kept_.assign(earlier_nodes_.size(), 0);
        std::size_t slots = 16;
        while (slots < 2 * earlier_nodes_.size()) slots *= 2;
        earlier_leaves_.assign(slots, std::pair<const Node*, std::uint32_t>(nullptr, 0));
        for (std::size_t i = 0; i < earlier_nodes_.size(); ++i) {
            const Node* leaf = earlier_leaf_of_[i];
            if (!leaf) continue;
            std::size_t at = LeafSlot(leaf, slots - 1);
            while (earlier_leaves_[at].first && earlier_leaves_[at].first != leaf) at = (at + 1) & (slots - 1);
            // A leaf under several roots: its first place.
            if (!earlier_leaves_[at].first) earlier_leaves_[at] = std::make_pair(leaf, static_cast<std::uint32_t>(i));
        }
    }
    nodes_.clear();
    edges_.clear();
    prepared_.clear();
    leaf_of_.clear();
    edge_is_new_.clear();
    flatten(tree.get(), nullptr);
    if (keeping_) {
        update_map(tree);
    } else {
        map_.build(tree, *map_query_);
    }
    keeping_ = false;
}

void LevelEdges::copy_leaf(const CollisionEdgesNode* leaf, const vector3* points) {
    const int n = leaf->num_edges();
    const int* indices = leaf->get_edges();
    const long earlier = keeping_ ? earlier_leaf(leaf) : -1;
    if (earlier >= 0) {
        const FlatNode& was = earlier_nodes_[static_cast<std::size_t>(earlier)];
        bool same = static_cast<int>(was.end_edge - was.first_edge) == n;
        for (int k = 0; same && k < n; ++k) {
            const FlatEdge& e = earlier_edges_[was.first_edge + static_cast<std::uint32_t>(k)];
            same = SameBits(e.a, points[indices[2 * k]]) && SameBits(e.b, points[indices[2 * k + 1]]);
        }
        if (same) {
            earlier_kept_[static_cast<std::size_t>(earlier)] = 1;
            edges_.insert(edges_.end(), earlier_edges_.begin() + was.first_edge, earlier_edges_.begin() + was.end_edge);
            prepared_.insert(prepared_.end(), earlier_prepared_.begin() + was.first_edge,
                             earlier_prepared_.begin() + was.end_edge);
            edge_is_new_.insert(edge_is_new_.end(), static_cast<std::size_t>(n), 0);
            return;
        }
    }
    for (int k = 0; k < n; ++k) {
        const vector3& a = points[indices[2 * k]];
        const vector3& b = points[indices[2 * k + 1]];
        PreparedEdge prepared{};
        const bool usable = Prepare(a, b, prepared);
        edges_.push_back(FlatEdge{a, b, vector3(b.x - a.x, b.y - a.y, b.z - a.z), usable});
        prepared_.push_back(prepared);
        edge_is_new_.push_back(1);
    }
}

template <class Visit>
void LevelEdges::for_each_edge_reaching(const vector3& min, const vector3& max, Visit visit) const {
    const std::size_t n = nodes_.size();
    for (std::size_t i = 0; i < n;) {
        const FlatNode& node = nodes_[i];
        if (node.boxed && (min.x > node.max.x || node.min.x > max.x || min.y > node.max.y || node.min.y > max.y ||
                           min.z > node.max.z || node.min.z > max.z)) {
            i = node.skip;
            continue;
        }
        for (std::uint32_t k = node.first_edge; k < node.end_edge; ++k) {
            if (SegmentMeetsBox(edges_[k].a, edges_[k].d, min, max)) visit(k);
        }
        ++i;
    }
}

// As a whole build maps the tree, but only in the cells that the edges gone
// and the new edges mark: they are cleared and marked again by every edge
// that the map's query over the whole tree finds and that marks them.
void LevelEdges::update_map(const SmartPtr<Node>& tree) {
    if (!map_.has_box_of(tree)) {
        map_.build(tree, *map_query_);
        return;
    }
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    auto add = [&](const FlatEdge& e) {
        int ex0, ey0, ex1, ey1;
        map_.cells_of(e.a, e.b, ex0, ey0, ex1, ey1);
        if (x1 < x0) {
            x0 = ex0, y0 = ey0, x1 = ex1, y1 = ey1;
            return;
        }
        x0 = std::min(x0, ex0), y0 = std::min(y0, ey0), x1 = std::max(x1, ex1), y1 = std::max(y1, ey1);
    };
    for (std::size_t i = 0; i < earlier_nodes_.size(); ++i) {
        if (!earlier_leaf_of_[i] || earlier_kept_[i]) continue;
        for (std::uint32_t k = earlier_nodes_[i].first_edge; k < earlier_nodes_[i].end_edge; ++k) add(earlier_edges_[k]);
    }
    for (std::size_t k = 0; k < edges_.size(); ++k) {
        if (edge_is_new_[k]) add(edges_[k]);
    }
    if (x1 < x0) return;
    map_.clear_cells(x0, y0, x1, y1);
    // mark keeps to the cleared cells: an edge beside them marks nothing.
    for_each_edge_reaching(map_.min(), map_.max(), [&](std::uint32_t k) {
        const FlatEdge& e = edges_[k];
        map_.mark(e.a, e.b, x0, y0, x1, y1);
    });
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
            leaf_of_.push_back(nullptr);
            if (id == NODE_ID_COLLISION_TREE_ROOT) root = node;
        }
        const int n = group->num_children();
        for (int i = 0; i < n; ++i) flatten(group->get_child(i).get(), root);
        if (id != NODE_ID_GROUP) nodes_[index].skip = static_cast<std::uint32_t>(nodes_.size());
    } else if (id == NODE_ID_COLLISION_EDGES && root) {
        const std::uint32_t first = static_cast<std::uint32_t>(edges_.size());
        copy_leaf(static_cast<const CollisionEdgesNode*>(node), static_cast<const CollisionTreeRootNode*>(root)->get_points());
        const std::uint32_t end = static_cast<std::uint32_t>(edges_.size());
        nodes_.push_back(FlatNode{vector3(), vector3(), false, static_cast<std::uint32_t>(nodes_.size() + 1), first, end});
        leaf_of_.push_back(node);
    }
}

bool LevelEdges::collect(const vector3& min, const vector3& max, std::vector<PreparedEdge>& out) const {
    out.clear();
    bool found = false;
    for_each_edge_reaching(min, max, [&](std::uint32_t k) {
        found = true;
        if (edges_[k].usable) out.push_back(prepared_[k]);
    });
    return found;
}

}  // namespace vo
