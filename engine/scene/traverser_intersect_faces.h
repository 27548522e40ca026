#pragma once

#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/traverser_collision_tree.h"

namespace vo {

// The ids of every triangle of a collision tree that crosses a given
// triangle (triangles that only overlap within one plane do not count).
// Triangles whose id is on the ignore list are passed over; a triangle stored
// in several leaves that the query reaches is reported once per leaf.
class Traverser_IntersectFaces : public Traverser_CollisionTree {
public:
    Traverser_IntersectFaces();
    ~Traverser_IntersectFaces() override;

    Traverser_IntersectFaces(const Traverser_IntersectFaces&) = default;
    Traverser_IntersectFaces& operator=(const Traverser_IntersectFaces&) = default;

    // True when at least one id was found.
    virtual bool intersect_tri(const vector3& a, const vector3& b, const vector3& c, const SmartPtr<Node>& tree);

    // In finding order, duplicates included.
    const std::vector<CollisionElementID>& get_intersected_element_ids() const { return ids_; }

    // The ignore list lives across queries until cleared.
    void ignore_element(const CollisionElementID& id) { ignored_.push_back(id); }
    void clear_ignore_list() { ignored_.clear(); }

protected:
    void handle_boxed_group(BoxedGroupNode* node) override;
    void handle_collision_triangles(CollisionTrianglesNode* node) override;

private:
    float a_[3], b_[3], c_[3];
    std::vector<CollisionElementID> ids_;
    std::vector<CollisionElementID> ignored_;
};

}  // namespace vo
