#include "engine/scene/traverser_intersect_faces.h"

#include <algorithm>

#include "engine/core/intersection.h"

namespace vo {

namespace {

void ToArray(float out[3], const vector3& v) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

}  // namespace

Traverser_IntersectFaces::Traverser_IntersectFaces() : a_{}, b_{}, c_{} {}

Traverser_IntersectFaces::~Traverser_IntersectFaces() = default;

bool Traverser_IntersectFaces::intersect_tri(const vector3& a, const vector3& b, const vector3& c,
                                             const SmartPtr<Node>& tree) {
    ToArray(a_, a);
    ToArray(b_, b);
    ToArray(c_, c);
    ids_.clear();
    reset_roots();
    apply(tree);
    return !ids_.empty();
}

void Traverser_IntersectFaces::handle_boxed_group(BoxedGroupNode* node) {
    float bmin[3], bmax[3];
    ToArray(bmin, node->min_corner());
    ToArray(bmax, node->max_corner());
    if (TriangleIntersectsBox(a_, b_, c_, bmin, bmax)) handle_group(node);
}

void Traverser_IntersectFaces::handle_collision_triangles(CollisionTrianglesNode* node) {
    const CollisionTreeRootNode* root = get_current_root_node();
    if (!root) return;
    const vector3* pts = root->get_points();
    const unsigned int n = node->num_triangles();
    for (unsigned int k = 0; k < n; ++k) {
        const int* t = node->triangle(k);
        float p[3], q[3], r[3];
        ToArray(p, pts[t[0]]);
        ToArray(q, pts[t[1]]);
        ToArray(r, pts[t[2]]);
        if (!TrianglesIntersect(a_, b_, c_, p, q, r, nullptr, nullptr)) continue;
        const CollisionElementID id = node->triangle_id(k);
        if (std::find(ignored_.begin(), ignored_.end(), id) != ignored_.end()) continue;
        ids_.push_back(id);
    }
}

}  // namespace vo
