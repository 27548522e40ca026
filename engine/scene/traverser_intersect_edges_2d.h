#pragma once

#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/traverser_collision_tree.h"

namespace vo {

// Every crossing of a segment with the edges of a collision tree in the x-y
// plane, ordered along the segment. An edge stored in several leaves that the
// segment reaches is reported once per leaf.
class Traverser_IntersectEdges2d : public Traverser_CollisionTree {
public:
    struct Intersection {
        CollisionElementID id;    // the edge's id; empty when the leaf keeps none
        vector3 point;            // edge_p0 + edge_param * (edge_p1 - edge_p0)
        const vector3* edge_p0;   // the edge's first point, in the root's points
        const vector3* edge_p1;   // the edge's second point
        float edge_param;         // 0 at edge_p0, 1 at edge_p1
        float segment_param;      // 0 at the segment's start, 1 at its end

        bool operator<(const Intersection& other) const { return segment_param < other.segment_param; }
    };
    // Ascending segment_param; equal ones in the order found.
    using const_iterator = std::vector<Intersection>::const_iterator;

    Traverser_IntersectEdges2d();
    ~Traverser_IntersectEdges2d() override;

    Traverser_IntersectEdges2d(const Traverser_IntersectEdges2d&) = default;
    Traverser_IntersectEdges2d& operator=(const Traverser_IntersectEdges2d&) = default;

    // Returns the number of crossings found.
    virtual unsigned int intersect_edges(const vector3& p0, const vector3& p1, const SmartPtr<Node>& tree);

    const_iterator intersections_begin() const { return intersections_.begin(); }
    const_iterator intersections_end() const { return intersections_.end(); }
    unsigned int num_intersections() const { return count_; }

protected:
    void handle_boxed_group(BoxedGroupNode* node) override;
    void handle_collision_edges(CollisionEdgesNode* node) override;

private:
    vector3 p0_;
    vector3 p1_;
    vector3 d_;
    unsigned int count_ = 0;
    std::vector<Intersection> intersections_;
};

}  // namespace vo
