#pragma once

#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/traverser_collision_tree.h"

namespace vo {

// Collects every edge of a collision tree that reaches an axis-aligned box.
// An edge stored in several leaves that meet the box is reported once per
// leaf. The results point into the tree's points and stay readable until the
// next query.
class Traverser_CollectEdges : public Traverser_CollisionTree {
public:
    Traverser_CollectEdges();
    ~Traverser_CollectEdges() override;

    Traverser_CollectEdges(const Traverser_CollectEdges&) = default;
    Traverser_CollectEdges& operator=(const Traverser_CollectEdges&) = default;

    // True when at least one edge reaches [min, max] (faces included).
    virtual bool collect_edges(const vector3& min, const vector3& max, const SmartPtr<Node>& tree);

    unsigned int num_edges() const { return static_cast<unsigned int>(ids_.size()); }
    // One id per edge found.
    const CollisionElementID* edge_ids() const { return ids_.data(); }
    // Entries 2k and 2k + 1: the first and second point of edge k.
    const vector3** edge_points() { return points_.data(); }
    const vector3* const* edge_points() const { return points_.data(); }

protected:
    void handle_boxed_group(BoxedGroupNode* node) override;
    void handle_collision_edges(CollisionEdgesNode* node) override;

private:
    vector3 min_;
    vector3 max_;
    std::vector<CollisionElementID> ids_;
    std::vector<const vector3*> points_;
};

}  // namespace vo
