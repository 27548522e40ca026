#include "engine/scene/collision_nodes.h"

#include <algorithm>

namespace vo {

// ---- CollisionTreeRootNode

SmartPtr<CollisionTreeRootNode> CollisionTreeRootNode::create() {
    return SmartPtr<CollisionTreeRootNode>(new CollisionTreeRootNode());
}

CollisionTreeRootNode::~CollisionTreeRootNode() = default;

void CollisionTreeRootNode::clear_points() {
    points_.clear();
    mark_changed();
}

int CollisionTreeRootNode::num_points() const { return static_cast<int>(points_.size()); }

void CollisionTreeRootNode::add_points(const vector3* points, int count) {
    if (count < 1) return;
    const size_t n = static_cast<size_t>(count);
    const vector3* begin = points_.data();
    const vector3* end = begin + points_.size();
    if (points >= begin && points < end) {
        // The source lies in our own array, which may move while growing.
        const size_t offset = static_cast<size_t>(points - begin);
        const size_t needed = points_.size() + n;
        if (needed > points_.capacity()) points_.reserve(std::max(needed, 2 * points_.capacity()));
        for (size_t i = 0; i < n; ++i) points_.push_back(points_[offset + i]);
    } else {
        points_.insert(points_.end(), points, points + n);
    }
    mark_changed();
}

const vector3& CollisionTreeRootNode::get_point(int index) const { return points_[static_cast<size_t>(index)]; }

const vector3* CollisionTreeRootNode::get_points() const { return points_.data(); }

// ---- CollisionEdgesNode

SmartPtr<CollisionEdgesNode> CollisionEdgesNode::create() { return SmartPtr<CollisionEdgesNode>(new CollisionEdgesNode()); }

CollisionEdgesNode::~CollisionEdgesNode() = default;

void CollisionEdgesNode::add_edge(int a, int b, CollisionElementID id) {
    const int e[2] = {a, b};
    elements_.add(e, id);
    mark_changed();
}

void CollisionEdgesNode::add_edge(int a, int b) {
    const int e[2] = {a, b};
    elements_.add(e);
    mark_changed();
}

void CollisionEdgesNode::add_edges(const int* indices, const CollisionElementID* ids, int count) {
    if (count < 0) return;
    elements_.add_many(indices, ids, static_cast<size_t>(count));
    mark_changed();
}

void CollisionEdgesNode::add_edges(const int* indices, int count) {
    if (count < 0) return;
    elements_.add_many(indices, static_cast<size_t>(count));
    mark_changed();
}

void CollisionEdgesNode::clear_edges() {
    elements_.clear();
    mark_changed();
}

int CollisionEdgesNode::num_edges() const { return static_cast<int>(elements_.count()); }

void CollisionEdgesNode::get_edge(int index, int& a, int& b) const {
    const int* e = edge(index);
    a = e[0];
    b = e[1];
}

const int* CollisionEdgesNode::get_edges() const { return elements_.indices(); }

void CollisionEdgesNode::set_edge_id(int index, CollisionElementID id) {
    if (index < 0) return;
    elements_.set_id(static_cast<size_t>(index), id, false);
    mark_changed();
}

CollisionElementID CollisionEdgesNode::get_edge_id(int index) const {
    if (index < 0) return CollisionElementID();
    return elements_.id(static_cast<size_t>(index));
}

// ---- CollisionTrianglesNode

SmartPtr<CollisionTrianglesNode> CollisionTrianglesNode::create() {
    return SmartPtr<CollisionTrianglesNode>(new CollisionTrianglesNode());
}

CollisionTrianglesNode::~CollisionTrianglesNode() = default;

void CollisionTrianglesNode::add_triangle(int a, int b, int c, CollisionElementID id) {
    const int t[3] = {a, b, c};
    elements_.add(t, id);
    mark_changed();
}

void CollisionTrianglesNode::add_triangle(int a, int b, int c) {
    const int t[3] = {a, b, c};
    elements_.add(t);
    mark_changed();
}

void CollisionTrianglesNode::add_triangles(const int* indices, const CollisionElementID* ids, unsigned int count) {
    elements_.add_many(indices, ids, count);
    mark_changed();
}

void CollisionTrianglesNode::add_triangles(const int* indices, unsigned int count) {
    elements_.add_many(indices, count);
    mark_changed();
}

unsigned int CollisionTrianglesNode::num_triangles() const { return static_cast<unsigned int>(elements_.count()); }

void CollisionTrianglesNode::get_triangle(unsigned int index, int& a, int& b, int& c) const {
    const int* t = triangle(index);
    a = t[0];
    b = t[1];
    c = t[2];
}

const int* CollisionTrianglesNode::get_triangles() const { return elements_.indices(); }

void CollisionTrianglesNode::set_triangle_id(unsigned int index, CollisionElementID id) {
    elements_.set_id(index, id, true);
    mark_changed();
}

CollisionElementID CollisionTrianglesNode::get_triangle_id(unsigned int index) const { return elements_.id(index); }

}  // namespace vo
