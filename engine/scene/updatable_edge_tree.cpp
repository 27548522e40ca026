#include "engine/scene/updatable_edge_tree.h"

#include <algorithm>
#include <iterator>

#include "engine/scene/octree_cells.h"

namespace vo {

namespace {

constexpr unsigned int kGone = 0xFFFFFFFFu;

bool SameBox(const vector3& min_a, const vector3& max_a, const vector3& min_b, const vector3& max_b) {
    return min_a.x == min_b.x && min_a.y == min_b.y && min_a.z == min_b.z && max_a.x == max_b.x &&
           max_a.y == max_b.y && max_a.z == max_b.z;
}

}  // namespace

// A cell of the tree with the edges it holds. A leaf cell (no children)
// holds its edges in one leaf node below its own node, none when it has no
// edges; a split cell holds them in its children.
struct UpdatableEdgeTree::Cell {
    SmartPtr<BoxedGroupNode> node;
    SmartPtr<CollisionEdgesNode> leaf;
    std::vector<unsigned int> edges;  // a leaf cell's edges, by number
    std::unique_ptr<Cell> children[8];
    int num_children = 0;
    int depth = 0;  // levels of cells that may still follow below
    unsigned int count = 0;
    // During an update: edges were lost below, and the edges coming in.
    bool lost = false;
    std::vector<unsigned int> added;
};

UpdatableEdgeTree::UpdatableEdgeTree(int max_depth, int max_edges_per_leaf, int dimension)
    : max_depth_(max_depth), max_per_leaf_(max_edges_per_leaf), dimension_(dimension < 3 ? 2 : 3) {}

UpdatableEdgeTree::~UpdatableEdgeTree() = default;

vector3 UpdatableEdgeTree::centroid(unsigned int edge) const {
    return ElementCentroid(points_.data(), &indices_[2 * static_cast<std::size_t>(edge)], 2);
}

void UpdatableEdgeTree::grow_box(unsigned int edge, vector3& min, vector3& max, bool& any) const {
    const vector3& a = points_[static_cast<std::size_t>(indices_[2 * static_cast<std::size_t>(edge)])];
    const vector3& b = points_[static_cast<std::size_t>(indices_[2 * static_cast<std::size_t>(edge) + 1])];
    if (!any) {
        min = max = a;
        any = true;
    } else {
        GrowBox(min, max, a);
    }
    GrowBox(min, max, b);
}

void UpdatableEdgeTree::grow_box(const Cell& cell, vector3& min, vector3& max, bool& any) const {
    for (unsigned int e : cell.edges) grow_box(e, min, max, any);
    for (int i = 0; i < cell.num_children; ++i) grow_box(*cell.children[i], min, max, any);
}

void UpdatableEdgeTree::gather(const Cell& cell, std::vector<unsigned int>& edges) const {
    edges.insert(edges.end(), cell.edges.begin(), cell.edges.end());
    for (int i = 0; i < cell.num_children; ++i) gather(*cell.children[i], edges);
}

void UpdatableEdgeTree::build(const vector3* points, unsigned int num_points, const int* indices,
                              unsigned int num_edges) {
    points_.assign(points, points + num_points);
    indices_.assign(indices, indices + 2 * static_cast<std::size_t>(num_edges));
    num_edges_ = num_edges;
    cells_built_ = 0;
    if (num_edges == 0) {
        root_.reset();
        root_cell_.reset();
        return;
    }
    if (!root_) root_ = CollisionTreeRootNode::create();
    root_->clear_points();
    root_->add_points(points, static_cast<int>(num_points));
    vector3 min, max;
    RootCellBox(points, num_points, min, max);
    root_->set_box(min, max);
    root_cell_.reset(new Cell());
    root_cell_->node = root_;
    std::vector<unsigned int> all(num_edges);
    for (unsigned int k = 0; k < num_edges; ++k) all[k] = k;
    build_cell(*root_cell_, all, max_depth_);
}

// As CreateOctree builds a cell by centroid: a leaf holding the edges in
// their order when there are few enough or no level is left, otherwise one
// child per octant, each with the box of its edges' points.
void UpdatableEdgeTree::build_cell(Cell& cell, std::vector<unsigned int>& edges, int depth) {
    ++cells_built_;
    BoxedGroupNode& node = *cell.node;
    node.clear();
    for (int i = 0; i < cell.num_children; ++i) cell.children[i].reset();
    cell.num_children = 0;
    cell.leaf.reset();
    cell.depth = depth;
    cell.count = static_cast<unsigned int>(edges.size());
    cell.lost = false;
    cell.added.clear();
    if (depth <= 0 || static_cast<long long>(cell.count) <= static_cast<long long>(max_per_leaf_)) {
        cell.edges.swap(edges);
        if (cell.count > 0) {
            cell.leaf = CollisionEdgesNode::create();
            write_leaves(cell);
            node.add_child(cell.leaf);
        }
        return;
    }
    cell.edges.clear();

    Split parts;
    const int n = split(cell, edges, parts);
    cell.num_children = n;
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<Cell> child(new Cell());
        child->node = BoxedGroupNode::create();
        child->node->set_box(parts.min[i], parts.max[i]);
        node.add_child(child->node);
        build_cell(*child, parts.edges[i], depth - 1);
        cell.children[i] = std::move(child);
    }
}

// As a cell split by centroid shares its edges out: each child's edges in
// order and its box.
int UpdatableEdgeTree::split(const Cell& cell, const std::vector<unsigned int>& edges, Split& out) const {
    const CentroidPlacement placement(cell.node->min_corner(), cell.node->max_corner(), dimension_);
    bool any[8] = {false, false, false, false, false, false, false, false};
    for (unsigned int e : edges) {
        const int child = placement.child_of(centroid(e));
        out.edges[child].push_back(e);
        grow_box(e, out.min[child], out.max[child], any[child]);
    }
    for (int i = 0; i < placement.num_children(); ++i) PlacedCellBox(any[i], out.min[i], out.max[i]);
    return placement.num_children();
}

void UpdatableEdgeTree::update(const vector3* points, unsigned int num_points, const int* indices,
                               unsigned int num_edges, const int* earlier) {
    if (!root_ || num_edges == 0) {
        build(points, num_points, indices, num_edges);
        return;
    }
    // What became of each earlier edge; the edges without an earlier one
    // come in from the root down.
    now_numbered_.assign(num_edges_, kGone);
    root_cell_->added.clear();
    for (unsigned int k = 0; k < num_edges; ++k) {
        const int j = earlier[k];
        if (j >= 0 && static_cast<unsigned int>(j) < num_edges_ && now_numbered_[static_cast<std::size_t>(j)] == kGone) {
            now_numbered_[static_cast<std::size_t>(j)] = k;
        } else {
            root_cell_->added.push_back(k);
        }
    }
    points_.assign(points, points + num_points);
    indices_.assign(indices, indices + 2 * static_cast<std::size_t>(num_edges));
    num_edges_ = num_edges;
    cells_built_ = 0;
    root_->clear_points();
    root_->add_points(points, static_cast<int>(num_points));

    renumber(*root_cell_);
    vector3 min, max;
    RootCellBox(points, num_points, min, max);
    if (SameBox(min, max, root_->min_corner(), root_->max_corner())) {
        place(*root_cell_);
    } else {
        root_->set_box(min, max);
        std::vector<unsigned int> all(num_edges);
        for (unsigned int k = 0; k < num_edges; ++k) all[k] = k;
        reshape(*root_cell_, all);
    }
    write_leaves(*root_cell_);
}

// The earlier edges of every leaf by their numbers now, in order; the cells
// that lost edges, and every cell's count of the edges it keeps.
void UpdatableEdgeTree::renumber(Cell& cell) {
    cell.lost = false;
    if (cell.num_children == 0) {
        std::size_t kept = 0;
        for (unsigned int e : cell.edges) {
            const unsigned int now = now_numbered_[e];
            if (now == kGone) {
                cell.lost = true;
            } else {
                cell.edges[kept++] = now;
            }
        }
        cell.edges.resize(kept);
        if (!std::is_sorted(cell.edges.begin(), cell.edges.end())) std::sort(cell.edges.begin(), cell.edges.end());
        cell.count = static_cast<unsigned int>(kept);
        return;
    }
    cell.count = 0;
    for (int i = 0; i < cell.num_children; ++i) {
        Cell& child = *cell.children[i];
        renumber(child);
        cell.lost = cell.lost || child.lost;
        cell.count += child.count;
    }
}

// Brings a cell whose box stays to its edges now, when it has lost edges or
// has edges coming in: a cell that stays a leaf takes them in order, a cell
// that stays split hands the new edges to their children and brings each
// child that changed along, building anew those whose box changes; a cell
// that changes between leaf and split is built anew.
void UpdatableEdgeTree::place(Cell& cell) {
    if (!cell.lost && cell.added.empty()) return;
    const unsigned int count = cell.count + static_cast<unsigned int>(cell.added.size());
    const bool divided = cell.depth > 0 && static_cast<long long>(count) > static_cast<long long>(max_per_leaf_);
    if (divided != (cell.num_children > 0)) {
        rebuild(cell);
        return;
    }
    cell.count = count;
    cell.lost = false;
    if (!divided) {
        // Both in order: the new edges merge into the kept ones.
        const std::size_t kept = cell.edges.size();
        cell.edges.insert(cell.edges.end(), cell.added.begin(), cell.added.end());
        std::inplace_merge(cell.edges.begin(), cell.edges.begin() + static_cast<std::ptrdiff_t>(kept), cell.edges.end());
        cell.added.clear();
        settle_leaf(cell);
        return;
    }

    const CentroidPlacement placement(cell.node->min_corner(), cell.node->max_corner(), dimension_);
    for (unsigned int e : cell.added) cell.children[placement.child_of(centroid(e))]->added.push_back(e);
    cell.added.clear();
    for (int i = 0; i < cell.num_children; ++i) {
        Cell& child = *cell.children[i];
        if (!child.lost && child.added.empty()) continue;
        vector3 min, max;
        bool any = false;
        grow_box(child, min, max, any);
        for (unsigned int e : child.added) grow_box(e, min, max, any);
        PlacedCellBox(any, min, max);
        if (SameBox(min, max, child.node->min_corner(), child.node->max_corner())) {
            place(child);
        } else {
            child.node->set_box(min, max);
            std::vector<unsigned int> edges;
            all_edges(child, edges);
            reshape(child, edges);
        }
    }
}

// A leaf cell's leaf node is there while it has edges; write_leaves gives
// it their indices.
void UpdatableEdgeTree::settle_leaf(Cell& cell) {
    if (cell.count == 0 && cell.leaf) {
        cell.node->clear();
        cell.leaf.reset();
    } else if (cell.count > 0 && !cell.leaf) {
        cell.leaf = CollisionEdgesNode::create();
        cell.node->add_child(cell.leaf);
    }
}

void UpdatableEdgeTree::rebuild(Cell& cell) {
    std::vector<unsigned int> edges;
    all_edges(cell, edges);
    build_cell(cell, edges, cell.depth);
}

// The edges a cell keeps and those coming in, in order.
void UpdatableEdgeTree::all_edges(const Cell& cell, std::vector<unsigned int>& edges) const {
    gather(cell, edges);
    const std::size_t kept = edges.size();
    edges.insert(edges.end(), cell.added.begin(), cell.added.end());
    std::sort(edges.begin(), edges.begin() + static_cast<std::ptrdiff_t>(kept));
    std::inplace_merge(edges.begin(), edges.begin() + static_cast<std::ptrdiff_t>(kept), edges.end());
}

// Brings a cell whose box has changed to hold the given edges (in order):
// a cell split before and after places them all anew and keeps each child
// that gets exactly the edges it kept (and so its box), bringing the others
// along the same way; a cell that is or becomes a leaf takes them as they
// are, or is built anew.
void UpdatableEdgeTree::reshape(Cell& cell, std::vector<unsigned int>& edges) {
    const unsigned int count = static_cast<unsigned int>(edges.size());
    const bool divided = cell.depth > 0 && static_cast<long long>(count) > static_cast<long long>(max_per_leaf_);
    if (!divided || cell.num_children == 0) {
        if (divided || cell.num_children > 0) {
            build_cell(cell, edges, cell.depth);
            return;
        }
        cell.edges.swap(edges);
        cell.added.clear();
        cell.lost = false;
        cell.count = count;
        settle_leaf(cell);
        return;
    }

    // Which child holds each edge now.
    if (child_of_.size() < num_edges_) child_of_.resize(num_edges_);
    for (unsigned int e : edges) child_of_[e] = kGone;
    std::vector<unsigned int> kept;
    for (int i = 0; i < cell.num_children; ++i) {
        kept.clear();
        gather(*cell.children[i], kept);
        for (unsigned int e : kept) child_of_[e] = static_cast<unsigned int>(i);
    }
    Split parts;
    split(cell, edges, parts);
    cell.count = count;
    cell.lost = false;
    cell.added.clear();
    bool same[8];
    for (int i = 0; i < cell.num_children; ++i) {
        const Cell& child = *cell.children[i];
        const std::vector<unsigned int>& part = parts.edges[i];
        same[i] = !child.lost && part.size() == child.count;
        for (std::size_t k = 0; same[i] && k < part.size(); ++k) same[i] = child_of_[part[k]] == static_cast<unsigned int>(i);
    }
    for (int i = 0; i < cell.num_children; ++i) {
        if (same[i]) continue;
        Cell& child = *cell.children[i];
        if (!SameBox(parts.min[i], parts.max[i], child.node->min_corner(), child.node->max_corner()))
            child.node->set_box(parts.min[i], parts.max[i]);
        child.added.clear();
        reshape(child, parts.edges[i]);
    }
}

// Every leaf node to the point indices of its edges now; a leaf that holds
// them already is left alone.
void UpdatableEdgeTree::write_leaves(Cell& cell) {
    for (int i = 0; i < cell.num_children; ++i) write_leaves(*cell.children[i]);
    if (!cell.leaf) return;
    leaf_indices_.clear();
    for (unsigned int e : cell.edges) {
        leaf_indices_.push_back(indices_[2 * static_cast<std::size_t>(e)]);
        leaf_indices_.push_back(indices_[2 * static_cast<std::size_t>(e) + 1]);
    }
    CollisionEdgesNode& leaf = *cell.leaf;
    const int n = static_cast<int>(cell.edges.size());
    if (leaf.num_edges() == n && std::equal(leaf_indices_.begin(), leaf_indices_.end(), leaf.get_edges())) return;
    if (leaf.num_edges() != 0) leaf.clear_edges();
    leaf.add_edges(leaf_indices_.data(), n);
}

}  // namespace vo
