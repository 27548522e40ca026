#include "engine/physics/edge_occupancy.h"

#include <cmath>

#include "engine/scene/traverser_collect_edges.h"

namespace vo {

namespace {

// The cell of a coordinate, clamped to the map.
int CellOf(float v, float min, float inv_cell, int cells) {
    const float q = (v - min) * inv_cell;
    if (!(q >= 0.0f)) return 0;  // also NaN
    if (q >= static_cast<float>(cells - 1)) return cells - 1;
    return static_cast<int>(q);
}

// Widens [min, max] (empty while !found) by the boxes of the boxed groups at
// or below node that are reached through plain groups only: the queries
// test these boxes before anything below them. Other nodes hold no edges a
// query could find.
void AddMapBoxes(const Node* node, vector3& min, vector3& max, bool& found) {
    if (!node) return;
    const unsigned int id = node->get_node_id();
    if (id == NODE_ID_BOXED_GROUP || id == NODE_ID_COLLISION_TREE_ROOT) {
        const BoxedGroupNode* boxed = static_cast<const BoxedGroupNode*>(node);
        const vector3& lo = boxed->min_corner();
        const vector3& hi = boxed->max_corner();
        if (!found) {
            min = lo;
            max = hi;
            found = true;
            return;
        }
        for (unsigned int a = 0; a < 3; ++a) {
            if (lo[a] < min[a]) min[a] = lo[a];
            if (hi[a] > max[a]) max[a] = hi[a];
        }
    } else if (id == NODE_ID_GROUP) {
        const GroupNode* group = static_cast<const GroupNode*>(node);
        const int n = group->num_children();
        for (int i = 0; i < n; ++i) AddMapBoxes(group->get_child(i).get(), min, max, found);
    }
}

}  // namespace

bool EdgeOccupancy::has_box_of(const SmartPtr<Node>& tree) const {
    if (!valid_) return false;
    vector3 min, max;
    bool found = false;
    AddMapBoxes(tree.get(), min, max, found);
    return found && min.x == min_.x && min.y == min_.y && min.z == min_.z && max.x == max_.x && max.y == max_.y &&
           max.z == max_.z;
}

// The edge's box, one cell wider on every side against rounding.
void EdgeOccupancy::cells_of(const vector3& a, const vector3& b, int& x0, int& y0, int& x1, int& y1) const {
    x0 = CellOf(a.x < b.x ? a.x : b.x, min_.x, inv_cell_x_, kCells) - 1;
    x1 = CellOf(a.x < b.x ? b.x : a.x, min_.x, inv_cell_x_, kCells) + 1;
    y0 = CellOf(a.y < b.y ? a.y : b.y, min_.y, inv_cell_y_, kCells) - 1;
    y1 = CellOf(a.y < b.y ? b.y : a.y, min_.y, inv_cell_y_, kCells) + 1;
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 >= kCells) x1 = kCells - 1;
    if (y1 >= kCells) y1 = kCells - 1;
}

void EdgeOccupancy::clear_cells(int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) cells_[static_cast<std::size_t>(y) * kCells + static_cast<std::size_t>(x)] = 0;
    }
}

void EdgeOccupancy::mark(const vector3& a, const vector3& b, int x0, int y0, int x1, int y1) {
    int ex0, ey0, ex1, ey1;
    cells_of(a, b, ex0, ey0, ex1, ey1);
    if (ex0 < x0) ex0 = x0;
    if (ey0 < y0) ey0 = y0;
    if (ex1 > x1) ex1 = x1;
    if (ey1 > y1) ey1 = y1;
    for (int y = ey0; y <= ey1; ++y) {
        for (int x = ex0; x <= ex1; ++x) cells_[static_cast<std::size_t>(y) * kCells + static_cast<std::size_t>(x)] = 1;
    }
}

void EdgeOccupancy::build(const SmartPtr<Node>& tree, Traverser_CollectEdges& query) {
    valid_ = false;
    bool found = false;
    AddMapBoxes(tree.get(), min_, max_, found);
    if (!found) return;
    const float width = max_.x - min_.x;
    const float height = max_.y - min_.y;
    if (!(width > 0.0f) || !(height > 0.0f) || !std::isfinite(width) || !std::isfinite(height)) return;
    inv_cell_x_ = static_cast<float>(kCells) / width;
    inv_cell_y_ = static_cast<float>(kCells) / height;

    cells_.assign(static_cast<std::size_t>(kCells) * kCells, 0);
    if (query.collect_edges(min_, max_, tree)) {
        const unsigned int n = query.num_edges();
        const vector3* const* points = query.edge_points();
        for (unsigned int k = 0; k < n; ++k) mark(*points[2 * k], *points[2 * k + 1], 0, 0, kCells - 1, kCells - 1);
    }
    valid_ = true;
}

bool EdgeOccupancy::certainly_empty(float min_x, float min_y, float max_x, float max_y) const {
    if (!valid_) return false;
    // Only boxes inside the map's box: an edge reaching beyond it might be
    // found there without being mapped.
    if (!(min_x >= min_.x && max_x <= max_.x && min_y >= min_.y && max_y <= max_.y)) return false;
    const int x0 = CellOf(min_x, min_.x, inv_cell_x_, kCells);
    const int x1 = CellOf(max_x, min_.x, inv_cell_x_, kCells);
    const int y0 = CellOf(min_y, min_.y, inv_cell_y_, kCells);
    const int y1 = CellOf(max_y, min_.y, inv_cell_y_, kCells);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (cells_[static_cast<std::size_t>(y) * kCells + static_cast<std::size_t>(x)]) return false;
        }
    }
    return true;
}

}  // namespace vo
