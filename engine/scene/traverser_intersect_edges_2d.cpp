#include "engine/scene/traverser_intersect_edges_2d.h"

#include <algorithm>
#include <cmath>

#include "engine/scene/clip_line_to_box.h"

namespace vo {

Traverser_IntersectEdges2d::Traverser_IntersectEdges2d() { intersections_.reserve(16); }

Traverser_IntersectEdges2d::~Traverser_IntersectEdges2d() = default;

unsigned int Traverser_IntersectEdges2d::intersect_edges(const vector3& p0, const vector3& p1, const SmartPtr<Node>& tree) {
    p0_ = p0;
    p1_ = p1;
    d_ = vector3(p1.x - p0.x, p1.y - p0.y, p1.z - p0.z);
    count_ = 0;
    intersections_.clear();
    reset_roots();
    apply(tree);
    // Crossings were appended in finding order; a stable sort keeps that
    // order among equal segment parameters.
    std::stable_sort(intersections_.begin(), intersections_.end());
    return count_;
}

void Traverser_IntersectEdges2d::handle_boxed_group(BoxedGroupNode* node) {
    if (SegmentMeetsBox(p0_, d_, node->min_corner(), node->max_corner())) handle_group(node);
}

void Traverser_IntersectEdges2d::handle_collision_edges(CollisionEdgesNode* node) {
    const CollisionTreeRootNode* root = get_current_root_node();
    if (!root) return;
    const vector3* pts = root->get_points();
    const int n = node->num_edges();
    const int* indices = node->get_edges();
    const float eps = 1e-6f;
    for (int k = 0; k < n; ++k) {
        const vector3& a = pts[indices[2 * k]];
        const vector3& b = pts[indices[2 * k + 1]];
        const float ex = b.x - a.x, ey = b.y - a.y;
        const float wx = p0_.x - a.x, wy = p0_.y - a.y;
        float s, t;
        if (std::fabs(ex) > std::fabs(ey)) {
            const float den = -d_.y + ey * d_.x / ex;
            if (!(std::fabs(den) >= eps)) continue;
            s = (wy - ey * wx / ex) / den;
            t = (wx + s * d_.x) / ex;
        } else {
            const float den = -d_.x + ex * d_.y / ey;
            if (!(std::fabs(den) >= eps)) continue;
            s = (wx - ex * wy / ey) / den;
            t = (wy + s * d_.y) / ey;
        }
        if (!(t > -eps && t < 1.0f + eps && s >= 0.0f && s <= 1.0f)) continue;
        Intersection hit;
        hit.id = node->edge_id(k);
        hit.point = vector3(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z));
        hit.edge_p0 = &a;
        hit.edge_p1 = &b;
        hit.edge_param = t;
        hit.segment_param = s;
        intersections_.push_back(hit);
        ++count_;
    }
}

}  // namespace vo
