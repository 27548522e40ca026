#include "engine/scene/traverser_project_point.h"

#include <cmath>

#include "engine/scene/clip_line_to_box.h"
#include "engine/scene/closest_point_on_triangle.h"

namespace vo {

Traverser_ProjectPoint::Traverser_ProjectPoint() = default;

Traverser_ProjectPoint::~Traverser_ProjectPoint() = default;

bool Traverser_ProjectPoint::project(const vector3& point, const SmartPtr<Node>& tree, const vector3* direction) {
    state_ = SEEKING;
    distance_ = -1.0f;
    element_id_ = CollisionElementID();
    element_type_ = ELEMENT_NONE;
    closest_point_ = vector3();
    indices_[0] = indices_[1] = indices_[2] = -1;
    root_ = nullptr;
    query_ = point;
    has_direction_ = direction != nullptr;
    if (direction) direction_ = *direction;
    reset_roots();

    // A point outside the top cell's box still has a nearest element in it:
    // search that cell exhaustively (until a first candidate prunes the rest).
    Node* top = tree.get();
    if (top && (top->get_node_id() == NODE_ID_BOXED_GROUP || top->get_node_id() == NODE_ID_COLLISION_TREE_ROOT)) {
        const BoxedGroupNode* cell = static_cast<const BoxedGroupNode*>(top);
        if (!PointInBox(point, cell->min_corner(), cell->max_corner())) state_ = EXHAUSTIVE;
    }

    apply(tree);
    return state_ == FOUND;
}

void Traverser_ProjectPoint::handle_group(GroupNode* group) {
    if (state_ != SEEKING) {
        Traverser::handle_group(group);
        return;
    }
    const int n = group->num_children();
    int found = -1;
    for (int i = 0; i < n; ++i) {
        SmartPtr<Node> child = group->get_child(i);
        traverse_node(child.get());
        if (state_ != SEEKING) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        state_ = EXHAUSTIVE;
        Traverser::handle_group(group);
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (i == found) continue;
        SmartPtr<Node> child = group->get_child(i);
        traverse_node(child.get());
    }
}

void Traverser_ProjectPoint::handle_boxed_group(BoxedGroupNode* node) {
    const vector3& cmin = node->min_corner();
    const vector3& cmax = node->max_corner();
    switch (state_) {
        case SEEKING:
            if (!PointInBox(query_, cmin, cmax)) return;
            break;
        case EXHAUSTIVE:
            break;
        default:
            if (cmin.x > search_max_.x || search_min_.x > cmax.x || cmin.y > search_max_.y || search_min_.y > cmax.y ||
                cmin.z > search_max_.z || search_min_.z > cmax.z)
                return;
            break;
    }
    handle_group(node);
}

void Traverser_ProjectPoint::accept(float dist, const vector3& point, int type, const int* indices,
                                    CollisionElementID id) {
    if (state_ == FOUND && !(dist < distance_)) return;
    state_ = FOUND;
    distance_ = dist;
    indices_[0] = indices[0];
    indices_[1] = indices[1];
    indices_[2] = type == ELEMENT_TRIANGLE ? indices[2] : -1;
    element_id_ = id;
    element_type_ = type;
    closest_point_ = point;
    root_ = get_current_root_node();
    const double r = 1.01 * static_cast<double>(dist);
    for (unsigned int a = 0; a < 3; ++a) {
        search_min_[a] = static_cast<float>(static_cast<double>(query_[a]) - r);
        search_max_[a] = static_cast<float>(static_cast<double>(query_[a]) + r);
    }
}

void Traverser_ProjectPoint::handle_collision_edges(CollisionEdgesNode* node) {
    const CollisionTreeRootNode* root = get_current_root_node();
    if (!root) return;
    const vector3* pts = root->get_points();
    const int n = node->num_edges();
    const vector3& q = query_;
    for (int k = 0; k < n; ++k) {
        const int* e = node->edge(k);
        const vector3& a = pts[e[0]];
        const vector3& b = pts[e[1]];
        const float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
        const float len2 = dx * dx + dy * dy + dz * dz;
        float t = 0.0f;
        if (std::fabs(len2) > 1e-6f) t = ((q.x - a.x) * dx + (q.y - a.y) * dy + (q.z - a.z) * dz) / len2;
        vector3 x;
        if (t > 1.0f) {
            t = 1.0f;
            x = b;
        } else if (!(t >= 0.0f)) {
            t = 0.0f;
            x = a;
        } else {
            x = vector3(a.x + t * dx, a.y + t * dy, a.z + t * dz);
        }
        const float ex = q.x - x.x, ey = q.y - x.y, ez = q.z - x.z;
        const float dist = static_cast<float>(std::sqrt(static_cast<double>(ex * ex + ey * ey + ez * ez)));
        if (state_ == FOUND && !(dist < distance_)) continue;
        const float w = 1.0f - t;
        const vector3 point(a.x * w + b.x * t, a.y * w + b.y * t, a.z * w + b.z * t);
        accept(dist, point, ELEMENT_EDGE, e, node->edge_id(k));
    }
}

void Traverser_ProjectPoint::handle_collision_triangles(CollisionTrianglesNode* node) {
    const CollisionTreeRootNode* root = get_current_root_node();
    if (!root) return;
    const vector3* pts = root->get_points();
    const unsigned int n = node->num_triangles();
    for (unsigned int k = 0; k < n; ++k) {
        const int* tri = node->triangle(k);
        const vector3& a = pts[tri[0]];
        const vector3& b = pts[tri[1]];
        const vector3& c = pts[tri[2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const vector3 normal(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx);
        if (has_direction_ &&
            direction_.x * normal.x + direction_.y * normal.y + direction_.z * normal.z <= 0.0f)
            continue;
        vector3 x;
        float s, t;
        const float dist = ClosestPointOnTriangle(x, s, t, query_, a, b, c, normal);
        accept(dist, x, ELEMENT_TRIANGLE, tri, node->triangle_id(k));
    }
}

}  // namespace vo
