#include "engine/scene/traverser_collect_edges.h"

#include "engine/scene/clip_line_to_box.h"

namespace vo {

Traverser_CollectEdges::Traverser_CollectEdges() {
    ids_.reserve(64);
    points_.reserve(128);
}

Traverser_CollectEdges::~Traverser_CollectEdges() = default;

bool Traverser_CollectEdges::collect_edges(const vector3& min, const vector3& max, const SmartPtr<Node>& tree) {
    min_ = min;
    max_ = max;
    ids_.clear();
    points_.clear();
    reset_roots();
    apply(tree);
    return !ids_.empty();
}

void Traverser_CollectEdges::handle_boxed_group(BoxedGroupNode* node) {
    const vector3& cmin = node->min_corner();
    const vector3& cmax = node->max_corner();
    if (min_.x > cmax.x || cmin.x > max_.x || min_.y > cmax.y || cmin.y > max_.y || min_.z > cmax.z || cmin.z > max_.z)
        return;
    handle_group(node);
}

void Traverser_CollectEdges::handle_collision_edges(CollisionEdgesNode* node) {
    const CollisionTreeRootNode* root = get_current_root_node();
    if (!root) return;
    const vector3* pts = root->get_points();
    const int n = node->num_edges();
    const int* indices = node->get_edges();
    for (int k = 0; k < n; ++k) {
        const vector3& a = pts[indices[2 * k]];
        const vector3& b = pts[indices[2 * k + 1]];
        const vector3 d(b.x - a.x, b.y - a.y, b.z - a.z);
        if (SegmentMeetsBox(a, d, min_, max_)) {
            ids_.push_back(node->edge_id(k));
            points_.push_back(&a);
            points_.push_back(&b);
        }
    }
}

}  // namespace vo
