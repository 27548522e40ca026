#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/traverser_collision_tree.h"

namespace vo {

// Finds the point of a collision tree nearest to a given point: the nearest
// point on any edge or triangle of its leaves, with the distance, the kind,
// id and point indices of the element and the root whose points they index.
// The search first descends into the cells that hold the point, then widens
// into a search pruned by the best distance found. A point outside the tree's
// box is answered as well.
class Traverser_ProjectPoint : public Traverser_CollisionTree {
public:
    enum ElementType { ELEMENT_NONE = 0, ELEMENT_EDGE = 2, ELEMENT_TRIANGLE = 3 };

    Traverser_ProjectPoint();
    ~Traverser_ProjectPoint() override;

    Traverser_ProjectPoint(const Traverser_ProjectPoint&) = default;
    Traverser_ProjectPoint& operator=(const Traverser_ProjectPoint&) = default;

    // True when an element was found. A non-null direction hides every
    // triangle whose normal (b - a) x (c - a) points away from it
    // (dot product <= 0); edges are not filtered.
    virtual bool project(const vector3& point, const SmartPtr<Node>& tree, const vector3* direction = nullptr);

    vector3 get_closest_point() const { return closest_point_; }
    // -1 when nothing was found.
    float get_distance() const { return distance_; }
    // ELEMENT_NONE, ELEMENT_EDGE or ELEMENT_TRIANGLE.
    int get_closest_element_type() const { return element_type_; }
    CollisionElementID get_closest_element_id() const { return element_id_; }
    const CollisionTreeRootNode* get_closest_root_node() const { return root_; }
    void get_closest_edge_point_indices(int& a, int& b) const {
        a = indices_[0];
        b = indices_[1];
    }
    void get_closest_triangle_point_indices(int& a, int& b, int& c) const {
        a = indices_[0];
        b = indices_[1];
        c = indices_[2];
    }

protected:
    void handle_group(GroupNode* group) override;
    void handle_boxed_group(BoxedGroupNode* node) override;
    void handle_collision_edges(CollisionEdgesNode* node) override;
    void handle_collision_triangles(CollisionTrianglesNode* node) override;

private:
    enum SearchState { SEEKING = 0, EXHAUSTIVE = 1, FOUND = 2 };

    void accept(float dist, const vector3& point, int type, const int* indices, CollisionElementID id);

    vector3 query_;
    vector3 closest_point_;
    float distance_ = -1.0f;
    int state_ = SEEKING;
    bool has_direction_ = false;
    vector3 direction_;
    vector3 search_min_;
    vector3 search_max_;
    int indices_[3] = {-1, -1, -1};
    int element_type_ = ELEMENT_NONE;
    CollisionElementID element_id_;
    const CollisionTreeRootNode* root_ = nullptr;
};

}  // namespace vo
