#include "engine/scene/octree.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/core/intersection.h"
#include "engine/scene/clip_line_to_box.h"
#include "engine/scene/octree_cells.h"

namespace vo {

namespace {

bool ElementTouchesBox(const vector3* points, const int* element, int per_element, const vector3& min,
                       const vector3& max) {
    if (per_element == 2) {
        const vector3& a = points[element[0]];
        const vector3& b = points[element[1]];
        return SegmentMeetsBox(a, vector3(b.x - a.x, b.y - a.y, b.z - a.z), min, max);
    }
    const float a[3] = {points[element[0]].x, points[element[0]].y, points[element[0]].z};
    const float b[3] = {points[element[1]].x, points[element[1]].y, points[element[1]].z};
    const float c[3] = {points[element[2]].x, points[element[2]].y, points[element[2]].z};
    const float bmin[3] = {min.x, min.y, min.z};
    const float bmax[3] = {max.x, max.y, max.z};
    return TriangleIntersectsBox(a, b, c, bmin, bmax);
}

// Builds the cells of one tree. Each recursion level owns one set of scratch
// arrays, reused by every cell on that level: a cell sorts its elements into
// per-child runs there in one pass, then builds its children one after the
// other, each completely, handing down a pointer to the child's run.
class OctreeBuilder {
public:
    OctreeBuilder(const vector3* points, int per_element, int max_per_leaf, bool by_centroid, int dimension)
        : points_(points),
          per_element_(per_element),
          max_per_leaf_(max_per_leaf),
          by_centroid_(by_centroid),
          dimension_(dimension < 3 ? 2 : 3),
          num_children_(static_cast<int>(std::pow(2.0, dimension_))) {}

    void build(BoxedGroupNode* node, const int* indices, unsigned int num_indices, const CollisionElementID* ids,
               int depth, size_t level);

private:
    struct Scratch {
        std::vector<std::uint8_t> child_masks;  // per element: bit i set = goes into child i
        std::vector<int> indices;               // the children's elements, child after child
        std::vector<CollisionElementID> ids;
    };

    void make_leaf(BoxedGroupNode* node, const int* indices, unsigned int n, const CollisionElementID* ids);

    const vector3* points_;
    int per_element_;
    int max_per_leaf_;
    bool by_centroid_;
    int dimension_;
    int num_children_;
    std::deque<Scratch> scratch_;  // one per level; a deque keeps references stable while growing
};

void OctreeBuilder::make_leaf(BoxedGroupNode* node, const int* indices, unsigned int n, const CollisionElementID* ids) {
    if (n == 0) return;
    if (per_element_ == 2) {
        SmartPtr<CollisionEdgesNode> leaf = CollisionEdgesNode::create();
        if (ids)
            leaf->add_edges(indices, ids, static_cast<int>(n));
        else
            leaf->add_edges(indices, static_cast<int>(n));
        node->add_child(leaf);
    } else {
        SmartPtr<CollisionTrianglesNode> leaf = CollisionTrianglesNode::create();
        if (ids)
            leaf->add_triangles(indices, ids, n);
        else
            leaf->add_triangles(indices, n);
        node->add_child(leaf);
    }
}

void OctreeBuilder::build(BoxedGroupNode* node, const int* indices, unsigned int num_indices,
                          const CollisionElementID* ids, int depth, size_t level) {
    const unsigned int per = static_cast<unsigned int>(per_element_);
    const unsigned int n = num_indices / per;
    if (depth <= 0 || static_cast<long long>(n) <= static_cast<long long>(max_per_leaf_)) {
        make_leaf(node, indices, n, ids);
        return;
    }

    if (scratch_.size() <= level) scratch_.resize(level + 1);
    Scratch& s = scratch_[level];
    const vector3 min = node->min_corner();
    const vector3 max = node->max_corner();

    vector3 omin[8], omax[8];
    for (int i = 0; i < num_children_; ++i) CellOctant(i, min, max, dimension_, omin[i], omax[i]);
    const vector3 upper_min = omin[num_children_ - 1];

    // Decide every element's children first; an element that no child would
    // take goes to the nearest one, so nothing is ever lost. By centroid the
    // children's bounding boxes grow in the same pass, over the same points in
    // the same order as a later pass over each child's elements would take.
    s.child_masks.resize(n);
    unsigned int count[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    vector3 bmin[8], bmax[8];
    if (by_centroid_) {
        const CentroidPlacement placement(min, max, dimension_);
        for (unsigned int k = 0; k < n; ++k) {
            const int* element = indices + k * per;
            const int child = placement.child_of(ElementCentroid(points_, element, per_element_));
            s.child_masks[k] = static_cast<std::uint8_t>(child);
            unsigned int c = 0;
            if (count[child]++ == 0) {
                bmin[child] = bmax[child] = points_[element[0]];
                c = 1;
            }
            for (; c < per; ++c) GrowBox(bmin[child], bmax[child], points_[element[c]]);
        }
    } else {
        for (unsigned int k = 0; k < n; ++k) {
            const int* element = indices + k * per;
            unsigned int mask = 0;
            for (int i = 0; i < num_children_; ++i)
                if (ElementTouchesBox(points_, element, per_element_, omin[i], omax[i])) mask |= 1u << i;
            if (!mask) mask = 1u << NearestChild(ElementCentroid(points_, element, per_element_), upper_min, dimension_);
            s.child_masks[k] = static_cast<std::uint8_t>(mask);
            for (int i = 0; i < num_children_; ++i) count[i] += (mask >> i) & 1u;
        }
    }

    // Runs of the children's elements, each in element order.
    unsigned int start[9];
    start[0] = 0;
    for (int i = 0; i < num_children_; ++i) start[i + 1] = start[i] + count[i];
    const unsigned int total = start[num_children_];
    s.indices.resize(static_cast<size_t>(total) * per);
    if (ids) s.ids.resize(total);
    unsigned int fill[8];
    for (int i = 0; i < num_children_; ++i) fill[i] = start[i];
    for (unsigned int k = 0; k < n; ++k) {
        const int* element = indices + k * per;
        if (by_centroid_) {
            const unsigned int slot = fill[s.child_masks[k]]++;
            int* out = s.indices.data() + static_cast<size_t>(slot) * per;
            for (unsigned int c = 0; c < per; ++c) out[c] = element[c];
            if (ids) s.ids[slot] = ids[k];
            continue;
        }
        const unsigned int mask = s.child_masks[k];
        for (int i = 0; i < num_children_; ++i) {
            if (!((mask >> i) & 1u)) continue;
            const unsigned int slot = fill[i]++;
            int* out = s.indices.data() + static_cast<size_t>(slot) * per;
            for (unsigned int c = 0; c < per; ++c) out[c] = element[c];
            if (ids) s.ids[slot] = ids[k];
        }
    }

    for (int i = 0; i < num_children_; ++i) {
        const int* child_indices = s.indices.data() + static_cast<size_t>(start[i]) * per;
        const unsigned int child_num_indices = count[i] * per;
        vector3 cmin = omin[i], cmax = omax[i];
        if (by_centroid_) {
            cmin = bmin[i];
            cmax = bmax[i];
            PlacedCellBox(count[i] != 0, cmin, cmax);
        }
        SmartPtr<BoxedGroupNode> child = BoxedGroupNode::create();
        child->set_box(cmin, cmax);
        node->add_child(child);
        build(child.get(), child_indices, child_num_indices, ids ? s.ids.data() + start[i] : nullptr, depth - 1,
              level + 1);
    }
}

}  // namespace

void WidenBox(vector3& min, vector3& max, float factor) {
    auto widen = [factor](float& lo, float& hi) {
        const float c = (lo + hi) * 0.5f;
        const float h = (hi - lo) * 0.5f * factor;
        const float l = c - h;
        const float u = c + h;
        if (l < lo) lo = l;
        if (u > hi) hi = u;
    };
    widen(min.x, max.x);
    widen(min.y, max.y);
    widen(min.z, max.z);
}

void RootCellBox(const vector3* points, unsigned int num_points, vector3& root_min, vector3& root_max) {
    vector3 min, max;
    ComputeBoundingBox(min, max, points, static_cast<int>(num_points));
    const vector3 tight_min = min, tight_max = max;
    const float eps = 1e-6f;
    for (unsigned int a = 0; a < 3; ++a) {
        max[a] = max[a] + eps;
        min[a] = min[a] - eps;
    }
    for (unsigned int a = 0; a < 3; ++a) {
        const float c = (min[a] + max[a]) * 0.5f;
        const float h = (max[a] - min[a]) * 0.5f * 1.001f;
        root_min[a] = c - h;
        root_max[a] = c + h;
        // Never cut off a point through rounding.
        if (tight_min[a] < root_min[a]) root_min[a] = tight_min[a];
        if (tight_max[a] > root_max[a]) root_max[a] = tight_max[a];
    }
}

void CellOctant(int i, const vector3& min, const vector3& max, int dimension, vector3& omin, vector3& omax) {
    const vector3 e(max.x - min.x, max.y - min.y, max.z - min.z);
    const int bit_x = i % 2, bit_y = (i % 4) / 2, bit_z = i / 4;
    const double min_x = bit_x * (static_cast<double>(e.x) * 0.5) + static_cast<double>(min.x);
    const double min_y = bit_y * (static_cast<double>(e.y) * 0.5) + static_cast<double>(min.y);
    omin.x = static_cast<float>(min_x);
    omax.x = static_cast<float>(min_x + static_cast<double>(e.x) * 0.5);
    omin.y = static_cast<float>(min_y);
    omax.y = static_cast<float>(min_y + static_cast<double>(e.y) * 0.5);
    if (dimension > 2) {
        omin.z = static_cast<float>(bit_z) * e.z * 0.5f + min.z;
        omax.z = omin.z + e.z * 0.5f;
    } else {
        omin.z = min.z;
        omax.z = max.z;
    }
}

int NearestChild(const vector3& p, const vector3& upper_min, int dimension) {
    int child = 0;
    if (p.x > upper_min.x) child |= 1;
    if (p.y > upper_min.y) child |= 2;
    if (dimension > 2 && p.z > upper_min.z) child |= 4;
    return child;
}

vector3 ElementCentroid(const vector3* points, const int* element, int per_element) {
    const float factor = static_cast<float>(1.0 / per_element);
    vector3 c = points[element[0]];
    for (int k = 1; k < per_element; ++k) c += points[element[k]];
    c *= factor;
    return c;
}

CentroidPlacement::CentroidPlacement(const vector3& min, const vector3& max, int dimension)
    : min_(min), max_(max), dimension_(dimension < 3 ? 2 : 3), num_children_(dimension_ < 3 ? 4 : 8) {
    vector3 upper_max;
    CellOctant(num_children_ - 1, min, max, dimension_, upper_min_, upper_max);
    octant(0, low_min_, low_max_);
    octant(num_children_ - 1, high_min_, high_max_);
}

void CentroidPlacement::octant(int i, vector3& omin, vector3& omax) const {
    CellOctant(i, min_, max_, dimension_, omin, omax);
    WidenBox(omin, omax, 1.001f);
}

// Octant i spans the low or the high interval of each split axis by the
// bits of i, so the first octant holding c takes, axis by axis, the low
// interval when it holds c and the high one otherwise.
int CentroidPlacement::child_of(const vector3& c) const {
    int child = 0;
    if (!(c.x >= low_min_.x && c.x <= low_max_.x)) {
        if (!(c.x >= high_min_.x && c.x <= high_max_.x)) return NearestChild(c, upper_min_, dimension_);
        child |= 1;
    }
    if (!(c.y >= low_min_.y && c.y <= low_max_.y)) {
        if (!(c.y >= high_min_.y && c.y <= high_max_.y)) return NearestChild(c, upper_min_, dimension_);
        child |= 2;
    }
    if (!(c.z >= low_min_.z && c.z <= low_max_.z)) {
        // Without a split in z both intervals are the cell's own.
        if (dimension_ < 3 || !(c.z >= high_min_.z && c.z <= high_max_.z)) return NearestChild(c, upper_min_, dimension_);
        child |= 4;
    }
    return child;
}

void PlacedCellBox(bool has_elements, vector3& min, vector3& max) {
    if (!has_elements) min = max = vector3(0.0f, 0.0f, 0.0f);
    WidenBox(min, max, 1.001f);
}

void ComputeBoundingBox(vector3& min, vector3& max, const vector3* points, int count) {
    if (count <= 0) {
        min = max = vector3(0.0f, 0.0f, 0.0f);
        return;
    }
    min = max = points[0];
    for (int i = 1; i < count; ++i) GrowBox(min, max, points[i]);
}

void ComputeIndexedBoundingBox(vector3& min, vector3& max, const vector3* points, const int* indices,
                               unsigned int count) {
    if (count == 0) {
        min = max = vector3(0.0f, 0.0f, 0.0f);
        return;
    }
    min = max = points[indices[0]];
    for (unsigned int i = 1; i < count; ++i) GrowBox(min, max, points[indices[i]]);
}

void CreateSubOctrees(BoxedGroupNode* node, const vector3* points, unsigned int /*num_points*/, const int* indices,
                      unsigned int num_indices, int indices_per_element, const CollisionElementID* ids, int depth,
                      int max_elements_per_leaf, bool by_centroid, int dimension) {
    if (indices_per_element != 2 && indices_per_element != 3) return;
    OctreeBuilder builder(points, indices_per_element, max_elements_per_leaf, by_centroid, dimension);
    builder.build(node, indices, num_indices, ids, depth, 0);
}

SmartPtr<CollisionTreeRootNode> CreateOctree(const vector3* points, unsigned int num_points, const int* indices,
                                             unsigned int num_indices, int indices_per_element,
                                             const CollisionElementID* ids, int max_depth, int max_elements_per_leaf,
                                             bool by_centroid, int dimension) {
    if (num_indices == 0 || (indices_per_element != 2 && indices_per_element != 3)) return SmartPtr<CollisionTreeRootNode>();

    vector3 root_min, root_max;
    RootCellBox(points, num_points, root_min, root_max);

    SmartPtr<CollisionTreeRootNode> root = CollisionTreeRootNode::create();
    root->add_points(points, static_cast<int>(num_points));
    root->set_box(root_min, root_max);
    CreateSubOctrees(root.get(), root->get_points(), num_points, indices, num_indices, indices_per_element, ids,
                     max_depth, max_elements_per_leaf, by_centroid, dimension);
    return root;
}

}  // namespace vo
